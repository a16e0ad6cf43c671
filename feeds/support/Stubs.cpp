// SPDX-License-Identifier: MIT
#include "Stubs.h"

void InfoMessage(const QString& message, int16_t level)
{
    Q_UNUSED(message);
    Q_UNUSED(level);
}
