// SPDX-License-Identifier: MIT
#include "RegistryStore.h"
#include "RegistryContent.h"
#include "RegistryHive.h"
#include "StandardLocations.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
const QString Config = u"Software\\Tallymeter\\Config"_s;

using TestEnvironment::readFile;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Replaces the file by rename, the way another process's writer does.
void replaceFile(const QString& path, const QByteArray& bytes)
{
    writeFile(path + u".other"_s, bytes);
    ASSERT_EQ(::rename(QFile::encodeName(path + u".other"_s).constData(), QFile::encodeName(path).constData()), 0);
}

mode_t modeOf(const QString& path)
{
    struct stat info
    {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class RegistryStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = TestEnvironment::freshFolder(u"registry"_s) + u"/tallymeter"_s;
        m_path = m_folder + u"/registry.reg"_s;
    }

    std::unique_ptr<RegistryStore> newStore() const
    {
        const QString path = m_path;
        return std::make_unique<RegistryStore>([path] { return path; });
    }

    QString m_folder;
    QString m_path;
};
} // namespace

TEST_F(RegistryStoreTest, ValuesKeepTheirTypesAcrossProcessesOfTheFile)
{
    auto writer = newStore();
    ASSERT_TRUE(writer->setValue(Config, u"Path"_s, RegistryValue::text(u"/data"_s)).ok());
    ASSERT_TRUE(writer->setValue(Config, u"debug"_s, RegistryValue::dword(0xFFFFFFF6u)).ok());
    ASSERT_TRUE(writer->setValue(Config, u"raw"_s, {REG_BINARY, QByteArray("\0\1", 2)}).ok());

    auto reader = newStore();
    EXPECT_EQ(reader->value(Config, u"PATH"_s), RegistryValue::text(u"/data"_s));
    EXPECT_EQ(reader->value(Config, u"debug"_s), RegistryValue::dword(0xFFFFFFF6u));
    EXPECT_EQ(reader->value(Config, u"raw"_s), (RegistryValue{REG_BINARY, QByteArray("\0\1", 2)}));
    EXPECT_FALSE(reader->value(Config, u"missing"_s));
    EXPECT_TRUE(reader->keyExists(u"software\\TALLYMETER"_s));
    EXPECT_TRUE(readFile(m_path).contains("\"debug\"=dword:fffffff6\n"));
}

TEST_F(RegistryStoreTest, CreatesAnOwnerOnlyFolderAndFile)
{
    const mode_t saved = ::umask(0);
    auto store = newStore();
    const RegistryStore::Result result = store->setValue(Config, u"password"_s, RegistryValue::text(u"x"_s));
    ::umask(saved);
    ASSERT_TRUE(result.ok()) << result.code;
    EXPECT_EQ(modeOf(m_folder), 0700u);
    EXPECT_EQ(modeOf(m_path), 0600u);
    EXPECT_EQ(modeOf(m_path + u".lock"_s), 0600u);
    EXPECT_EQ(filesIn(m_folder), QStringList({u"registry.reg"_s, u"registry.reg.lock"_s}));
}

TEST_F(RegistryStoreTest, StoringAnUnchangedValueLeavesTheFileAlone)
{
    auto store = newStore();
    ASSERT_TRUE(store->setValue(Config, u"alice"_s, RegistryValue::text(u"2026-12-09 05:00:00"_s)).ok());
    struct stat before
    {};
    ASSERT_EQ(::stat(QFile::encodeName(m_path).constData(), &before), 0);

    ASSERT_TRUE(store->setValue(Config, u"ALICE"_s, RegistryValue::text(u"2026-12-09 05:00:00"_s)).ok());
    struct stat same
    {};
    ASSERT_EQ(::stat(QFile::encodeName(m_path).constData(), &same), 0);
    EXPECT_EQ(same.st_ino, before.st_ino) << "an identical value must not replace the file";

    ASSERT_TRUE(store->setValue(Config, u"alice"_s, RegistryValue::text(u"2026-12-09 06:00:00"_s)).ok());
    struct stat changed
    {};
    ASSERT_EQ(::stat(QFile::encodeName(m_path).constData(), &changed), 0);
    EXPECT_NE(changed.st_ino, before.st_ino);
    EXPECT_EQ(newStore()->value(Config, u"alice"_s), RegistryValue::text(u"2026-12-09 06:00:00"_s));
}

TEST_F(RegistryStoreTest, ReadsSeeChangesMadeBehindTheStoresBack)
{
    auto store = newStore();
    ASSERT_TRUE(store->setValue(Config, u"n"_s, RegistryValue::dword(1)).ok());
    ASSERT_EQ(store->value(Config, u"n"_s), RegistryValue::dword(1));

    auto other = newStore();
    ASSERT_TRUE(other->setValue(Config, u"n"_s, RegistryValue::dword(2)).ok());
    EXPECT_EQ(store->value(Config, u"n"_s), RegistryValue::dword(2));

    replaceFile(m_path, "[Elsewhere]\n\"n\"=dword:3\n");
    EXPECT_FALSE(store->keyExists(Config));
    EXPECT_EQ(store->value(u"Elsewhere"_s, u"n"_s), RegistryValue::dword(3));

    // An editor that saves in place keeps the inode: the size still tells.
    writeFile(m_path, "[Elsewhere]\n\"n\"=dword:00000004\n");
    EXPECT_EQ(store->value(u"Elsewhere"_s, u"n"_s), RegistryValue::dword(4));

    ASSERT_TRUE(QFile::remove(m_path));
    EXPECT_FALSE(store->keyExists(u"Elsewhere"_s));
}

TEST_F(RegistryStoreTest, DeletionsReportWhatWasNotThere)
{
    auto store = newStore();
    ASSERT_TRUE(store->setValue(u"A\\B\\C"_s, u"v"_s, RegistryValue::dword(1)).ok());
    EXPECT_EQ(store->deleteKey(u"A\\B"_s).code, ENOTEMPTY);
    EXPECT_EQ(store->deleteKey(u"A\\X"_s).code, ENOENT);
    EXPECT_EQ(store->deleteValue(u"A\\B"_s, u"v"_s).code, ENOENT);
    EXPECT_EQ(store->deleteValue(u"A\\X"_s, u"v"_s).code, ENOENT);
    EXPECT_EQ(store->setValue(u"A\\\\B"_s, u"v"_s, RegistryValue::dword(1)).code, EINVAL);
    EXPECT_FALSE(store->keyExists(u"A\\\\B"_s));

    EXPECT_TRUE(store->deleteValue(u"a\\b\\c"_s, u"V"_s).ok());
    EXPECT_TRUE(store->deleteKey(u"A\\B\\C"_s).ok());
    auto reader = newStore();
    EXPECT_TRUE(reader->keyExists(u"A\\B"_s));
    EXPECT_FALSE(reader->keyExists(u"A\\B\\C"_s));
}

TEST_F(RegistryStoreTest, AFileThatGoesBadIsLeftAloneAndToldOnceUntilItReadsAgain)
{
    ASSERT_TRUE(QDir().mkpath(m_folder));
    const QByteArray good = "[Software\\Tallymeter\\Config]\n\"debug\"=dword:0000000a\n\"Username\"=\"alice\"\n";
    writeFile(m_path, good);
    auto store = newStore();
    ASSERT_EQ(store->value(Config, u"debug"_s), RegistryValue::dword(10));
    EXPECT_FALSE(store->unreadableToTell());
    // The lock file is every change's, refused or not.
    ASSERT_TRUE(store->setValue(Config, u"Username"_s, RegistryValue::text(u"alice"_s)).ok());

    QByteArray deep = "[Software";
    for (int depth = 1; depth < 1000; ++depth)
        deep += "\\k";
    const struct
    {
        const char* name;
        QByteArray text;
        QString reason;
        int code;
    } damages[] = {
        {"a number without its type", "[Software\\Tallymeter\\Config]\n\"debug\"=10\n", u"line 2: malformed value"_s,
         RegistryStore::UnreadableFile},
        {"a value outside any key", "\"debug\"=dword:0000000a\n", u"line 1: value outside a key"_s,
         RegistryStore::UnreadableFile},
        {"a key nested too deeply", deep + "]\n", u"line 1: key nested too deeply"_s, RegistryStore::UnreadableFile},
        {"an unfinished text", "[A]\n\"name\"=\"open\n", u"line 2: malformed value"_s, RegistryStore::UnreadableFile},
        {"a folder in the file's place", {}, u"Is a directory"_s, EISDIR},
    };
    int mended = 0;
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        const bool folder = damage.code == EISDIR;
        if (folder) {
            ASSERT_TRUE(QFile::remove(m_path));
            ASSERT_TRUE(QDir().mkdir(m_path));
        } else {
            writeFile(m_path, damage.text); // edited in place, as a text editor may
        }
        const QStringList files = filesIn(m_folder);

        // Readers keep what they last read, and the damage is handed out once.
        EXPECT_EQ(store->value(Config, u"debug"_s), RegistryValue::dword(10 + mended));
        EXPECT_EQ(store->value(Config, u"Username"_s), RegistryValue::text(u"alice"_s));
        const std::optional<RegistryStore::Unreadable> told = store->unreadableToTell();
        ASSERT_TRUE(told);
        EXPECT_EQ(told->file, m_path);
        EXPECT_EQ(told->reason, damage.reason);
        EXPECT_TRUE(told->keptAs.isEmpty());
        EXPECT_FALSE(store->unreadableToTell());

        // Every change is refused with the file's name and why, and the file stays as it is.
        for (const RegistryStore::Result& refused :
             {store->setValue(Config, u"Path"_s, RegistryValue::text(u"/new"_s)),
              store->deleteValue(Config, u"debug"_s), store->deleteKey(Config)}) {
            EXPECT_EQ(refused.code, damage.code);
            EXPECT_EQ(refused.message, m_path + u" cannot be read ("_s + damage.reason +
                                           u"); changes are not saved until it is mended."_s);
        }
        // Storing what was last read changes nothing, so nothing is refused.
        EXPECT_TRUE(store->setValue(Config, u"Username"_s, RegistryValue::text(u"alice"_s)).ok());
        if (!folder) {
            EXPECT_EQ(readFile(m_path), damage.text);
        }
        EXPECT_EQ(filesIn(m_folder), files);
        EXPECT_EQ(store->value(Config, u"debug"_s), RegistryValue::dword(10 + mended));
        ASSERT_TRUE(store->unreadable());
        EXPECT_EQ(store->unreadable()->file, m_path);
        EXPECT_FALSE(store->unreadableToTell());
        // A store that never read the file well has nothing to keep.
        EXPECT_FALSE(newStore()->value(Config, u"Username"_s));

        // Another slip before it is mended is the same damage.
        if (!folder) {
            replaceFile(m_path, "garbage");
            EXPECT_EQ(store->value(Config, u"debug"_s), RegistryValue::dword(10 + mended));
            EXPECT_FALSE(store->unreadableToTell());
        }

        // Mended, the file is read and written again, and the next damage is told again.
        ++mended;
        if (folder) {
            ASSERT_TRUE(QDir().rmdir(m_path));
        }
        QByteArray fixed = good;
        fixed.replace("dword:0000000a", QByteArray("dword:0000000").append(QByteArray::number(10 + mended, 16)));
        replaceFile(m_path, fixed);
        EXPECT_EQ(store->value(Config, u"debug"_s), RegistryValue::dword(10 + mended));
        EXPECT_FALSE(store->unreadable());
        EXPECT_FALSE(store->unreadableToTell());
        EXPECT_TRUE(store->setValue(Config, u"Path"_s, RegistryValue::text(u"/mended"_s)).ok());
        EXPECT_EQ(newStore()->value(Config, u"Path"_s), RegistryValue::text(u"/mended"_s));
        ASSERT_TRUE(store->deleteValue(Config, u"Path"_s).ok());
    }
}

TEST_F(RegistryStoreTest, AFileBadAtTheStartIsKeptAsideForAFreshOne)
{
    ASSERT_TRUE(QDir().mkpath(m_folder));
    const QByteArray garbled = "[Software\\Tallymeter\\Config]\n\"debug\"=dword:zz\n";
    writeFile(m_path, garbled);
    auto store = newStore();
    EXPECT_FALSE(store->value(Config, u"debug"_s));

    const std::optional<RegistryStore::Unreadable> kept = store->setAsideUnreadable();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->file, m_path);
    EXPECT_EQ(kept->reason, u"line 2: malformed value"_s);
    EXPECT_TRUE(kept->keptAs.startsWith(m_path + u".unreadable-"_s)) << kept->keptAs.toStdString();
    EXPECT_EQ(readFile(kept->keptAs), garbled);
    // The caller tells of it; the store does not hand it out again.
    EXPECT_FALSE(store->unreadableToTell());
    EXPECT_FALSE(store->unreadable());
    EXPECT_FALSE(QFile::exists(m_path));
    EXPECT_FALSE(store->setAsideUnreadable());

    ASSERT_TRUE(store->setValue(Config, u"Path"_s, RegistryValue::text(u"/new"_s)).ok());
    EXPECT_EQ(newStore()->value(Config, u"Path"_s), RegistryValue::text(u"/new"_s));
    EXPECT_EQ(readFile(kept->keptAs), garbled);
    EXPECT_FALSE(store->setAsideUnreadable());
}

TEST_F(RegistryStoreTest, AHandEditedKeyWithABackslashSurvivesEverySave)
{
    ASSERT_TRUE(QDir().mkpath(m_folder));
    writeFile(m_path,
              "[Software\\Odd%5C]\n\"note\"=\"kept\"\n[Software\\Tallymeter\\Config]\n\"Username\"=\"alice\"\n");
    auto store = newStore();
    ASSERT_EQ(store->value(Config, u"Username"_s), RegistryValue::text(u"alice"_s));
    for (int save = 0; save < 2; ++save) {
        const RegistryStore::Result result =
            store->setValue(Config, u"LastRefresh"_s, RegistryValue::text(QString::number(save)));
        ASSERT_TRUE(result.ok()) << result.message.toStdString();
        auto reader = newStore();
        EXPECT_EQ(reader->value(Config, u"Username"_s), RegistryValue::text(u"alice"_s));
        EXPECT_FALSE(reader->keyExists(u"Software\\Odd"_s));
    }
    EXPECT_TRUE(readFile(m_path).contains("[Software\\Odd%5c]\n\"note\"=\"kept\"\n"));
}

TEST_F(RegistryStoreTest, KeysTooDeepAreRefused)
{
    QString deep = u"Software"_s;
    for (qsizetype depth = 1; depth <= RegistryContent::MaxDepth; ++depth)
        deep += u"\\k"_s;
    auto store = newStore();
    EXPECT_EQ(store->setValue(deep, u"v"_s, RegistryValue::dword(1)).code, EINVAL);
    EXPECT_FALSE(store->keyExists(deep));
    EXPECT_FALSE(QFile::exists(m_path));
}

TEST_F(RegistryStoreTest, AFailedWriteReportsTheSystemError)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(m_folder).absolutePath()));
    writeFile(m_folder, "a file where the folder should be");
    auto store = newStore();
    EXPECT_EQ(store->setValue(Config, u"n"_s, RegistryValue::dword(1)).code, ENOTDIR);
    EXPECT_FALSE(store->value(Config, u"n"_s));
}

TEST(RegistryStoreHives, TheCurrentUsersFileFollowsTheConfigFolderAtEachCall)
{
    RegistryStore& store = RegistryStore::currentUser();
    EXPECT_EQ(store.filePath(), StandardLocations::configHome() + u"/tallymeter/registry.reg"_s);

    const QString otherConfig = TestEnvironment::freshFolder(u"otherconfig"_s);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(otherConfig).constData(), 1);
    EXPECT_EQ(store.filePath(), otherConfig + u"/tallymeter/registry.reg"_s);
    ::setenv("XDG_CONFIG_HOME", saved.constData(), 1);

    const QString elsewhere = TestEnvironment::freshFolder(u"elsewhere"_s) + u"/test.reg"_s;
    RegistryStore::setCurrentUserPath(elsewhere);
    EXPECT_EQ(store.filePath(), elsewhere);
    RegistryStore::setCurrentUserPath({});
    EXPECT_EQ(store.filePath(), RegistryStore::defaultCurrentUserPath());
}

TEST(RegistryStoreHives, TheLocalMachineCannotBeWritten)
{
    EXPECT_EQ(RegistryStore::forHive(HKEY_CURRENT_USER), &RegistryStore::currentUser());
    RegistryStore* classes = RegistryStore::forHive(HKEY_CLASSES_ROOT);
    RegistryStore* machine = RegistryStore::forHive(HKEY_LOCAL_MACHINE);
    ASSERT_NE(classes, nullptr);
    ASSERT_NE(machine, nullptr);
    EXPECT_NE(classes, machine);
    EXPECT_NE(classes, &RegistryStore::currentUser());
    EXPECT_EQ(RegistryStore::forHive(0x80000003u), nullptr);
    EXPECT_EQ(RegistryStore::forHive(0), nullptr);

    EXPECT_EQ(machine->setValue(u"Software"_s, u"n"_s, RegistryValue::dword(1)).code, EACCES);
    EXPECT_FALSE(machine->keyExists(u"Software"_s));
    EXPECT_FALSE(machine->value(u"Software"_s, u"n"_s));
}

TEST(RegistryStoreHives, TheClassesRootKeepsAFileOfItsOwn)
{
    RegistryStore* classes = RegistryStore::forHive(HKEY_CLASSES_ROOT);
    ASSERT_NE(classes, nullptr);
    EXPECT_EQ(classes->filePath(), StandardLocations::configHome() + u"/tallymeter/classes.reg"_s);
    ASSERT_TRUE(classes->setValue(u"Pelborne.General\\CLSID"_s, QString(), RegistryValue::text(u"{X}"_s)).ok());
    EXPECT_EQ(classes->value(u"Pelborne.General\\CLSID"_s, QString()), RegistryValue::text(u"{X}"_s));
    EXPECT_TRUE(readFile(classes->filePath()).contains("[Pelborne.General\\CLSID]"));
    EXPECT_FALSE(RegistryStore::currentUser().keyExists(u"Pelborne.General"_s));
}
