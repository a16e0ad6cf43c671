// SPDX-License-Identifier: MIT
#pragma once

#include "LiteError.h"

struct sqlite3;

// Turns the engine's last error on a connection into the wrapper's error: its extended result
// code, except for the table and column conditions the schema upgrade tells apart by number.
LiteError liteErrorOf(sqlite3* db, int code);
