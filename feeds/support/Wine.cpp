// SPDX-License-Identifier: MIT
#include "Wine.h"

#include "RegistryRoutines.h"

using namespace Qt::StringLiterals;

bool RunningUnderWine()
{
    return RegKeyExists(HKEY_CURRENT_USER, u"Software\\Wine"_s);
}
