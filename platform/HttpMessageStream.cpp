// SPDX-License-Identifier: MIT
#include "HttpMessageStream.h"

#include <algorithm>
#include <utility>

namespace {
// A head or a line of the chunked coding longer than this is not HTTP as proxies speak it.
constexpr qsizetype kMaxHead = 64 * 1024;
constexpr qsizetype kMaxLine = 4 * 1024;
} // namespace

QList<QByteArray> HttpHead::values(QByteArrayView name) const
{
    QList<QByteArray> found;
    for (const auto& [key, value] : fields) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            found.append(value);
    }
    return found;
}

QByteArray HttpHead::value(QByteArrayView name) const
{
    const QList<QByteArray> found = values(name);
    return found.isEmpty() ? QByteArray() : found.constFirst();
}

HttpMessageStream::HttpMessageStream(Side side, Reader reader) : m_side(side), m_reader(std::move(reader)) {}

QByteArray HttpMessageStream::pass(const QByteArray& data)
{
    // What goes on is the front of data, after what was held of a head begun in an earlier piece: a
    // body or a tunnel passes as it came, without a copy; only heads and the lines of the chunked
    // coding are gathered on the way.
    QByteArray earlier;
    qsizetype passed = 0;
    qsizetype at = 0;
    while (at < data.size() && m_state != State::Withheld) {
        switch (m_state) {
        case State::Withheld:
            break;
        case State::Raw:
            at = passed = data.size();
            break;
        case State::Head: {
            const qsizetype before = m_held.size(); // only ever held at the start of a piece
            m_held += QByteArrayView(data).sliced(at);
            const qsizetype end = m_held.indexOf("\r\n\r\n", std::max<qsizetype>(0, before - 3));
            if (end < 0 && m_held.size() <= kMaxHead) {
                at = data.size();
                break;
            }
            bool goesOn = true;
            if (end < 0) {
                // A head too long for HTTP as proxies speak it passes unread, and all after it.
                m_state = State::Raw;
                at = data.size();
            } else {
                goesOn = takeHead(m_held.first(end + 4));
                at += end + 4 - before;
            }
            if (goesOn) {
                if (before > 0)
                    earlier = m_held.first(before);
                passed = at;
            }
            m_held.clear();
            break;
        }
        case State::Length:
        case State::ChunkData: {
            const qsizetype n = qsizetype(std::min<int64_t>(m_left, data.size() - at));
            at = passed = at + n;
            m_left -= n;
            if (m_left == 0)
                m_state = m_state == State::Length ? State::Head : State::ChunkEnd;
            break;
        }
        case State::ChunkSize:
        case State::ChunkEnd:
        case State::Trailer: {
            const bool whole = takeLine(data, at);
            passed = at;
            if (whole)
                endLine();
            break;
        }
        }
    }
    if (earlier.isEmpty() && passed == data.size())
        return data;
    return earlier.append(QByteArrayView(data).first(passed));
}

bool HttpMessageStream::takeHead(const QByteArray& head)
{
    HttpHead parsed;
    if (!parse(head, parsed)) {
        m_state = State::Raw;
        return true;
    }
    const Next next = m_reader(parsed);
    if (next == Next::Withhold) {
        m_state = State::Withheld;
        return false;
    }
    startBody(parsed, next);
    return true;
}

bool HttpMessageStream::parse(QByteArrayView bytes, HttpHead& head) const
{
    QList<QByteArray> lines = QByteArray(bytes.data(), bytes.size()).split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    // Blank lines between messages are allowed before a start line.
    while (!lines.isEmpty() && lines.constFirst().isEmpty())
        lines.removeFirst();
    if (lines.isEmpty())
        return false;
    const QList<QByteArray> start = lines.takeFirst().split(' ');
    const bool response = start.constFirst().startsWith("HTTP/");
    if (response != (m_side == Side::Responses) || start.size() < (response ? 2 : 3))
        return false;
    if (response) {
        bool number = false;
        head.status = start.at(1).toInt(&number);
        if (!number || head.status < 100 || head.status > 999)
            return false;
    } else {
        head.method = start.at(0);
        head.target = start.at(1);
    }
    for (const QByteArray& line : std::as_const(lines)) {
        if (line.isEmpty())
            break;
        if ((line.startsWith(' ') || line.startsWith('\t')) && !head.fields.isEmpty()) {
            head.fields.last().second += ' ' + line.trimmed(); // a folded line continues the field
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        head.fields.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

void HttpMessageStream::startBody(const HttpHead& head, Next next)
{
    m_state = State::Head;
    if (next == Next::NoBody)
        return;
    if (next == Next::Raw) {
        m_state = State::Raw;
        return;
    }
    if (head.value("Transfer-Encoding").toLower().contains("chunked")) {
        m_state = State::ChunkSize;
        return;
    }
    const QByteArray length = head.value("Content-Length");
    if (length.isEmpty()) {
        // A response without either field runs to the end of the connection.
        if (m_side == Side::Responses)
            m_state = State::Raw;
        return;
    }
    bool number = false;
    m_left = length.toLongLong(&number);
    if (!number || m_left < 0)
        m_state = State::Raw;
    else if (m_left > 0)
        m_state = State::Length;
}

bool HttpMessageStream::takeLine(const QByteArray& data, qsizetype& at)
{
    const qsizetype feed = data.indexOf('\n', at);
    const qsizetype end = feed < 0 ? data.size() : feed + 1;
    m_line += QByteArrayView(data).sliced(at, end - at);
    at = end;
    if (m_line.size() > kMaxLine) {
        m_line.clear();
        m_state = State::Raw;
        return false;
    }
    return feed >= 0;
}

void HttpMessageStream::endLine()
{
    const QByteArray line = std::exchange(m_line, {}).trimmed();
    switch (m_state) {
    case State::ChunkSize: {
        bool number = false;
        m_left = line.split(';').constFirst().trimmed().toLongLong(&number, 16); // extensions after ';'
        if (!number || m_left < 0)
            m_state = State::Raw;
        else
            m_state = m_left == 0 ? State::Trailer : State::ChunkData;
        break;
    }
    case State::ChunkEnd:
        m_state = State::ChunkSize;
        break;
    case State::Trailer:
        if (line.isEmpty())
            m_state = State::Head;
        break;
    default:
        break;
    }
}
