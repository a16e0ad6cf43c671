// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryAccess.h"

#include <QSet>
#include <QString>
#include <QStringList>

// The real registry routines, except that writes of the named values fail as a full disk or a
// locked store would; every attempted write is listed.
class FaultyRegistry : public SystemRegistry
{
public:
    // Value names whose writes fail (compared without regard to case).
    QSet<QString> failingWrites;
    // Value names of every write attempted, in order.
    QStringList attemptedWrites;

    static QString failureText();

    bool WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value,
                             QString& szErr) override;
    bool WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value,
                           QString& szErr) override;

private:
    bool fails(const QString& name, QString& szErr);
};
