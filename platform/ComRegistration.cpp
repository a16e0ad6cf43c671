// SPDX-License-Identifier: MIT
#include "ComRegistration.h"

#include "RegistryHive.h"
#include "RegistryStore.h"

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {
RegistryStore& classesRoot()
{
    return *RegistryStore::forHive(HKEY_CLASSES_ROOT);
}

bool setDefault(const QString& key, const QString& text)
{
    return classesRoot().setValue(key, QString(), RegistryValue::text(text)).ok();
}

QString readDefault(const QString& key)
{
    const std::optional<RegistryValue> value = classesRoot().value(key, QString());
    if (!value || value->type != REG_SZ)
        return {};
    return QString::fromUtf8(value->data);
}

// Deepest first: a key with subkeys cannot be deleted.
bool deleteKeys(const QStringList& keys)
{
    bool ok = true;
    for (const QString& key : keys) {
        const int code = classesRoot().deleteKey(key).code;
        ok = (code == 0 || code == ENOENT) && ok;
    }
    return ok;
}

QString classKey(const Guid& classId)
{
    return u"CLSID\\"_s + classId.toString();
}

QString typeLibraryKey(const Guid& libraryId)
{
    return u"TypeLib\\"_s + libraryId.toString();
}
} // namespace

namespace ComRegistration {
bool registerClass(const QString& progId, const Guid& classId, const Guid& libraryId, const QString& libraryPath)
{
    const QString clsid = classKey(classId);
    // Every write is tried, so one failure leaves as much as possible in place for a retry.
    bool ok = setDefault(progId, progId);
    ok = setDefault(progId + u"\\CLSID"_s, classId.toString()) && ok;
    ok = setDefault(clsid, progId) && ok;
    ok = setDefault(clsid + u"\\InProcServer32"_s, libraryPath) && ok;
    ok = setDefault(clsid + u"\\ProgID"_s, progId) && ok;
    ok = setDefault(clsid + u"\\TypeLib"_s, libraryId.toString()) && ok;
    return ok;
}

bool unregisterClass(const QString& progId, const Guid& classId)
{
    const QString clsid = classKey(classId);
    return deleteKeys({progId + u"\\CLSID"_s, progId, clsid + u"\\InProcServer32"_s, clsid + u"\\ProgID"_s,
                       clsid + u"\\TypeLib"_s, clsid});
}

bool registerTypeLibrary(const Guid& libraryId, const QString& version, const QString& helpString)
{
    return setDefault(typeLibraryKey(libraryId) + u'\\' + version, helpString);
}

bool unregisterTypeLibrary(const Guid& libraryId, const QString& version)
{
    const QString key = typeLibraryKey(libraryId);
    return deleteKeys({key + u'\\' + version, key});
}

std::optional<Guid> classIdOf(const QString& progId)
{
    if (progId.isEmpty() || progId.contains(u'\\'))
        return std::nullopt;
    return Guid::fromString(readDefault(progId + u"\\CLSID"_s));
}

QString libraryPathOf(const Guid& classId)
{
    return readDefault(classKey(classId) + u"\\InProcServer32"_s);
}
} // namespace ComRegistration
