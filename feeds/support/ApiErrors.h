// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// The system's message text for an errno code, trimmed; "Unknown error." when the system has no
// text for it.
QString GetAPIErrorStr(int32_t code);
