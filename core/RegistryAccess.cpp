// SPDX-License-Identifier: MIT
#include "RegistryAccess.h"

#include "RegistryRoutines.h"

bool SystemRegistry::RegKeyExists(uint32_t hive, const QString& key)
{
    return ::RegKeyExists(hive, key);
}

bool SystemRegistry::GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value)
{
    return ::GetRegValue(hive, key, name, value);
}

bool SystemRegistry::WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                                         QString& szErr)
{
    return ::WriteRegStringValue(hive, key, name, value, szErr);
}

bool SystemRegistry::GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value)
{
    return ::GetRegWordValue(hive, key, name, value);
}

bool SystemRegistry::WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                                       QString& szErr)
{
    return ::WriteRegWordValue(hive, key, name, value, szErr);
}

bool SystemRegistry::DeleteRegKey(uint32_t hive, const QString& key)
{
    return ::DeleteRegKey(hive, key);
}

bool SystemRegistry::DeleteRegValue(uint32_t hive, const QString& key, const QString& name)
{
    return ::DeleteRegValue(hive, key, name);
}
