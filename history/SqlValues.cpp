// SPDX-License-Identifier: MIT
#include "SqlValues.h"

#include "RunTimeError.h"
#include "TwoDecimals.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
constexpr int32_t InvalidUseOfNull = 94;
constexpr int32_t Overflow = 6;
} // namespace

namespace SqlValues {

LiteValue dateParam(const LocalDateTime& date)
{
    return LiteValue::text(date.toDateString());
}

LiteValue numberParam(const QString& text)
{
    bool ok = false;
    if (!text.contains(u'.') && !text.contains(u'e', Qt::CaseInsensitive)) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok)
            return LiteValue::integer(whole);
    }
    const double real = QLocale::c().toDouble(text, &ok);
    return ok ? LiteValue::real(real) : LiteValue::text(text);
}

LiteValue twoDecimalsParam(float value)
{
    return numberParam(TwoDecimals::text(value));
}

LiteValue firstValue(const LiteResult& result)
{
    return column(result, 0);
}

LiteValue column(const LiteResult& result, int index)
{
    if (!result || index >= result->size())
        return {};
    return result->at(index);
}

QString monthYear(const LocalDateTime& date)
{
    return QLocale::c().toString(date.date(), u"MMMM yyyy"_s);
}

double requiredNumber(const LiteValue& value)
{
    if (value.isNull())
        throw RunTimeError(InvalidUseOfNull, u"Invalid use of Null"_s);
    return value.toDouble();
}

float requiredSingle(const LiteValue& value)
{
    return float(requiredNumber(value));
}

float requiredSum(const LiteValue& value)
{
    return TwoDecimals::sum(requiredNumber(value));
}

float singleOrZero(const LiteValue& value)
{
    return value.isNull() ? 0.0f : float(value.toDouble());
}

int16_t integer16(const LiteValue& value, int16_t whenNull)
{
    if (value.isNull())
        return whenNull;
    const double number = std::nearbyint(value.toDouble());
    if (!(number >= INT16_MIN && number <= INT16_MAX))
        throw RunTimeError(Overflow, u"Overflow"_s);
    return int16_t(number);
}

} // namespace SqlValues
