// SPDX-License-Identifier: MIT
#include "FaultyRegistry.h"

using namespace Qt::StringLiterals;

QString FaultyRegistry::failureText()
{
    return u"[28] No space left on device"_s;
}

bool FaultyRegistry::fails(const QString& name, QString& szErr)
{
    attemptedWrites.append(name);
    for (const QString& failing : failingWrites) {
        if (failing.compare(name, Qt::CaseInsensitive) == 0) {
            szErr = failureText();
            return true;
        }
    }
    return false;
}

bool FaultyRegistry::WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                                         QString& szErr)
{
    return !fails(name, szErr) && SystemRegistry::WriteRegStringValue(hive, key, name, value, szErr);
}

bool FaultyRegistry::WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                                       QString& szErr)
{
    return !fails(name, szErr) && SystemRegistry::WriteRegWordValue(hive, key, name, value, szErr);
}
