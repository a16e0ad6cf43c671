// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The scheme and host (and port) that a component's URL templates start with: the provider's
// toolbox host, unless the hand-set REG_SZ "ToolboxURL" under the component's own Config key
// names another one, which lets tests, the demo and a user with another server point the
// component elsewhere. Plain http is accepted only for a loopback host, so that credentials never
// travel unencrypted across a network.
class ToolboxAddress
{
public:
    static constexpr char DefaultBase[] = "https://toolbox.quolla.example";

    // The default base.
    ToolboxAddress() = default;
    // Reads "ToolboxURL" under configKey of the current user's hive; a value that is refused
    // leaves the default base and is kept in refusal().
    static ToolboxAddress fromRegistry(const QString& configKey);
    // The same for a given value; an empty value keeps the default without a refusal.
    static ToolboxAddress fromSetting(const QString& value);

    // "https://toolbox.quolla.example" or the accepted override, without a trailing "/".
    const QString& base() const { return m_base; }
    // base() followed by a path and query ("/cgi-bin/api.cgi?...").
    QString url(const QString& pathAndQuery) const { return m_base + pathAndQuery; }

    // Why the setting was not used (a level-2 line for the component's log after
    // "<title>.ToolboxURL: "); empty when it was used or absent.
    const QString& refusal() const { return m_refusal; }

private:
    QString m_base = QLatin1StringView(DefaultBase);
    QString m_refusal;
};
