// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>

// One request as it arrived at the fake provider, kept so tests can check exactly what a client sent.
struct HttpRequest
{
    QByteArray method;
    QString path;                                 // percent-decoded path, without the query
    QUrlQuery query;                              // the raw query, items as sent
    QByteArray target;                            // the request-target exactly as on the request line
    QList<QPair<QByteArray, QByteArray>> headers; // in arrival order, names as sent
    QByteArray body;
    bool absoluteForm = false; // "GET http://host/path": the client takes us for its HTTP proxy
    QByteArray version;        // "HTTP/1.1"
    QByteArray rawQuery;       // the query exactly as sent (without "?")

    // The first header of that name (letter case ignored); empty when absent.
    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
    bool hasHeader(const QByteArray& name) const
    {
        for (const auto& header : headers) {
            if (header.first.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    // The user an NTLM message in that header names: the client's last message (type 3) has one, the
    // others none.
    QString ntlmUser(const QByteArray& name = "Proxy-Authorization") const;
    // A query value decoded the way a CGI program decodes a form ("+" is a blank); empty when absent.
    QString formValue(const QString& name) const;
    bool hasFormItem(const QString& name) const;
};
