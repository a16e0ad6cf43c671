// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

// Texts built from numbers and user names, shared by the core and the windows. Pure functions.

// A Boolean as log lines write it: "True" or "False".
QString BooleanText(bool value);
// "1 minute", "0 minutes", "-1 minutes": the unit gains an "s" unless n is exactly 1.
QString FormatPlural(int32_t n, const QString& unit);
// The brand of an account type: 0 Quolla .. 4 Emberly, anything else "unknown".
QString GetAccountTypeName(int16_t accountType);
// The user name before the first "@" (all of it when there is none).
QString StripDomain(const QString& username);
// A day number with its English suffix: 1st, 2nd, 3rd, 4th, 11th, 21st. Only the tens of the
// whole number count, so 111 gives "111st"; a negative number gets no suffix.
QString OrdinalSuffix(int16_t n);

// Figures on screen take the decimal sign, digit grouping and minus sign of the user's locale
// (QLocale's default); the exports, the history database and the settings keep the plain form.

// "#,##0" with thousands separators, else "0".
QString FormatWholeNumber(int32_t value, bool commaSeparators);
// A number given as text with two decimals, halves rounded away from zero: "#,##0.00" with
// thousands separators, else "0.00". A text that is no number gives the empty text.
QString FormatTwoDecimals(const QString& numberText, bool commaSeparators);
// Two decimals as FormatTwoDecimals, but always "0.00" with a '.' and no separators whatever the
// user chose or the locale says: the form of the exports and the history database, which other
// programs read.
QString FormatPlainDecimals(const QString& numberText);
// A plain number text ("-1234.5") as the user's locale writes it, grouped in thousands on request.
QString LocalNumberText(const QString& plainText, bool grouping);
// A number as LocalNumberText or the formatters above wrote it; nothing when it is none.
std::optional<double> ReadLocalNumberText(const QString& text);
// The text of a single-precision number with up to 7 significant digits ("16.58986"), never in
// exponent form; from ten million up, where every single is whole, all its digits ("12345678").
QString singleText(float value);

// Months on screen are named in the user's locale too (QLocale's default); the exports, the
// history database and the log file's own lines keep the fixed English forms.

// Format(date, "mmmm yyyy"): the month's name as the locale has it standing alone, a blank and
// the year ("März 2024"); the abbreviated name with shortName ("mmm yyyy", "Mär 2024"). Empty
// for an invalid date.
QString MonthYearText(const QDate& date, bool shortName = false);
// A month as MonthYearText wrote it, read back as the first day of that month; an invalid date
// for a text that names none.
QDate ReadMonthYearText(const QString& text);
