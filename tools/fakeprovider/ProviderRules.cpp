// SPDX-License-Identifier: MIT
#include "ProviderRules.h"

#include <QUrl>

namespace {
bool matches(const ProviderRule& rule, const HttpRequest& request)
{
    if (rule.times == 0 || !request.path.startsWith(rule.path))
        return false;
    if (!rule.unlessHeader.isEmpty() && request.hasHeader(rule.unlessHeader) &&
        (rule.unlessValue.isEmpty() || request.header(rule.unlessHeader) == rule.unlessValue))
        return false;
    if (!rule.ifHeader.isEmpty() && !request.header(rule.ifHeader).startsWith(rule.ifPrefix))
        return false;
    if (rule.queryContains.isEmpty())
        return true;
    const QString raw = QString::fromLatin1(request.rawQuery);
    QByteArray plus = request.rawQuery;
    plus.replace('+', ' ');
    const QString decoded = QUrl::fromPercentEncoding(plus);
    return raw.contains(rule.queryContains) || decoded.contains(rule.queryContains);
}
} // namespace

std::optional<ProviderRule> ProviderRules::take(const HttpRequest& request)
{
    for (ProviderRule& rule : m_rules) {
        if (!matches(rule, request))
            continue;
        if (rule.times > 0)
            --rule.times;
        return rule;
    }
    return std::nullopt;
}
