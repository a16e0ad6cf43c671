// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// Checked number conversions and division: where the arithmetic would leave its type, these raise
// the run-time error the caller reports ([6] Overflow, [11] Division by zero) instead of wrapping
// or producing infinities.
namespace NumberConversions {
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t DivisionByZero = 11;

// 16-bit whole numbers; a fraction rounds to the nearest, halves to even.
int16_t toInteger(int64_t value);
// 32-bit whole numbers; a fraction rounds to the nearest, halves to even.
int32_t toLong(int64_t value);
int32_t toLong(double value);
// A text as a 32-bit whole number: decimal (blanks, sign, fraction and exponent allowed) or "&h"
// followed by up to 8 hexadecimal digits. Anything else raises [13] Type mismatch.
int32_t toLong(const QString& text);
// A single-precision number; a value beyond its range overflows.
float toSingle(double value);
// a / b; b = 0 raises Division by zero, 0 / 0 raises Overflow.
double divide(double a, double b);
} // namespace NumberConversions
