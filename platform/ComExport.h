// SPDX-License-Identifier: MIT
#pragma once

// The component runtime is one shared library per process, so every library that registers
// classes and every caller that creates objects meet in the same class registry. Its code is
// compiled with hidden visibility; this marks what it offers to other modules.
#define TALLY_COM_API __attribute__((visibility("default")))
