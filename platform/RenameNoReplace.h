// SPDX-License-Identifier: MIT
#pragma once

// Renames `from` to `to` unless `to` exists: 0, or errno (EEXIST when it does). Paths are native
// (encoded). File systems without the kernel's no-replace flag fall back to a hard link, and where
// that is impossible too (folders, no hard links) to a check before the rename.
int renameNoReplace(const char* from, const char* to);
