// SPDX-License-Identifier: MIT
#include "ProxyAuthRounds.h"

#include "HttpErrorTable.h"

#include <QStringList>

#include <algorithm>

using Next = HttpMessageStream::Next;

namespace {
// The scheme a challenge or an answer begins with, in lower case.
QByteArray schemeOf(const QByteArray& value)
{
    const QByteArray trimmed = value.trimmed();
    const qsizetype blank = trimmed.indexOf(' ');
    return (blank < 0 ? trimmed : trimmed.left(blank)).toLower();
}

QByteArray tokenOf(const QByteArray& value)
{
    const QByteArray trimmed = value.trimmed();
    const qsizetype blank = trimmed.indexOf(' ');
    return blank < 0 ? QByteArray() : trimmed.mid(blank + 1).trimmed();
}

// What a request answered the proxy with: its scheme, and for NTLM the message ("ntlm1" opens the
// handshake and carries nothing of the user's, "ntlm3" carries the user and the proof).
QByteArray answerOf(const HttpHead& request)
{
    const QByteArray value = request.value("Proxy-Authorization");
    QByteArray scheme = schemeOf(value);
    if (scheme == "ntlm") {
        const QByteArray message = QByteArray::fromBase64(tokenOf(value));
        if (message.size() >= 12 && message.startsWith(QByteArrayView("NTLMSSP\0", 8)))
            scheme += QByteArray::number(static_cast<unsigned char>(message.at(8)));
    }
    return scheme;
}

// The value of a parameter of a Digest challenge; empty when it has none.
QByteArray digestParameter(const QByteArray& challenge, QByteArrayView name)
{
    for (const QByteArray& part : tokenOf(challenge).split(',')) {
        const qsizetype equals = part.indexOf('=');
        if (equals > 0 && name.compare(part.left(equals).trimmed(), Qt::CaseInsensitive) == 0)
            return part.mid(equals + 1).trimmed().replace('"', QByteArray());
    }
    return {};
}

// The schemes the network layer answers: Basic, NTLM, and Digest over MD5. Negotiate is not among
// them: through the relay it would be asked of the relay's own address.
bool answerable(const QByteArray& challenge)
{
    const QByteArray scheme = schemeOf(challenge);
    if (scheme == "digest") {
        const QByteArray algorithm = digestParameter(challenge, "algorithm");
        return algorithm.isEmpty() || algorithm.left(3).compare("md5", Qt::CaseInsensitive) == 0;
    }
    return scheme == "basic" || scheme == "ntlm";
}
} // namespace

bool ProxyAuthRounds::connectionOpened()
{
    if (m_verdict != Verdict::None)
        return false;
    if (++m_connections > kMaxRequests) {
        decide(Verdict::TooManyRequests);
        return false;
    }
    return true;
}

Next ProxyAuthRounds::request(Connection& connection, const HttpHead& head)
{
    if (m_verdict != Verdict::None)
        return Next::Withhold;
    if (++m_requests > kMaxRequests)
        return decide(Verdict::TooManyRequests);
    const Connection::Sent sent{
        .tunnel = head.method == "CONNECT", .head = head.method == "HEAD", .answer = answerOf(head)};
    // An empty NTLM answer: the network layer could not read the proxy's challenge.
    if (sent.answer == "ntlm") {
        m_scheme = QStringLiteral("NTLM, with a challenge that does not parse");
        return decide(Verdict::SchemeUnanswerable);
    }
    if (!sent.answer.isEmpty() && sent.answer != "ntlm1")
        m_credentialsGiven = true;
    connection.m_unanswered.append(sent);
    return sent.tunnel ? Next::NoBody : Next::Body;
}

Next ProxyAuthRounds::response(Connection& connection, const HttpHead& head)
{
    if (m_verdict != Verdict::None)
        return Next::Withhold;
    // An interim answer: the request is still waiting for its own.
    if (head.status < 200 && head.status != 101)
        return Next::NoBody;
    if (connection.m_unanswered.isEmpty())
        return Next::Body;
    const Connection::Sent sent = connection.m_unanswered.takeFirst();
    if (head.status == 407)
        return challenged(sent.answer, head);
    if (sent.tunnel) {
        if (head.status / 100 != 2) {
            m_status = head.status;
            return decide(Verdict::TunnelRefused);
        }
        connection.m_tunnelOpen = true;
        return Next::Raw;
    }
    if (head.status == 101)
        return Next::Raw;
    return sent.head || head.status == 204 || head.status == 304 ? Next::NoBody : Next::Body;
}

Next ProxyAuthRounds::challenged(const QByteArray& answer, const HttpHead& head)
{
    const QList<QByteArray> challenges = head.values("Proxy-Authenticate");
    if (answer == "ntlm1") {
        // The proxy's answer to the opening of a handshake must carry its challenge; without it the
        // client would open the handshake again and again.
        for (const QByteArray& challenge : challenges) {
            if (schemeOf(challenge) == "ntlm" && !tokenOf(challenge).isEmpty())
                return Next::Body;
        }
        m_scheme = QStringLiteral("NTLM without a challenge");
        return decide(Verdict::SchemeUnanswerable);
    }
    if (!answer.isEmpty()) {
        // A nonce that has gone stale is no refusal: the client answers the new one, once.
        for (const QByteArray& challenge : challenges) {
            if (answer == "digest" && m_staleNonceAllowed && schemeOf(challenge) == "digest" &&
                digestParameter(challenge, "stale").compare("true", Qt::CaseInsensitive) == 0) {
                m_staleNonceAllowed = false;
                return Next::Body;
            }
        }
        return decide(Verdict::CredentialsRefused);
    }
    if (std::none_of(challenges.begin(), challenges.end(), answerable)) {
        QStringList offered;
        for (const QByteArray& challenge : challenges)
            offered.append(QString::fromLatin1(challenge.trimmed().split(' ').constFirst()));
        m_scheme = offered.isEmpty() ? QStringLiteral("none named") : offered.join(QStringLiteral(", "));
        return decide(Verdict::SchemeUnanswerable);
    }
    if (!m_credentialsSet)
        return decide(Verdict::NoCredentials);
    return Next::Body;
}

Next ProxyAuthRounds::decide(Verdict verdict)
{
    m_verdict = verdict;
    return Next::Withhold;
}

int32_t ProxyAuthRounds::errorNumber() const
{
    switch (m_verdict) {
    case Verdict::TunnelRefused:
        // As the network layer reads these answers to a tunnel: the proxy could not find the server,
        // or could not reach it.
        if (m_status == 404)
            return HttpErrorTable::NameNotResolved;
        if (m_status == 503)
            return HttpErrorTable::CannotConnect;
        return HttpErrorTable::NotViaProxy;
    case Verdict::TooManyRequests:
        return m_credentialsGiven ? 0 : HttpErrorTable::NotViaProxy;
    default:
        return 0;
    }
}

QString ProxyAuthRounds::answerText(const QString& proxy) const
{
    if (m_verdict == Verdict::SchemeUnanswerable)
        return HttpErrorTable::proxyCannotAnswer(m_scheme, proxy);
    return HttpErrorTable::proxyRefusedCredentials(m_verdict != Verdict::NoCredentials, proxy);
}
