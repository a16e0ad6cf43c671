// SPDX-License-Identifier: MIT
#pragma once

#include "HttpMessageStream.h"

#include <QList>
#include <QString>

#include <cstdint>

// The sign-in rounds between the network layer and an HTTP proxy for one fetch, judged from what
// each says: the client's requests (and what they answer the proxy with) and the proxy's answers.
// The network layer answers the proxy's challenges itself, in the scheme the proxy asks for; this
// ends the conversation where the network layer would go on for ever or against the user's
// interest: a refused answer is never given again, a proxy that asks for what cannot be given
// gets no second request, and no fetch makes more than a handful of requests, whatever the proxy
// says. A refused tunnel ends the fetch, instead of a new attempt that has lost the credentials.
class ProxyAuthRounds
{
public:
    // The three requests of an NTLM handshake, twice over (a redirect, a closed connection).
    static constexpr int kMaxRequests = 6;

    enum class Verdict {
        None,               // the conversation goes on
        CredentialsRefused, // the proxy asked for the credentials and refused what it got
        NoCredentials,      // the proxy asks for credentials, and none are set
        SchemeUnanswerable, // the proxy asks in a way the network layer does not answer: scheme()
        TunnelRefused,      // the proxy would not open the tunnel: status()
        TooManyRequests,    // the proxy kept the client asking
    };

    // What the client has said on one connection and the proxy has not answered yet.
    class Connection
    {
    public:
        // The proxy opened the tunnel: what follows on the connection is the client's and the server's.
        bool tunnelOpen() const { return m_tunnelOpen; }

    private:
        friend class ProxyAuthRounds;
        struct Sent
        {
            bool tunnel = false;
            bool head = false;
            QByteArray answer; // what the request answered a challenge with: "Basic", "NTLM1", "NTLM3"...
        };
        QList<Sent> m_unanswered;
        bool m_tunnelOpen = false;
    };

    explicit ProxyAuthRounds(bool credentialsSet) : m_credentialsSet(credentialsSet) {}

    // A connection of the client's to the proxy; false, with a verdict, when it is one too many.
    bool connectionOpened();
    // How a request of the client's goes on to the proxy, and the proxy's answer to the client.
    HttpMessageStream::Next request(Connection& connection, const HttpHead& head);
    HttpMessageStream::Next response(Connection& connection, const HttpHead& head);

    Verdict verdict() const { return m_verdict; }
    QString scheme() const { return m_scheme; }
    int status() const { return m_status; }
    // Whether a request carried the credentials (not merely the start of a handshake).
    bool credentialsGiven() const { return m_credentialsGiven; }

    // What a fetch that ended with the verdict tells: an internet error number, or 0 and the text
    // of the proxy's answer (as a response of status 407). proxy: "host:port".
    int32_t errorNumber() const;
    QString answerText(const QString& proxy) const;

private:
    HttpMessageStream::Next decide(Verdict verdict);
    // The 407 answer to a request that answered with what; Body to let the client go on.
    HttpMessageStream::Next challenged(const QByteArray& answer, const HttpHead& head);

    bool m_credentialsSet;
    int m_requests = 0;
    int m_connections = 0;
    bool m_credentialsGiven = false;
    bool m_staleNonceAllowed = true;
    Verdict m_verdict = Verdict::None;
    QString m_scheme;
    int m_status = 0;
};
