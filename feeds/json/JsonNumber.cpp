// SPDX-License-Identifier: MIT
#include "JsonNumber.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

using namespace Qt::StringLiterals;

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Hexadecimal digits come out as an unsigned value, so four or eight digits with the top bit set
// give a positive number rather than a negative 16- or 32-bit one: the replies carry no hexadecimal
// numbers at all, and a positive value is the less surprising reading of "0xFFFF".
JsonNumber::Conversion hexToDouble(QStringView digits, double& result)
{
    if (digits.isEmpty())
        return JsonNumber::Conversion::TypeMismatch;
    uint64_t value = 0;
    for (const QChar c : digits) {
        const int digit = hexDigitValue(c.unicode());
        if (digit < 0)
            return JsonNumber::Conversion::TypeMismatch;
        value = (value << 4) | static_cast<uint64_t>(digit);
    }
    if (digits.size() > 16)
        return JsonNumber::Conversion::Overflow;
    result = static_cast<double>(value);
    return JsonNumber::Conversion::Ok;
}

struct DecimalShape
{
    bool negative = false;
    qsizetype mantissaBegin = 0; // first character after the sign
    // Decimal exponent of the first significant digit, used only to tell overflow from underflow.
    int64_t magnitude = 0;
    bool allZero = true;
    bool integerOnly = true; // digits only, no point and no exponent
    qsizetype digitCount = 0;
};

bool checkDecimal(QStringView text, DecimalShape& shape)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        shape.negative = text[i] == u'-';
        ++i;
    }
    shape.mantissaBegin = i;
    qsizetype digitsBeforePoint = 0;
    qsizetype firstSignificant = -1; // index among all mantissa digits
    bool seenPoint = false;
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (isDigit(c)) {
            if (c != u'0' && firstSignificant < 0)
                firstSignificant = shape.digitCount;
            ++shape.digitCount;
            if (!seenPoint)
                ++digitsBeforePoint;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            shape.integerOnly = false;
        } else {
            break;
        }
    }
    if (shape.digitCount == 0)
        return false;
    int64_t exponent = 0;
    if (i < size && (text[i] == u'e' || text[i] == u'E')) {
        shape.integerOnly = false;
        ++i;
        bool negativeExponent = false;
        if (i < size && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            ++i;
        }
        const qsizetype exponentBegin = i;
        for (; i < size && isDigit(text[i].unicode()); ++i) {
            // Clamped: only the sign of the magnitude matters once the value is out of range.
            if (exponent < 100000000)
                exponent = exponent * 10 + (text[i].unicode() - u'0');
        }
        if (i == exponentBegin)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != size)
        return false;
    shape.allZero = firstSignificant < 0;
    if (!shape.allZero)
        shape.magnitude = digitsBeforePoint - firstSignificant - 1 + exponent;
    return true;
}

} // namespace

namespace JsonNumber {

Conversion toDouble(QStringView text, double& result)
{
    if (text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        return hexToDouble(text.mid(2), result);

    DecimalShape shape;
    if (!checkDecimal(text, shape))
        return Conversion::TypeMismatch;

    // Whole numbers below 2^53 are exact without the general conversion; they are most of a reply.
    if (shape.integerOnly && shape.digitCount <= 15) {
        int64_t value = 0;
        for (qsizetype i = shape.mantissaBegin; i < text.size(); ++i)
            value = value * 10 + (text[i].unicode() - u'0');
        result = shape.negative ? -static_cast<double>(value) : static_cast<double>(value);
        return Conversion::Ok;
    }

    // The shape check let through ASCII only, so a narrowing copy is exact. from_chars ignores the
    // process locale, and it takes no leading '+'.
    std::array<char, 128> smallBuffer;
    std::string largeBuffer;
    const qsizetype begin = text[0] == u'+' ? 1 : 0;
    const qsizetype length = text.size() - begin;
    char* ascii = smallBuffer.data();
    if (length > qsizetype(smallBuffer.size())) {
        largeBuffer.resize(size_t(length));
        ascii = largeBuffer.data();
    }
    for (qsizetype i = 0; i < length; ++i)
        ascii[i] = static_cast<char>(text[begin + i].unicode());

    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii, ascii + length, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        if (shape.magnitude > 0)
            return Conversion::Overflow;
        result = shape.negative ? -0.0 : 0.0;
        return Conversion::Ok;
    }
    if (error != std::errc() || end != ascii + length)
        return Conversion::TypeMismatch;
    if (std::isinf(value))
        return Conversion::Overflow;
    result = value;
    return Conversion::Ok;
}

QString description(Conversion conversion)
{
    switch (conversion) {
    case Conversion::Ok:
        return {};
    case Conversion::TypeMismatch:
        return u"Type mismatch"_s;
    case Conversion::Overflow:
        return u"Overflow"_s;
    }
    return {};
}

QString toText(double value)
{
    if (value == 0.0)
        return u"0"_s; // also for -0, which the platform never shows with a sign
    if (std::isnan(value))
        return u"NaN"_s;
    if (std::isinf(value))
        return value > 0 ? u"Infinity"_s : u"-Infinity"_s;

    std::array<char, 400> buffer;
    const double magnitude = std::fabs(value);
    const bool plain = magnitude >= 1e-5 && magnitude < 1e15;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            plain ? std::chars_format::fixed : std::chars_format::scientific);
    if (error != std::errc())
        return {};
    QString text = QString::fromLatin1(buffer.data(), end - buffer.data());
    if (!plain)
        text.replace(u'e', u'E');
    return text;
}

} // namespace JsonNumber
