// SPDX-License-Identifier: MIT
#include "RegistryRoutines.h"

#include "ApiErrors.h"
#include "RegistryStore.h"
#include "RunTimeError.h"

#include <cerrno>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
// A value is read whole, whatever its length: the text store has no buffer to overflow, and a
// value cut or refused for its length would be taken as missing and written over by its default.
std::optional<RegistryValue> queryValue(uint32_t hive, const QString& key, const QString& name)
{
    const RegistryStore* store = RegistryStore::forHive(hive);
    if (!store)
        return std::nullopt;
    return store->value(key, name);
}

int32_t littleEndian(const QByteArray& bytes)
{
    uint32_t number = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(bytes[i]);
    return static_cast<int32_t>(number);
}

RegistryStore::Result writeValue(uint32_t hive, const QString& key, const QString& name, const RegistryValue& value)
{
    RegistryStore* store = RegistryStore::forHive(hive);
    if (!store)
        return {EBADF, {}};
    return store->setValue(key, name, value);
}

QString errorText(const RegistryStore::Result& result)
{
    return bracketedError(result.code, result.message.isEmpty() ? GetAPIErrorStr(result.code) : result.message);
}

// Only memory exhaustion throws below the routines.
bool reportUnexpected(QString& szErr) noexcept
{
    try {
        szErr = errorText({ENOMEM, {}});
    } catch (...) {
    }
    return false;
}

bool reportWrite(const RegistryStore::Result& result, QString& szErr)
{
    if (!result.ok())
        szErr = errorText(result);
    return result.ok();
}
} // namespace

bool RegKeyExists(uint32_t hive, const QString& key)
{
    try {
        const RegistryStore* store = RegistryStore::forHive(hive);
        return store && store->keyExists(key);
    } catch (...) {
        return false;
    }
}

bool GetRegValue(uint32_t hive, const QString& key, const QString& name, QString& value)
{
    try {
        const std::optional<RegistryValue> found = queryValue(hive, key, name);
        if (!found) {
            value.clear();
            return false;
        }
        QByteArray bytes = found->data;
        if (bytes.endsWith('\0'))
            bytes.chop(1);
        switch (found->type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ:
            value = QString::fromUtf8(bytes);
            return true;
        case REG_DWORD:
            if (bytes.size() > 4) {
                value.clear();
                return false;
            }
            value = QString::number(littleEndian(bytes));
            return true;
        default:
            // Binary and other data has no text form: report it as not read rather than
            // pretend the caller's text came from the registry.
            return false;
        }
    } catch (...) {
        value.clear();
        return false;
    }
}

bool WriteRegStringValue(uint32_t hive, const QString& key, const QString& name, const QString& value, QString& szErr)
{
    try {
        RegistryValue data = RegistryValue::text(value);
        if (data.data.isEmpty())
            data.data = QByteArray(1, '\0');
        return reportWrite(writeValue(hive, key, name, data), szErr);
    } catch (...) {
        return reportUnexpected(szErr);
    }
}

bool GetRegWordValue(uint32_t hive, const QString& key, const QString& name, int32_t& value)
{
    try {
        const std::optional<RegistryValue> found = queryValue(hive, key, name);
        if (!found || found->type != REG_DWORD || found->data.size() != 4)
            return false;
        value = littleEndian(found->data);
        return true;
    } catch (...) {
        return false;
    }
}

bool WriteRegWordValue(uint32_t hive, const QString& key, const QString& name, const int32_t& value, QString& szErr)
{
    try {
        return reportWrite(writeValue(hive, key, name, RegistryValue::dword(static_cast<uint32_t>(value))), szErr);
    } catch (...) {
        return reportUnexpected(szErr);
    }
}

bool DeleteRegKey(uint32_t hive, const QString& key)
{
    try {
        RegistryStore* store = RegistryStore::forHive(hive);
        return store && store->deleteKey(key).ok();
    } catch (...) {
        return false;
    }
}

bool DeleteRegValue(uint32_t hive, const QString& key, const QString& name)
{
    try {
        RegistryStore* store = RegistryStore::forHive(hive);
        return store && store->deleteValue(key, name).ok();
    } catch (...) {
        return false;
    }
}
