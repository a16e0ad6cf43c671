// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// A short text naming the operating system and its version: the kernel's name, major and minor
// release, e.g. "Linux 6.1"; empty when the system cannot be asked.
QString OSVerString();
