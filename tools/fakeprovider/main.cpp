// SPDX-License-Identifier: MIT
// The fake provider as a program, for the first run and for trying the components by hand.
#include "FakeProvider.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int fail(const QString& message)
{
    std::fprintf(stderr, "fakeprovider: %s\n", qPrintable(message));
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"fakeprovider"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"A local stand-in for the provider's JSON API, XML feed and version page."_s);
    parser.addHelpOption();
    const QCommandLineOption portOption(u"port"_s, u"Port on 127.0.0.1 (0: a free one)."_s, u"N"_s, u"0"_s);
    const QCommandLineOption dataOption(u"data"_s, u"Fixture folder (accounts/, replies/, version.txt)."_s, u"DIR"_s);
    const QCommandLineOption certOption(u"tls-cert"_s, u"Serve HTTPS with this PEM certificate."_s, u"FILE"_s);
    const QCommandLineOption keyOption(u"tls-key"_s, u"The PEM private key of the certificate."_s, u"FILE"_s);
    const QCommandLineOption todayOption(u"today"_s, u"Take this day (yyyy-MM-dd) for today."_s, u"DATE"_s);
    const QCommandLineOption nowOption(
        u"now"_s, u"Take this moment (yyyy-MM-ddTHH:mm:ss) for now: today's figures count up to it."_s, u"TIME"_s);
    parser.addOptions({portOption, dataOption, certOption, keyOption, todayOption, nowOption});
    parser.process(app);

    if (!parser.isSet(dataOption))
        return fail(u"--data DIR is required"_s);
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535)
        return fail(u"invalid port "_s + parser.value(portOption));

    FakeProvider provider(parser.value(dataOption));
    if (parser.isSet(todayOption)) {
        const QDate today = QDate::fromString(parser.value(todayOption), Qt::ISODate);
        if (!today.isValid())
            return fail(u"invalid date "_s + parser.value(todayOption));
        provider.setToday(today);
    }
    if (parser.isSet(nowOption)) {
        const QDateTime now = QDateTime::fromString(parser.value(nowOption), Qt::ISODate);
        if (!now.isValid())
            return fail(u"invalid time "_s + parser.value(nowOption));
        provider.setNow(now);
    }

    bool started = false;
    if (parser.isSet(certOption) || parser.isSet(keyOption)) {
        const QSslCertificate certificate(readAll(parser.value(certOption)), QSsl::Pem);
        const QByteArray keyText = readAll(parser.value(keyOption));
        QSslKey key(keyText, QSsl::Rsa, QSsl::Pem);
        if (key.isNull())
            key = QSslKey(keyText, QSsl::Ec, QSsl::Pem);
        if (certificate.isNull() || key.isNull())
            return fail(u"cannot read the TLS certificate or key"_s);
        started = provider.startTls(certificate, key, quint16(port));
    } else {
        started = provider.start(quint16(port));
    }
    if (!started)
        return fail(u"cannot listen on port "_s + QString::number(port));

    std::printf("%s\n", qPrintable(provider.baseUrl()));
    std::fflush(stdout);

    // One line per request on stderr, with the client's name; the query stays out of it because it
    // carries passwords.
    QObject::connect(&provider, &FakeProvider::requestRecorded, &provider, [&provider] {
        const FakeProvider::Request request = provider.requests().constLast();
        std::fprintf(stderr, "%s %s User-Agent: %s\n", request.method.constData(), qPrintable(request.path),
                     request.header("User-Agent").constData());
        provider.clearRequests();
    });
    return QCoreApplication::exec();
}
