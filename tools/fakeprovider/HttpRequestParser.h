// SPDX-License-Identifier: MIT
#pragma once

#include "HttpRequest.h"

#include <QByteArray>

// Cuts HTTP/1.1 requests out of the bytes of one connection as they trickle in. Sizes are bounded so a
// misbehaving client cannot make the test server hoard memory.
class HttpRequestParser
{
public:
    enum class Result { NeedMore, Complete, Error };

    static constexpr qsizetype maxHeaderBytes = 64 * 1024;
    static constexpr qsizetype maxBodyBytes = 4 * 1024 * 1024;

    // Takes the next complete request off the front of buffer. Complete: request() holds it and the
    // buffer keeps what follows (a pipelined request). Error: errorStatus() tells the status to answer.
    Result parse(QByteArray& buffer);

    const HttpRequest& request() const { return m_request; }
    int errorStatus() const { return m_errorStatus; }

private:
    Result fail(int status);
    bool parseRequestLine(const QByteArray& line);
    bool parseTarget(const QByteArray& target);
    bool parseHeaderLine(const QByteArray& line);

    HttpRequest m_request;
    int m_errorStatus = 0;
};
