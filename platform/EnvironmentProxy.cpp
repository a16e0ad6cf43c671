// SPDX-License-Identifier: MIT
#include "EnvironmentProxy.h"

#include <QHostAddress>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace EnvironmentProxy {

namespace {

QString firstSet(const QProcessEnvironment& env, std::initializer_list<QString> names)
{
    for (const QString& name : names) {
        const QString value = env.value(name).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

bool isLoopback(const QString& host)
{
    if (host.compare(u"localhost"_s, Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool excluded(const QString& host, const QString& noProxy)
{
    const QStringList entries = noProxy.split(u',', Qt::SkipEmptyParts);
    for (QString entry : entries) {
        entry = entry.trimmed();
        if (entry == u"*")
            return true;
        // "host:port" entries: the port plays no part here.
        if (const qsizetype colon = entry.lastIndexOf(u':'); colon > 0 && !entry.contains(u"::"_s))
            entry.truncate(colon);
        if (entry.startsWith(u'.'))
            entry.remove(0, 1);
        if (entry.isEmpty())
            continue;
        if (host.compare(entry, Qt::CaseInsensitive) == 0 || host.endsWith(u'.' + entry, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The variable's text that applies to url; empty where none does.
QString settingFor(const QUrl& url, const QProcessEnvironment& env)
{
    const QString host = url.host();
    if (host.isEmpty() || isLoopback(host) || excluded(host, firstSet(env, {u"no_proxy"_s, u"NO_PROXY"_s})))
        return {};
    // Upper-case HTTP_PROXY is left alone on purpose: web servers put a request's Proxy header there.
    return url.scheme().compare(u"https"_s, Qt::CaseInsensitive) == 0
               ? firstSet(env, {u"https_proxy"_s, u"HTTPS_PROXY"_s, u"all_proxy"_s, u"ALL_PROXY"_s})
               : firstSet(env, {u"http_proxy"_s, u"all_proxy"_s, u"ALL_PROXY"_s});
}

} // namespace

std::optional<QNetworkProxy> forUrl(const QUrl& url, const QProcessEnvironment& env)
{
    const QString setting = settingFor(url, env);
    if (setting.isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);

    const QUrl proxyUrl(setting.contains(u"://"_s) ? setting : u"http://"_s + setting);
    const bool socks = proxyUrl.scheme().startsWith(u"socks"_s, Qt::CaseInsensitive);
    if (!proxyUrl.isValid() || proxyUrl.host().isEmpty() ||
        (!socks && proxyUrl.scheme().compare(u"http"_s, Qt::CaseInsensitive) != 0))
        return std::nullopt;
    QNetworkProxy proxy(socks ? QNetworkProxy::Socks5Proxy : QNetworkProxy::HttpProxy, proxyUrl.host(),
                        static_cast<quint16>(proxyUrl.port(1080)));
    proxy.setUser(proxyUrl.userName(QUrl::FullyDecoded));
    proxy.setPassword(proxyUrl.password(QUrl::FullyDecoded));
    return proxy;
}

QString shownAddress(const QUrl& url, const QProcessEnvironment& env)
{
    const QString setting = settingFor(url, env);
    // Whatever comes before the last "@" may be the password, also in an address that does not parse.
    const qsizetype at = setting.lastIndexOf(u'@');
    if (at < 0)
        return setting;
    const qsizetype schemeEnd = setting.indexOf(u"://"_s);
    return (schemeEnd >= 0 && schemeEnd < at ? setting.left(schemeEnd + 3) : QString()) + setting.mid(at + 1);
}

} // namespace EnvironmentProxy
