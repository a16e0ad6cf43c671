// SPDX-License-Identifier: MIT
#pragma once

// True when the current user's registry has the key "Software\Wine".
bool RunningUnderWine();
