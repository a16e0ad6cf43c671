// SPDX-License-Identifier: MIT
#pragma once

#include "LiteValue.h"
#include "LocalDateTime.h"

#include <QString>

#include <cstdint>

// Conversions between the month record's values and the database's, shared by the readers and
// the writer. Texts and numbers in the C locale.
namespace SqlValues {
inline const QString crlf = QStringLiteral("\r\n");

// "yyyy-mm-dd", the form the tables keep days in.
LiteValue dateParam(const LocalDateTime& date);
// A number given as text, typed as the same text would be as a literal of SQL: an integer when
// it has no decimal point or exponent, else a real. A text that is no number goes as text.
LiteValue numberParam(const QString& text);
// A single rounded to two decimals as every stored figure is (TwoDecimals).
LiteValue twoDecimalsParam(float value);

// The first column of a statement's first row; NULL when there was no row.
LiteValue firstValue(const LiteResult& result);
// A column of a row; NULL when the row is shorter.
LiteValue column(const LiteResult& result, int index);

// "May 2010", month names in English.
QString monthYear(const LocalDateTime& date);

// A number the reader needs: NULL is a run-time error ("Invalid use of Null").
double requiredNumber(const LiteValue& value);
float requiredSingle(const LiteValue& value);
// The same for a sum of stored figures, brought back to their two decimals (TwoDecimals::sum), so
// that it is the single the live month works out.
float requiredSum(const LiteValue& value);
// NULL reads as 0.
float singleOrZero(const LiteValue& value);
// A 16-bit integer, NULL reading as whenNull; beyond 16 bits a run-time error ("Overflow").
int16_t integer16(const LiteValue& value, int16_t whenNull);
} // namespace SqlValues
