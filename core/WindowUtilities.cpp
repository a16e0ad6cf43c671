// SPDX-License-Identifier: MIT
#include "WindowUtilities.h"

#include "LogFrontEnd.h"

#include <malloc.h>

using namespace Qt::StringLiterals;

void MemoryMinimise(LogFrontEnd& log)
{
    log.LogMessage(u"calling MemoryMinimise"_s, 6);
    malloc_trim(0);
}
