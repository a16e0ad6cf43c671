// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// Finds the host program: the executable of the process the code runs in (for a component, the
// program that loaded it, not the component's own file).

// The platform line: 2 (the line with per-process executable queries, which is all we run on).
int32_t GetVersion();

// Full path of the host executable; empty when it cannot be found.
QString NameOfCaller();

// The host executable's folder, without a trailing "/"; empty when the executable is unknown.
QString PathOfCaller();

// The host executable as the process itself reports it (/proc/self/exe).
QString PathOfCaller_NT();

// The host executable looked up by process id (/proc/<pid>/exe): the second method.
QString PathOfCaller_9x();
