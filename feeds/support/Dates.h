// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// Where myCDate sends the text of a failure, with its log level (12 most detailed, 2 a notice).
using DateMessageSink = std::function<void(const QString& message, int16_t level)>;

// The one strict reader of "yyyy-mm-dd" and "yyyy-mm-dd HH:mm:ss" texts. On success result is set
// and szErr left alone; on failure szErr holds the message (also sent to sink) and result is left
// alone. Never throws.
bool myCDate(const QString& text, LocalDateTime& result, QString& szErr, const DateMessageSink& sink);
// The components' form: failure messages go to InfoMessage.
bool myCDate(const QString& text, LocalDateTime& result, QString& szErr);

// The general numeric test of the original number format: surrounding blanks, a sign, a decimal
// point and an exponent pass; the C locale's "." is the decimal point. The value when it passes.
std::optional<double> readNumericText(const QString& text);
inline bool isNumericText(const QString& text)
{
    return readNumericText(text).has_value();
}

// The nearest whole number, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);
