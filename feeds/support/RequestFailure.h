// SPDX-License-Identifier: MIT
#pragma once

#include "HttpErrorTable.h"
#include "RunTimeError.h"

#include <cstdint>

// A failed call on the request object, raised the way the object's methods raise: the result code
// and the object's own description. Both transports check each call's result with it.
inline void raiseIfFailed(int32_t number)
{
    if (number != 0)
        throw RunTimeError(HttpErrorTable::asResultCode(number), HttpErrorTable::description(number));
}
