// SPDX-License-Identifier: MIT
#include "HttpRequestParser.h"

#include <QUrl>

#include <algorithm>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {
bool isTokenChar(char c)
{
    constexpr std::string_view marks = "!#$%&'*+-.^_`|~";
    const auto u = static_cast<unsigned char>(c);
    if ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'))
        return true;
    return c != '\0' && marks.find(c) != std::string_view::npos;
}

bool isToken(const QByteArray& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

bool isVisible(const QByteArray& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u > 0x20 && u != 0x7f;
    });
}

// Where the header block ends (just past its empty line), or -1 while it is incomplete.
qsizetype headerBlockEnd(const QByteArray& buffer)
{
    const qsizetype crlf = buffer.indexOf("\r\n\r\n");
    const qsizetype lf = buffer.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf < lf))
        return crlf + 4;
    return lf >= 0 ? lf + 2 : -1;
}
} // namespace

HttpRequestParser::Result HttpRequestParser::fail(int status)
{
    m_errorStatus = status;
    return Result::Error;
}

HttpRequestParser::Result HttpRequestParser::parse(QByteArray& buffer)
{
    // Stray line ends between requests are allowed and ignored.
    qsizetype skip = 0;
    while (skip < buffer.size() && (buffer.at(skip) == '\r' || buffer.at(skip) == '\n'))
        ++skip;
    buffer.remove(0, skip);

    const qsizetype end = headerBlockEnd(buffer);
    if (end < 0)
        return buffer.size() > maxHeaderBytes ? fail(431) : Result::NeedMore;
    if (end > maxHeaderBytes)
        return fail(431);

    m_request = HttpRequest();
    QList<QByteArray> lines = buffer.left(end).split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (!parseRequestLine(lines.value(0)))
        return fail(400);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines.at(i).isEmpty() && !parseHeaderLine(lines.at(i)))
            return fail(400);
    }

    // Bodies come with a length only; chunked uploads are more than a fake needs.
    if (m_request.hasHeader("Transfer-Encoding"))
        return fail(501);
    qint64 length = 0;
    bool seenLength = false;
    for (const auto& [name, value] : m_request.headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        const qint64 parsed = value.toLongLong(&ok);
        if (!ok || parsed < 0 || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return fail(400);
        if (seenLength && parsed != length)
            return fail(400);
        length = parsed;
        seenLength = true;
    }
    if (length > maxBodyBytes)
        return fail(413);
    if (buffer.size() < end + length)
        return Result::NeedMore;

    m_request.body = buffer.mid(end, length);
    buffer.remove(0, end + length);
    return Result::Complete;
}

bool HttpRequestParser::parseRequestLine(const QByteArray& line)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !isToken(parts.at(0)) || !isVisible(parts.at(1)) || parts.at(1).isEmpty())
        return false;
    const QByteArray& version = parts.at(2);
    if (version.size() != 8 || !version.startsWith("HTTP/1.") || version.at(7) < '0' || version.at(7) > '9')
        return false;
    m_request.method = parts.at(0);
    m_request.version = version;
    m_request.target = parts.at(1);
    return parseTarget(parts.at(1));
}

bool HttpRequestParser::parseTarget(const QByteArray& target)
{
    QByteArray pathAndQuery;
    if (m_request.method == "CONNECT") {
        // Authority form: the client wants a tunnel to host:port.
        const qsizetype colon = target.lastIndexOf(':');
        return colon > 0 && colon + 1 < target.size() && !target.contains('/');
    }
    if (target.startsWith('/')) {
        pathAndQuery = target;
    } else if (target == "*") {
        m_request.path = u"*"_s;
        return m_request.method == "OPTIONS";
    } else {
        const QByteArray lower = target.toLower();
        const qsizetype schemeEnd = lower.startsWith("http://") ? 7 : lower.startsWith("https://") ? 8 : -1;
        if (schemeEnd < 0)
            return false;
        qsizetype authorityEnd = schemeEnd;
        while (authorityEnd < target.size() && target.at(authorityEnd) != '/' && target.at(authorityEnd) != '?')
            ++authorityEnd;
        if (authorityEnd == schemeEnd)
            return false;
        pathAndQuery = target.mid(authorityEnd);
        if (!pathAndQuery.startsWith('/'))
            pathAndQuery.prepend('/');
        m_request.absoluteForm = true;
    }
    const qsizetype hash = pathAndQuery.indexOf('#');
    if (hash >= 0)
        pathAndQuery.truncate(hash);
    const qsizetype question = pathAndQuery.indexOf('?');
    const QByteArray rawPath = question < 0 ? pathAndQuery : pathAndQuery.left(question);
    m_request.rawQuery = question < 0 ? QByteArray() : pathAndQuery.mid(question + 1);
    m_request.path = QUrl::fromPercentEncoding(rawPath);
    m_request.query.setQuery(QString::fromLatin1(m_request.rawQuery));
    return true;
}

bool HttpRequestParser::parseHeaderLine(const QByteArray& line)
{
    // Folded continuation lines are obsolete and a classic smuggling vector: refuse them.
    if (line.startsWith(' ') || line.startsWith('\t'))
        return false;
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    const QByteArray name = line.left(colon);
    if (!isToken(name))
        return false;
    m_request.headers.append({name, line.mid(colon + 1).trimmed()});
    return true;
}
