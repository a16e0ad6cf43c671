// SPDX-License-Identifier: MIT
#include "AutoStartEntry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(AutoStartEntryTest, CommandQuotesTheProgramAndReservedCharacters)
{
    EXPECT_EQ(AutoStartEntry::execLine(u"/opt/tally/tallymeter"_s, {u"/T"_s, u"/NOOLD"_s}),
              u"\"/opt/tally/tallymeter\" /T /NOOLD"_s);
    EXPECT_EQ(AutoStartEntry::execLine(u"/home/a b/tally$1"_s, {}), u"\"/home/a b/tally\\$1\""_s);
    EXPECT_EQ(AutoStartEntry::execLine(u"/p"_s, {u"say \"hi\""_s, u"50%"_s, QString()}),
              u"\"/p\" \"say \\\"hi\\\"\" 50%% \"\""_s);
}

TEST(AutoStartEntryTest, BackslashesAndLineBreaksCannotBreakTheFile)
{
    const QString text = AutoStartEntry::contents(u"Tallyroo"_s, u"/p"_s, {u"a\\b"_s, u"x\ny"_s});
    // Quoted (\\) and then escaped as a string value (\\\\); the line break stays inside the value.
    EXPECT_TRUE(text.contains(u"Exec=\"/p\" \"a\\\\\\\\b\" \"x\\ny\"\n"_s)) << text.toStdString();
    EXPECT_EQ(text.count(u'\n'), 7);
    EXPECT_TRUE(text.startsWith(u"[Desktop Entry]\nType=Application\nName=Tallyroo\n"_s));
}

TEST(AutoStartEntryTest, TryExecNamesTheProgramItselfUnquoted)
{
    // The desktop skips the entry once the program is gone; the key takes the path as a plain
    // string value: no quoting, no field codes, only the general escapes.
    const struct
    {
        QString program;
        QString tryExec;
    } cases[] = {{u"/usr/bin/tallymeter"_s, u"/usr/bin/tallymeter"_s},
                 {u"/home/a b/tally$1 50%"_s, u"/home/a b/tally$1 50%"_s},
                 {u"/opt/x\\y/t"_s, u"/opt/x\\\\y/t"_s},
                 {u"/opt/x\ny"_s, u"/opt/x\\ny"_s}};
    for (const auto& [program, tryExec] : cases) {
        const QString text = AutoStartEntry::contents(u"Tallyroo"_s, program, {u"/T"_s});
        EXPECT_TRUE(text.contains(u"\nTryExec="_s + tryExec + u"\nExec="_s)) << text.toStdString();
        EXPECT_EQ(text.count(u'\n'), 7) << text.toStdString();
    }
}

TEST(AutoStartEntryTest, WritesUnderTheConfigHomeAndRemoves)
{
    const AutoStartEntry entry(u"tallymeter-test"_s, u"Tallyroo"_s);
    EXPECT_EQ(entry.path(), qEnvironmentVariable("XDG_CONFIG_HOME") + u"/autostart/tallymeter-test.desktop"_s);
    EXPECT_FALSE(entry.exists());
    ASSERT_TRUE(entry.write(u"/opt/tally/tallymeter"_s, {u"/T"_s}));
    EXPECT_TRUE(entry.exists());
    QFile file(entry.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(u"\nExec=\"/opt/tally/tallymeter\" /T\n"_s));
    EXPECT_TRUE(entry.remove());
    EXPECT_FALSE(entry.exists());
    EXPECT_FALSE(entry.remove());
}
