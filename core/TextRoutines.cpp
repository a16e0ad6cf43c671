// SPDX-License-Identifier: MIT
#include "TextRoutines.h"

#include "Dates.h"

#include <QLocale>

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
QString groupThousands(const QString& digits, const QString& separator)
{
    QString grouped;
    const qsizetype count = digits.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            grouped += separator;
        grouped += digits.at(i);
    }
    return grouped;
}

// Adds one to a string of decimal digits; "99" becomes "100".
QString incrementDigits(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) != u'9') {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return u'1' + digits;
}
} // namespace

QString BooleanText(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

QString FormatPlural(int32_t n, const QString& unit)
{
    return QString::number(n) + u' ' + unit + (n == 1 ? QString() : u"s"_s);
}

QString GetAccountTypeName(int16_t accountType)
{
    switch (accountType) {
    case 0:
        return u"Quolla"_s;
    case 1:
        return u"Brindle"_s;
    case 2:
        return u"Corvo"_s;
    case 3:
        return u"Dapple"_s;
    case 4:
        return u"Emberly"_s;
    default:
        return u"unknown"_s;
    }
}

QString StripDomain(const QString& username)
{
    const qsizetype at = username.indexOf(u'@');
    return at < 0 ? username : username.left(at);
}

QString OrdinalSuffix(int16_t n)
{
    const int units = n % 10;
    const int tens = n > 9 ? (n - units) / 10 : 0;
    QString suffix;
    if (tens == 1)
        suffix = u"th"_s;
    else if (units == 1)
        suffix = u"st"_s;
    else if (units == 2)
        suffix = u"nd"_s;
    else if (units == 3)
        suffix = u"rd"_s;
    else if (units >= 0)
        suffix = u"th"_s;
    return QString::number(n) + suffix;
}

QString FormatWholeNumber(int32_t value, bool commaSeparators)
{
    return LocalNumberText(QString::number(value), commaSeparators);
}

QString LocalNumberText(const QString& plainText, bool grouping)
{
    const QLocale locale;
    QString text = plainText;
    QString sign;
    if (text.startsWith(u'-')) {
        sign = locale.negativeSign();
        text.remove(0, 1);
    }
    const qsizetype point = text.indexOf(u'.');
    const QString integerDigits = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : locale.decimalPoint() + text.mid(point + 1);
    return sign + (grouping ? groupThousands(integerDigits, locale.groupSeparator()) : integerDigits) + fraction;
}

std::optional<double> ReadLocalNumberText(const QString& text)
{
    const QLocale locale;
    QString plain = text.trimmed();
    plain.remove(locale.groupSeparator());
    plain.replace(locale.decimalPoint(), u"."_s);
    plain.replace(locale.negativeSign(), u"-"_s);
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString FormatTwoDecimals(const QString& numberText, bool commaSeparators)
{
    const QString plain = FormatPlainDecimals(numberText);
    return plain.isEmpty() ? QString() : LocalNumberText(plain, commaSeparators);
}

QString FormatPlainDecimals(const QString& numberText)
{
    const std::optional<double> parsed = readNumericText(numberText);
    if (!parsed || !std::isfinite(*parsed))
        return {};

    // Round the decimal digits of the value (15 significant, as the number format reads them),
    // not its binary fraction, so 1.005 gives 1.01 and 0.125 gives 0.13.
    QString integerDigits = u"0"_s;
    QString fraction = u"00"_s;
    if (*parsed != 0) {
        const QString scientific = QString::number(std::fabs(*parsed), 'e', 14); // d.dddddddddddddde+XX
        const qsizetype e = scientific.indexOf(u'e');
        const QString digits = scientific.left(1) + scientific.mid(2, e - 2);
        const int exponent = scientific.mid(e + 1).toInt();
        const int kept = exponent + 1 + 2; // digits before the cut: integer digits and two decimals
        QString rounded;
        if (kept >= 0) {
            rounded = digits.left(kept);
            if (kept < digits.size() && digits.at(kept) >= u'5')
                rounded = incrementDigits(rounded.isEmpty() ? u"0"_s : rounded);
            while (rounded.size() < kept)
                rounded += u'0';
            // Now rounded holds the value in hundredths, possibly with one more leading digit.
        } else {
            rounded = u"0"_s;
        }
        while (rounded.size() < 3)
            rounded.prepend(u'0');
        integerDigits = rounded.left(rounded.size() - 2);
        fraction = rounded.right(2);
        while (integerDigits.size() > 1 && integerDigits.startsWith(u'0'))
            integerDigits.remove(0, 1);
    }
    const bool negative = *parsed < 0 && (integerDigits != u"0"_s || fraction != u"00"_s);
    return (negative ? u"-"_s : QString()) + integerDigits + u'.' + fraction;
}

QString singleText(float value)
{
    const double number = value;
    // From ten million up every single is a whole number, and seven digits would drop some of it.
    if (std::fabs(number) >= 1e7)
        return QString::number(number, 'f', 0);
    const QString text = QString::number(number, 'g', 7);
    if (!text.contains(u'e'))
        return text;
    // Below 0.0001: the same seven digits, written out.
    const int exponent = int(std::floor(std::log10(std::fabs(number))));
    QString plain = QString::number(number, 'f', 6 - exponent);
    while (plain.endsWith(u'0'))
        plain.chop(1);
    return plain;
}

QString MonthYearText(const QDate& date, bool shortName)
{
    if (!date.isValid())
        return {};
    const QLocale::FormatType form = shortName ? QLocale::ShortFormat : QLocale::LongFormat;
    return QLocale().standaloneMonthName(date.month(), form) + u' ' + QString::number(date.year());
}

QDate ReadMonthYearText(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.lastIndexOf(u' ');
    if (blank < 1)
        return {};
    bool ok = false;
    const int year = trimmed.mid(blank + 1).toInt(&ok);
    if (!ok)
        return {};
    const QString name = trimmed.left(blank).trimmed();
    const QLocale locale;
    for (int month = 1; month <= 12; ++month) {
        for (const QLocale::FormatType form : {QLocale::LongFormat, QLocale::ShortFormat}) {
            if (name.compare(locale.standaloneMonthName(month, form), Qt::CaseInsensitive) == 0)
                return QDate(year, month, 1);
        }
    }
    return {};
}
