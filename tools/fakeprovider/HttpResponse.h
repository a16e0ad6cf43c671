// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// What the fake provider does with one request: the reply itself and how (or whether) it is delivered.
struct HttpResponse
{
    int status = 200;
    QByteArray reason; // empty: the usual phrase for the status
    QByteArray contentType;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int delayMs = 0;
    bool neverAnswer = false;       // keep the connection open and stay silent
    bool closeWithoutReply = false; // drop the connection without a byte
    QByteArray tunnelTo;            // "host:port": answer a CONNECT by opening a tunnel there
    qsizetype breakOffAfter = -1;   // send only this many bytes of the body (-1: all), then end the connection
    bool breakOffWithReset = false; // end it with a reset rather than a close

    static HttpResponse text(int status, const QByteArray& body, const QByteArray& contentType);
    // A small HTML page, as a web server answers errors.
    static HttpResponse htmlError(int status);

    // JSON, XML or HTML, by the first characters of a body.
    static QByteArray guessContentType(const QByteArray& body);
    // The usual reason phrase of a status ("Not Found"); "Unknown" for others.
    static QByteArray reasonPhrase(int status);
    // The bytes on the wire. headOnly leaves out the body but keeps its length. A Connection header
    // among headers replaces the one keepAlive would give.
    QByteArray serialize(bool keepAlive, bool headOnly) const;
};
