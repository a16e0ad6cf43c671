// SPDX-License-Identifier: MIT
// This program does not link the component libraries: it finds them only through their
// registration, as a program would that creates the components by name alone.
#include "ComClassTable.h"
#include "ComRegistration.h"
#include "ComRuntime.h"
#include "Pelborne/GeneralInterface.h"
#include "Pelborne/UsageDataInterface.h"
#include "Sarnick/GeneralInterface.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace {

const QString PelborneLibrary = QFileInfo(QStringLiteral(PELBORNE_LIBRARY)).canonicalFilePath();
const QString SarnickLibrary = QFileInfo(QStringLiteral(SARNICK_LIBRARY)).canonicalFilePath();

bool isLoaded(const QString& library)
{
    void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

// A library once loaded stays loaded for the process's life, so a test that watches one being
// loaded runs its body in a new process of its own: the test program run again for that test alone.
template <class Body>
void inNewProcess(Body body)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            body();
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ComponentLoading, CreationByNameLoadsTheRegisteredLibrary)
{
    inNewProcess([] {
        ASSERT_FALSE(isLoaded(SarnickLibrary));
        ComError error;
        EXPECT_FALSE(ComRuntime::createObject(u"Sarnick.General"_s, &error));
        EXPECT_EQ(error.number, 429);

        ASSERT_TRUE(ComRegistration::registerClass(u"Sarnick.General"_s, Sarnick::ClassId::General, Sarnick::LibraryId,
                                                   SarnickLibrary));
        const auto general = comQuery<Sarnick::_General>(ComRuntime::createObject(u"Sarnick.General"_s, &error));
        ASSERT_TRUE(general) << error.number;
        EXPECT_EQ(general->szVersion(), u"1.0.8"_s);
        EXPECT_TRUE(isLoaded(SarnickLibrary));
        EXPECT_FALSE(isLoaded(PelborneLibrary));
        // Once loaded, the library serves its whole class table.
        EXPECT_TRUE(ComRuntime::createObject(u"Sarnick.UsageData"_s));
    });
}

TEST(ComponentLoading, CreationByClassIdLoadsTheRegisteredLibrary)
{
    inNewProcess([] {
        ASSERT_FALSE(isLoaded(PelborneLibrary));
        ComError error;
        EXPECT_FALSE(ComRuntime::createInstance(Pelborne::ClassId::General, Guid(), &error));
        EXPECT_EQ(error.number, 429);
        ASSERT_TRUE(ComRegistration::registerClass(u"Pelborne.General"_s, Pelborne::ClassId::General,
                                                   Pelborne::LibraryId, PelborneLibrary));
        const auto general = ComRuntime::createInstanceAs<Pelborne::_General>(Pelborne::ClassId::General, &error);
        ASSERT_TRUE(general) << error.number;
        EXPECT_EQ(general->szVersion(), u"1.0.2"_s);
        EXPECT_TRUE(isLoaded(PelborneLibrary));
    });
}

TEST(ComponentLoading, SelfRegistrationRecordsTheLibrarysOwnFile)
{
    inNewProcess([] {
        void* library = dlopen(QFile::encodeName(PelborneLibrary).constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(library) << dlerror();
        const auto registerServer = reinterpret_cast<DllRegisterServerFunction>(dlsym(library, "DllRegisterServer"));
        ASSERT_TRUE(registerServer);
        ASSERT_EQ(registerServer(), ComResult::Ok);
        EXPECT_EQ(ComRegistration::classIdOf(u"Pelborne.UsageData"_s), Pelborne::ClassId::UsageData);
        EXPECT_EQ(ComRegistration::libraryPathOf(Pelborne::ClassId::UsageData), PelborneLibrary);
        // Only the entry points are exported, not the code built into the library.
        EXPECT_FALSE(dlsym(library, "_ZN15UsageDataCommon10putProfileEs"));
        EXPECT_FALSE(dlsym(library, "_Z13CleanUsernameRK7QString"));
        EXPECT_TRUE(dlsym(library, "DllCanUnloadNow"));
    });
}

TEST(ComponentLoading, ARegisteredFileThatIsMissingCannotBeCreated)
{
    const Guid classId = Guid::literal("{5B0C8D4E-0000-4000-8000-000000000001}");
    ASSERT_TRUE(ComRegistration::registerClass(u"Gone.Thing"_s, classId, Guid(), u"/nonexistent/libgone.so"_s));
    ComError error;
    EXPECT_FALSE(ComRuntime::createObject(u"Gone.Thing"_s, &error));
    EXPECT_EQ(error.number, 429);
    EXPECT_EQ(error.source, u"Gone.Thing"_s);

    // A library that does not serve the registered class refuses it.
    ASSERT_TRUE(ComRegistration::registerClass(u"Wrong.Thing"_s, classId, Guid(), SarnickLibrary));
    EXPECT_FALSE(ComRuntime::createObject(u"Wrong.Thing"_s, &error));
    EXPECT_EQ(error.number, 429);
}

} // namespace
