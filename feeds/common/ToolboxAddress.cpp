// SPDX-License-Identifier: MIT
#include "ToolboxAddress.h"

#include "RegistryRoutines.h"

#include <QHostAddress>
#include <QUrl>

using namespace Qt::StringLiterals;

ToolboxAddress ToolboxAddress::fromRegistry(const QString& configKey)
{
    QString value;
    if (!GetRegValue(HKEY_CURRENT_USER, configKey, u"ToolboxURL"_s, value))
        return {};
    return fromSetting(value);
}

ToolboxAddress ToolboxAddress::fromSetting(const QString& value)
{
    ToolboxAddress address;
    const QString text = value.trimmed();
    if (text.isEmpty())
        return address;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool bare = url.path().isEmpty() || url.path() == u"/"_s;
    if (!url.isValid() || (scheme != u"http"_s && scheme != u"https"_s) || url.host().isEmpty() ||
        !url.userInfo().isEmpty() || !bare || url.hasQuery() || url.hasFragment()) {
        address.m_refusal = u"not a scheme and host, using "_s + address.m_base + u": "_s + value;
        return address;
    }
    const bool loopback =
        url.host().compare(u"localhost"_s, Qt::CaseInsensitive) == 0 || QHostAddress(url.host()).isLoopback();
    if (scheme == u"http"_s && !loopback) {
        address.m_refusal =
            u"plain http is accepted only for a loopback host, using "_s + address.m_base + u": "_s + value;
        return address;
    }
    address.m_base =
        url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
    return address;
}
