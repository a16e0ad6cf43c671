// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkProxy>
#include <QProcessEnvironment>
#include <QUrl>

// The system proxy settings of a desktop without a central proxy service: the conventional
// environment variables that curl, wget and package managers read. http_proxy for http,
// https_proxy (or HTTPS_PROXY) for https, all_proxy as the fallback, no_proxy for exceptions.
// The loopback host never goes through a proxy.
namespace EnvironmentProxy {
QNetworkProxy forUrl(const QUrl& url, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
} // namespace EnvironmentProxy
