// SPDX-License-Identifier: MIT
#include "ComClassTable.h"
#include "ComRuntime.h"
#include "ComponentTestSupport.h"
#include "Pelborne/FileVersionInfoInterface.h"
#include "Pelborne/GeneralInterface.h"
#include "Pelborne/UsageDataInterface.h"
#include "Pelborne/WinHttpInterface.h"
#include "RegistryHive.h"
#include "RegistryStore.h"
#include "Sarnick/FileVersionInfoInterface.h"
#include "Sarnick/GeneralInterface.h"
#include "Sarnick/UsageDataInterface.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace {

const QString PelborneLibrary = QFileInfo(QStringLiteral(PELBORNE_LIBRARY)).canonicalFilePath();
const QString SarnickLibrary = QFileInfo(QStringLiteral(SARNICK_LIBRARY)).canonicalFilePath();

// An entry point of one of the linked libraries (both export the same names).
template <class Function>
Function entryPoint(const QString& library, const char* name)
{
    void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_NOLOAD);
    return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
}

QString classesRootDefault(const QString& key)
{
    const std::optional<RegistryValue> value = RegistryStore::forHive(HKEY_CLASSES_ROOT)->value(key, QString());
    return value ? QString::fromUtf8(value->data) : u"(missing)"_s;
}

TEST(ComponentCreation, EveryPublicClassIsCreatableByNameAndByClassId)
{
    struct Case
    {
        QString progId;
        Guid classId;
        Guid interfaceId;
    };
    const Case cases[] = {
        {u"Pelborne.UsageData"_s, Pelborne::ClassId::UsageData, Pelborne::_UsageData::InterfaceId},
        {u"Pelborne.General"_s, Pelborne::ClassId::General, Pelborne::_General::InterfaceId},
        {u"Pelborne.clsFileVersionInfo"_s, Pelborne::ClassId::clsFileVersionInfo,
         Pelborne::_clsFileVersionInfo::InterfaceId},
        {u"Pelborne.clsWinHTTP"_s, Pelborne::ClassId::clsWinHTTP, Pelborne::_clsWinHTTP::InterfaceId},
        {u"Sarnick.UsageData"_s, Sarnick::ClassId::UsageData, Sarnick::_UsageData::InterfaceId},
        {u"Sarnick.General"_s, Sarnick::ClassId::General, Sarnick::_General::InterfaceId},
        {u"Sarnick.clsFileVersionInfo"_s, Sarnick::ClassId::clsFileVersionInfo,
         Sarnick::_clsFileVersionInfo::InterfaceId},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progId.toStdString());
        EXPECT_EQ(ComRuntime::classIdFromProgId(c.progId), c.classId);
        ComError error;
        const std::shared_ptr<ComObject> byName = ComRuntime::createObject(c.progId, &error);
        ASSERT_TRUE(byName) << error.number;
        EXPECT_TRUE(byName->QueryInterface(c.interfaceId));
        const std::shared_ptr<ComObject> byId = ComRuntime::createInstance(c.classId, c.interfaceId, &error);
        ASSERT_TRUE(byId) << error.number;
        EXPECT_NE(byId, byName);
    }
    // Names are not case-sensitive, as in the classes root.
    EXPECT_TRUE(ComRuntime::createObject(u"sarnick.general"_s));
}

TEST(ComponentCreation, UnknownNamesAndClassesCannotBeCreated)
{
    for (const QString& name : {u"Sarnick.Nothing"_s, u"Sarnick.clsWinHTTP"_s, QString(), u"Logger.Log"_s}) {
        ComError error;
        EXPECT_FALSE(ComRuntime::createObject(name, &error)) << name.toStdString();
        EXPECT_EQ(error.number, 429);
        EXPECT_EQ(error.description, u"Can't create object"_s);
        EXPECT_EQ(error.source, name);
    }
    ComError error;
    EXPECT_FALSE(ComRuntime::createInstance(Guid::literal("{00000000-0000-0000-0000-00000000ABCD}"), Guid(), &error));
    EXPECT_EQ(error.number, 429);
}

TEST(ComponentCreation, AClassWithoutTheAskedInterfaceFailsWith430)
{
    ComError error;
    EXPECT_FALSE(ComRuntime::createInstanceAs<Sarnick::_UsageData>(Pelborne::ClassId::UsageData, &error));
    EXPECT_EQ(error.number, 430);

    // An object answers only for its own interfaces, and the earlier identity of Pelborne's.
    const std::shared_ptr<ComObject> pelborne = ComRuntime::createObject(u"Pelborne.UsageData"_s);
    ASSERT_TRUE(pelborne);
    EXPECT_FALSE(comQuery<Sarnick::_UsageData>(pelborne));
    EXPECT_FALSE(comQuery<Pelborne::_General>(pelborne));
    EXPECT_EQ(pelborne->QueryInterface(Pelborne::InterfaceId::UsageData___v0),
              pelborne->QueryInterface(Pelborne::InterfaceId::_UsageData));
    EXPECT_FALSE(pelborne->FindConnectionPoint(Sarnick::__UsageData::InterfaceId));
}

TEST(ComponentCreation, GeneralReportsEachComponentsOwnVersion)
{
    const auto pelborne = ComRuntime::createInstanceAs<Pelborne::_General>(Pelborne::ClassId::General);
    const auto sarnick = ComRuntime::createInstanceAs<Sarnick::_General>(Sarnick::ClassId::General);
    ASSERT_TRUE(pelborne);
    ASSERT_TRUE(sarnick);
    EXPECT_EQ(pelborne->szVersion(), u"1.0.2"_s);
    EXPECT_EQ(sarnick->szVersion(), u"1.0.8"_s);
}

TEST(ComponentCreation, FileVersionInfoReadsTheLibrariesOwnVersionBlocks)
{
    const auto pelborne =
        ComRuntime::createInstanceAs<Pelborne::_clsFileVersionInfo>(Pelborne::ClassId::clsFileVersionInfo);
    ASSERT_TRUE(pelborne);
    EXPECT_FALSE(pelborne->FileName(PelborneLibrary));
    EXPECT_EQ(pelborne->FileName(), PelborneLibrary);
    EXPECT_EQ(pelborne->FileVersion(), u"1.00.0002"_s);
    EXPECT_EQ(pelborne->ProductName(), u"Pelborne"_s);

    const auto sarnick =
        ComRuntime::createInstanceAs<Sarnick::_clsFileVersionInfo>(Sarnick::ClassId::clsFileVersionInfo);
    ASSERT_TRUE(sarnick);
    EXPECT_FALSE(sarnick->FileName(SarnickLibrary));
    EXPECT_EQ(sarnick->FileVersion(), u"1.00.0008"_s);
    EXPECT_EQ(sarnick->ProductName(), u"Sarnick"_s);

    // A file without version information comes back as the reader's error; the name stays.
    const ComErrorResult error = sarnick->FileName(u"/nonexistent/file.so"_s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->source, u"VersionInfo"_s);
    EXPECT_EQ(error->number, -2127660984);
    EXPECT_EQ(sarnick->FileName(), u"/nonexistent/file.so"_s);

    const auto usage = ComRuntime::createInstanceAs<Sarnick::_UsageData>(Sarnick::ClassId::UsageData);
    ASSERT_TRUE(usage);
    EXPECT_EQ(usage->FileVersion(PelborneLibrary), u"1.0.2"_s);
    EXPECT_EQ(usage->FileVersion(u"/nonexistent/file.so"_s), u"unknown"_s);
}

TEST(ComponentCreation, EachLibraryCountsItsLiveObjects)
{
    const auto pelborneCanUnload = entryPoint<DllCanUnloadNowFunction>(PelborneLibrary, "DllCanUnloadNow");
    const auto sarnickCanUnload = entryPoint<DllCanUnloadNowFunction>(SarnickLibrary, "DllCanUnloadNow");
    ASSERT_TRUE(pelborneCanUnload);
    ASSERT_TRUE(sarnickCanUnload);
    ASSERT_NE(reinterpret_cast<void*>(pelborneCanUnload), reinterpret_cast<void*>(sarnickCanUnload));
    EXPECT_EQ(pelborneCanUnload(), ComResult::Ok);

    std::shared_ptr<ComObject> first = ComRuntime::createObject(u"Pelborne.General"_s);
    std::shared_ptr<ComObject> second = ComRuntime::createObject(u"Pelborne.UsageData"_s);
    EXPECT_EQ(pelborneCanUnload(), ComResult::False);
    EXPECT_EQ(sarnickCanUnload(), ComResult::Ok);
    first.reset();
    EXPECT_EQ(pelborneCanUnload(), ComResult::False);
    // An interface shares its object's ownership.
    std::shared_ptr<Pelborne::_UsageData> usage = comQuery<Pelborne::_UsageData>(second);
    second.reset();
    EXPECT_EQ(pelborneCanUnload(), ComResult::False);
    usage.reset();
    EXPECT_EQ(pelborneCanUnload(), ComResult::Ok);
}

TEST(ComponentCreation, TheClassFactoryComesFromDllGetClassObject)
{
    const auto getClassObject = entryPoint<DllGetClassObjectFunction>(SarnickLibrary, "DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(&Pelborne::ClassId::General, &ComClassFactory::InterfaceId, &factory),
              ComResult::ClassNotAvailable);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(getClassObject(&Sarnick::ClassId::General, &Sarnick::_General::InterfaceId, &factory),
              ComResult::NoInterface);
    ASSERT_EQ(getClassObject(&Sarnick::ClassId::General, &ComClassFactory::InterfaceId, &factory), ComResult::Ok);

    std::shared_ptr<ComObject> object;
    auto* classFactory = static_cast<ComClassFactory*>(factory);
    EXPECT_EQ(classFactory->CreateInstance(Sarnick::_UsageData::InterfaceId, object), ComResult::NoInterface);
    EXPECT_FALSE(object);
    ASSERT_EQ(classFactory->CreateInstance(Sarnick::_General::InterfaceId, object), ComResult::Ok);
    EXPECT_EQ(comQuery<Sarnick::_General>(object)->szVersion(), u"1.0.8"_s);
}

TEST(ComponentCreation, RegistrationWritesAndRemovesTheClassEntries)
{
    const auto registerServer = entryPoint<DllRegisterServerFunction>(PelborneLibrary, "DllRegisterServer");
    const auto unregisterServer = entryPoint<DllUnregisterServerFunction>(PelborneLibrary, "DllUnregisterServer");
    ASSERT_TRUE(registerServer);
    ASSERT_TRUE(unregisterServer);
    ASSERT_EQ(registerServer(), ComResult::Ok);

    const QString clsid = Pelborne::ClassId::General.toString();
    EXPECT_EQ(clsid, u"{09FFE8CD-8D24-4C05-B7CA-B854232A2556}"_s);
    EXPECT_EQ(classesRootDefault(u"Pelborne.General\\CLSID"_s), clsid);
    EXPECT_EQ(classesRootDefault(u"CLSID\\"_s + clsid + u"\\InProcServer32"_s), PelborneLibrary);
    EXPECT_EQ(classesRootDefault(u"CLSID\\"_s + clsid + u"\\ProgID"_s), u"Pelborne.General"_s);
    EXPECT_EQ(classesRootDefault(u"CLSID\\"_s + clsid + u"\\TypeLib"_s), Pelborne::LibraryId.toString());
    EXPECT_EQ(classesRootDefault(u"TypeLib\\"_s + Pelborne::LibraryId.toString() + u"\\1.1"_s),
              u"Quolla Json volumeusage retrieval"_s);
    EXPECT_EQ(classesRootDefault(u"Pelborne.clsWinHTTP\\CLSID"_s), Pelborne::ClassId::clsWinHTTP.toString());
    // Sarnick's entries are its own registration's business.
    EXPECT_EQ(classesRootDefault(u"Sarnick.General\\CLSID"_s), u"(missing)"_s);

    ASSERT_EQ(unregisterServer(), ComResult::Ok);
    RegistryStore* classes = RegistryStore::forHive(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(classes->keyExists(u"Pelborne.General"_s));
    EXPECT_FALSE(classes->keyExists(u"CLSID\\"_s + clsid));
    EXPECT_FALSE(classes->keyExists(u"TypeLib\\"_s + Pelborne::LibraryId.toString()));
    // Unregistering what is gone already succeeds.
    EXPECT_EQ(unregisterServer(), ComResult::Ok);
    // The linked library serves its classes with or without registration.
    EXPECT_TRUE(ComRuntime::createObject(u"Pelborne.General"_s));
}

} // namespace
