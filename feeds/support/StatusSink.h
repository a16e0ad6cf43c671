// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The receiving end of a Status event: the message text and its level. The owner connects it;
// an empty sink drops the lines.
using StatusSink = std::function<void(const QString& szMsg, int16_t intDebug)>;
