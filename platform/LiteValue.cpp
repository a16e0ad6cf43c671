// SPDX-License-Identifier: MIT
#include "LiteValue.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
template <class... Ts>
struct Overloaded : Ts...
{
    using Ts::operator()...;
};
} // namespace

QString LiteValue::toText() const
{
    return std::visit(Overloaded{[](std::monostate) { return QString(); },
                                 [](int64_t value) { return QString::number(value); },
                                 [](double value) { return QString::number(value, 'g', 15); },
                                 [](const QString& value) { return value; }},
                      m_value);
}

double LiteValue::toDouble() const
{
    return std::visit(Overloaded{[](std::monostate) { return 0.0; }, [](int64_t value) { return double(value); },
                                 [](double value) { return value; },
                                 [](const QString& value) {
                                     bool ok = false;
                                     const double number = QLocale::c().toDouble(value.trimmed(), &ok);
                                     return ok ? number : 0.0;
                                 }},
                      m_value);
}

int64_t LiteValue::toInteger() const
{
    if (const auto* value = std::get_if<int64_t>(&m_value))
        return *value;
    const double number = toDouble();
    // Out-of-range reals saturate rather than overflow.
    if (!std::isfinite(number))
        return 0;
    if (number >= 9.2e18)
        return INT64_MAX;
    if (number <= -9.2e18)
        return INT64_MIN;
    return int64_t(number);
}

QString LiteValue::toSqlLiteral() const
{
    if (isNull())
        return u"NULL"_s;
    if (const auto* value = std::get_if<QString>(&m_value))
        return u'\'' + QString(*value).replace(u'\'', u"''"_s) + u'\'';
    return toText();
}
