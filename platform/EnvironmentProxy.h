// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkProxy>
#include <QProcessEnvironment>
#include <QUrl>

#include <optional>

// The system proxy settings of a desktop without a central proxy service: the conventional
// environment variables that curl, wget and package managers read. http_proxy for http,
// https_proxy (or HTTPS_PROXY) for https, all_proxy as the fallback, no_proxy for exceptions.
// The loopback host never goes through a proxy.
namespace EnvironmentProxy {
// The proxy for url; NoProxy where none is set for it. None at all where the variable that applies
// holds an address that cannot be used (it does not parse, or names a kind of proxy other than
// HTTP and SOCKS): the request must then not go out, as it would pass by the proxy the user set.
std::optional<QNetworkProxy> forUrl(const QUrl& url,
                                    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// The address in the variable that applies to url as it was set, less a user name and password,
// for a message; empty where none applies.
QString shownAddress(const QUrl& url, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
} // namespace EnvironmentProxy
