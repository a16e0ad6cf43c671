// SPDX-License-Identifier: MIT
#include "NumberConversions.h"

#include "Dates.h"
#include "RunTimeError.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace NumberConversions {
namespace {
[[noreturn]] void raiseOverflow()
{
    throw RunTimeError(Overflow, u"Overflow"_s);
}

template <typename T>
T checkedWhole(double value)
{
    if (!std::isfinite(value))
        raiseOverflow();
    const double rounded = roundHalfEven(value);
    if (rounded < double(std::numeric_limits<T>::min()) || rounded > double(std::numeric_limits<T>::max()))
        raiseOverflow();
    return static_cast<T>(rounded);
}

template <typename T>
T checkedWhole(int64_t value)
{
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        raiseOverflow();
    return static_cast<T>(value);
}
} // namespace

int16_t toInteger(int64_t value)
{
    return checkedWhole<int16_t>(value);
}

int32_t toLong(int64_t value)
{
    return checkedWhole<int32_t>(value);
}

int32_t toLong(double value)
{
    return checkedWhole<int32_t>(value);
}

int32_t toLong(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(u"&h"_s, Qt::CaseInsensitive)) {
        const QString digits = trimmed.mid(2);
        bool ok = false;
        const uint32_t value = digits.size() <= 8 ? digits.toUInt(&ok, 16) : 0;
        if (!ok)
            throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
        return static_cast<int32_t>(value);
    }
    const std::optional<double> value = readNumericText(text);
    if (!value)
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
    return toLong(*value);
}

float toSingle(double value)
{
    if (std::isnan(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        raiseOverflow();
    return static_cast<float>(value);
}

double divide(double a, double b)
{
    if (b == 0) {
        if (a == 0)
            raiseOverflow();
        throw RunTimeError(DivisionByZero, u"Division by zero"_s);
    }
    const double result = a / b;
    if (!std::isfinite(result))
        raiseOverflow();
    return result;
}
} // namespace NumberConversions
