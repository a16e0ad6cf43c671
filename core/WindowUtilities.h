// SPDX-License-Identifier: MIT
#pragma once

class LogFrontEnd;

// Hands the heap's free pages back to the system after a refresh. Never fails.
// (Stands in for trimming the working set: malloc_trim.)
void MemoryMinimise(LogFrontEnd& log);
