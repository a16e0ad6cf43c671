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

bool FaultyRegistry::RegKeyExists(uint32_t hive, const QString& key)
{
    return m_real.RegKeyExists(hive, key);
}

bool FaultyRegistry::GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value)
{
    return m_real.GetRegValue(hive, key, name, value);
}

bool FaultyRegistry::WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                                         QString& szErr)
{
    return !fails(name, szErr) && m_real.WriteRegStringValue(hive, key, name, value, szErr);
}

bool FaultyRegistry::GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value)
{
    return m_real.GetRegWordValue(hive, key, name, value);
}

bool FaultyRegistry::WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                                       QString& szErr)
{
    return !fails(name, szErr) && m_real.WriteRegWordValue(hive, key, name, value, szErr);
}

bool FaultyRegistry::DeleteRegKey(uint32_t hive, const QString& key)
{
    return m_real.DeleteRegKey(hive, key);
}

bool FaultyRegistry::DeleteRegValue(uint32_t hive, const QString& key, const QString& name)
{
    return m_real.DeleteRegValue(hive, key, name);
}
