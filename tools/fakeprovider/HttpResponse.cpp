// SPDX-License-Identifier: MIT
#include "HttpResponse.h"

HttpResponse HttpResponse::text(int status, const QByteArray& body, const QByteArray& contentType)
{
    HttpResponse response;
    response.status = status;
    response.body = body;
    response.contentType = contentType;
    return response;
}

HttpResponse HttpResponse::htmlError(int status)
{
    const QByteArray title = QByteArray::number(status) + ' ' + reasonPhrase(status);
    return text(status, "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1></body></html>\n",
                "text/html; charset=utf-8");
}

QByteArray HttpResponse::guessContentType(const QByteArray& body)
{
    const QByteArray start = body.trimmed().left(5).toLower();
    if (start.startsWith('{') || start.startsWith('['))
        return "application/json; charset=utf-8";
    if (start.startsWith("<?xml") || start.startsWith("<qo_"))
        return "text/xml; charset=utf-8";
    return "text/html; charset=utf-8";
}

QByteArray HttpResponse::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 407:
        return "Proxy Authentication Required";
    case 408:
        return "Request Timeout";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Unknown";
    }
}

QByteArray HttpResponse::serialize(bool keepAlive, bool headOnly) const
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' +
                     (reason.isEmpty() ? reasonPhrase(status) : reason) + "\r\nServer: fakeprovider\r\n";
    if (!contentType.isEmpty())
        out += "Content-Type: " + contentType + "\r\n";
    bool ownConnectionHeader = false;
    for (const auto& [name, value] : headers) {
        out += name + ": " + value + "\r\n";
        ownConnectionHeader = ownConnectionHeader || name.compare("Connection", Qt::CaseInsensitive) == 0;
    }
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!ownConnectionHeader)
        out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += "\r\n";
    if (!headOnly)
        out += body;
    return out;
}
