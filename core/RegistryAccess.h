// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryStore.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// The registry routines as one object, so the core can be handed a store whose writes fail.
// Same contract as the free routines: nothing throws, readers report found/missing, writers
// give an error text.
class RegistryAccess
{
public:
    virtual ~RegistryAccess() = default;

    virtual bool RegKeyExists(uint32_t hive, const QString& key) = 0;
    virtual bool GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value) = 0;
    virtual bool WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                                     QString& szErr) = 0;
    virtual bool GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value) = 0;
    virtual bool WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                                   QString& szErr) = 0;
    virtual bool DeleteRegKey(uint32_t hive, const QString& key) = 0;
    virtual bool DeleteRegValue(uint32_t hive, const QString& key, const QString& name) = 0;

    // A text value for this run only: every reader in the process, the components included, sees
    // it in place of the stored one, which stays as it is. A write of that value ends it.
    virtual void holdForThisRun(uint32_t hive, const QString& key, const QString& name, const QString& value) = 0;
    // The values under key become this run's own, for every reader in the process: those stored,
    // less the ones named in `dropped`, and every change made from now on, which the file never sees.
    virtual void holdKeyForThisRun(uint32_t hive, const QString& key, const QStringList& dropped) = 0;

    // True while the current user's settings file cannot be read, which refuses every write.
    virtual bool settingsFileUnreadable() { return false; }
};

// The current user's registry store, through the support library's routines. Tests derive from
// it to make chosen writes fail.
class SystemRegistry : public RegistryAccess
{
public:
    using UnreadableSink = std::function<void(const RegistryStore::Unreadable&)>;

    // Who tells the user that the settings file went bad while the program runs: called once per
    // damage, after the routine that met it has returned. None until set, and then the damage
    // waits for the first routine called after.
    void setUnreadableSink(UnreadableSink sink) { m_unreadableSink = std::move(sink); }

    bool RegKeyExists(uint32_t hive, const QString& key) override;
    bool GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value) override;
    bool WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                             QString& szErr) override;
    bool GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value) override;
    bool WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                           QString& szErr) override;
    bool DeleteRegKey(uint32_t hive, const QString& key) override;
    bool DeleteRegValue(uint32_t hive, const QString& key, const QString& name) override;
    void holdForThisRun(uint32_t hive, const QString& key, const QString& name, const QString& value) override;
    void holdKeyForThisRun(uint32_t hive, const QString& key, const QStringList& dropped) override;
    bool settingsFileUnreadable() override;

private:
    // Passes the routine's result through, after handing on any damage it met.
    bool withDamageTold(bool result);

    UnreadableSink m_unreadableSink;
};
