// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The path of a file named after the account (history database, cache files). A user name retyped
// in other letters is the same account, and the registry's last-refresh values already treat it
// so; the files must follow, or the account gets a second, empty set of files beside its own:
// - an entry of exactly that name in the folder: folder/name;
// - else a regular file whose name equals name apart from letter case (compared by case folding,
//   as the registry compares value names): that file; of several, the one modified last (the
//   one the account was kept in, which stays the newest as it is written), and of several
//   modified at the same moment, the lowest name in code-point order;
// - else folder/name, so a new file takes the name as typed.
QString PathIgnoringCase(const QString& folder, const QString& name);
