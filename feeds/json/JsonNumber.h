// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

// Number <-> text conversions of the JSON reader and its values. They always use the C locale:
// a reply means the same whatever number format the user has chosen.
namespace JsonNumber {

enum class Conversion { Ok, TypeMismatch, Overflow };

// A number written as text: an optional sign, digits with at most one decimal point (".5" and "5."
// count, "." alone does not), an optional exponent (e or E, optional sign, digits); or "0x" / "0X"
// followed by 1 to 16 hexadecimal digits. Nothing else may stand in the text. A magnitude beyond
// the double range is an overflow; one below it becomes 0.
Conversion toDouble(QStringView text, double& result);

// The description of a failed conversion, as the platform words it.
QString description(Conversion conversion);

// The shortest text that reads back as the same double, in plain decimal notation from 1E-05 up to
// below 1E+15 ("1000", "0.5", "-12.25") and in exponent notation outside ("1E+15", "2.5E-07").
QString toText(double value);

} // namespace JsonNumber
