// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// The components' message sink for the date parser: the components keep no log of their own,
// so the message and its level are dropped.
void InfoMessage(const QString& message, int16_t level);
