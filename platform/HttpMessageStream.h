// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <cstdint>
#include <functional>

// The head of one HTTP message: a request's method and target, or a response's status.
struct HttpHead
{
    QByteArray method = {}; // a request's; empty on a response
    QByteArray target = {};
    int status = 0; // a response's
    QList<QPair<QByteArray, QByteArray>> fields = {};

    // Every value of the fields of that name (letter case ignored), in order.
    QList<QByteArray> values(QByteArrayView name) const;
    // The first; empty when there is none.
    QByteArray value(QByteArrayView name) const;
};

// One direction of an HTTP/1.1 connection cut into messages, for a reader that lets the bytes pass
// unchanged but looks at each head on the way. A head is held back until it is whole; the reader
// then says what follows it. Bodies pass as they come, framed as their fields say (Content-Length,
// chunked), or up to the end of the connection. Bytes that do not read as HTTP pass unread.
class HttpMessageStream
{
public:
    enum class Side { Requests, Responses };
    enum class Next {
        Body,     // the body the fields announce (on a request without either field: none)
        NoBody,   // none, whatever the fields say (1xx, 204, 304, the answer to HEAD)
        Raw,      // no more messages: all that follows passes unread (a tunnel)
        Withhold, // this head and everything after it stay here
    };
    using Reader = std::function<Next(const HttpHead& head)>;

    HttpMessageStream(Side side, Reader reader);

    // The part of data that goes on (data itself where all of it does); after a Withhold, nothing.
    QByteArray pass(const QByteArray& data);

private:
    enum class State { Head, Length, ChunkSize, ChunkData, ChunkEnd, Trailer, Raw, Withheld };

    // A whole head: parses it, asks the reader, and goes on from there; false when it stays here.
    bool takeHead(const QByteArray& head);
    bool parse(QByteArrayView bytes, HttpHead& head) const;
    void startBody(const HttpHead& head, Next next);
    // Adds bytes of a line (chunk size, chunk end, trailer) up to its line feed; true once it is whole.
    bool takeLine(const QByteArray& data, qsizetype& at);
    void endLine();

    Side m_side;
    Reader m_reader;
    State m_state = State::Head;
    QByteArray m_held; // a head not yet whole
    QByteArray m_line; // a line of the chunked coding not yet whole
    int64_t m_left = 0;
};
