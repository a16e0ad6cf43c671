// SPDX-License-Identifier: MIT
#include "RegistryAccess.h"

#include "RegistryRoutines.h"

bool SystemRegistry::RegKeyExists(uint32_t hive, const QString& key)
{
    return withDamageTold(::RegKeyExists(hive, key));
}

bool SystemRegistry::GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value)
{
    return withDamageTold(::GetRegValue(hive, key, name, value));
}

bool SystemRegistry::WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                                         QString& szErr)
{
    return withDamageTold(::WriteRegStringValue(hive, key, name, value, szErr));
}

bool SystemRegistry::GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value)
{
    return withDamageTold(::GetRegWordValue(hive, key, name, value));
}

bool SystemRegistry::WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                                       QString& szErr)
{
    return withDamageTold(::WriteRegWordValue(hive, key, name, value, szErr));
}

bool SystemRegistry::DeleteRegKey(uint32_t hive, const QString& key)
{
    return withDamageTold(::DeleteRegKey(hive, key));
}

bool SystemRegistry::DeleteRegValue(uint32_t hive, const QString& key, const QString& name)
{
    return withDamageTold(::DeleteRegValue(hive, key, name));
}

void SystemRegistry::holdForThisRun(uint32_t hive, const QString& key, const QString& name, const QString& value)
{
    if (RegistryStore* store = RegistryStore::forHive(hive))
        store->holdForThisRun(key, name, RegistryValue::text(value));
}

void SystemRegistry::holdKeyForThisRun(uint32_t hive, const QString& key, const QStringList& dropped)
{
    if (RegistryStore* store = RegistryStore::forHive(hive))
        store->holdKeyForThisRun(key, dropped);
}

bool SystemRegistry::settingsFileUnreadable()
{
    return RegistryStore::currentUser().unreadable().has_value();
}

bool SystemRegistry::withDamageTold(bool result)
{
    if (m_unreadableSink) {
        if (const std::optional<RegistryStore::Unreadable> damage = RegistryStore::currentUser().unreadableToTell())
            m_unreadableSink(*damage);
    }
    return result;
}
