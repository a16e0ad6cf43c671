// SPDX-License-Identifier: MIT
#include "RegistryContent.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace Qt::StringLiterals;

TEST(RegistryContent, SplitsKeyPathsAndRejectsEmptyComponents)
{
    EXPECT_EQ(RegistryContent::splitPath(QString()), QStringList());
    EXPECT_EQ(RegistryContent::splitPath(u"A\\B c\\D"_s), QStringList({u"A"_s, u"B c"_s, u"D"_s}));
    EXPECT_FALSE(RegistryContent::splitPath(u"\\A"_s));
    EXPECT_FALSE(RegistryContent::splitPath(u"A\\"_s));
    EXPECT_FALSE(RegistryContent::splitPath(u"A\\\\B"_s));
    EXPECT_FALSE(RegistryContent::splitPath(u"\\"_s));

    QString deepest = u"K"_s;
    for (qsizetype depth = 1; depth < RegistryContent::MaxDepth; ++depth)
        deepest += u"\\K"_s;
    EXPECT_EQ(RegistryContent::splitPath(deepest)->size(), RegistryContent::MaxDepth);
    EXPECT_FALSE(RegistryContent::splitPath(deepest + u"\\K"_s));
}

TEST(RegistryContent, NamesMatchWithoutRegardToCaseButKeepTheirFirstSpelling)
{
    RegistryContent content;
    content.setValue({u"Software"_s, u"Ωμέγα"_s}, u"Größe"_s, RegistryValue::dword(1));
    content.setValue({u"SOFTWARE"_s, u"ΩΜΈΓΑ"_s}, u"GRÖßE"_s, RegistryValue::dword(2));

    // Letters beyond ASCII fold too.
    const RegistryValue* value = content.value({u"software"_s, u"ωμέγα"_s}, u"größe"_s);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, RegistryValue::dword(2));
    ASSERT_EQ(content.keys().size(), 3);
    const RegistryContent::Key& key = content.keys().last();
    EXPECT_EQ(key.path, QStringList({u"Software"_s, u"Ωμέγα"_s}));
    ASSERT_EQ(key.values.size(), 1);
    EXPECT_EQ(key.values.first().first, u"Größe"_s);
}

TEST(RegistryContent, NewKeysTakeTheSpellingOfExistingParents)
{
    RegistryContent content;
    content.createKey({u"Software"_s, u"Vendor"_s});
    content.createKey({u"SOFTWARE"_s, u"vendor"_s, u"New"_s});
    EXPECT_EQ(content.keys().last().path, QStringList({u"Software"_s, u"Vendor"_s, u"New"_s}));
}

TEST(RegistryContent, KeysExistInTheirOwnRight)
{
    RegistryContent content;
    EXPECT_TRUE(content.hasKey({}));
    content.createKey({u"A"_s, u"B"_s, u"C"_s});
    EXPECT_TRUE(content.hasKey({u"A"_s}));
    EXPECT_TRUE(content.hasKey({u"a"_s, u"b"_s}));
    EXPECT_FALSE(content.hasKey({u"B"_s}));

    EXPECT_EQ(content.deleteKey({u"A"_s, u"B"_s}), ENOTEMPTY);
    EXPECT_EQ(content.deleteKey({u"A"_s, u"B"_s, u"C"_s}), 0);
    EXPECT_TRUE(content.hasKey({u"A"_s, u"B"_s}));
    EXPECT_FALSE(content.hasKey({u"A"_s, u"B"_s, u"C"_s}));
    EXPECT_EQ(content.deleteKey({u"A"_s, u"B"_s, u"C"_s}), ENOENT);
    EXPECT_EQ(content.deleteKey({}), EPERM);
}

TEST(RegistryContent, SubkeysAreTellingComponentsApart)
{
    RegistryContent content;
    content.createKey({u"AB"_s});
    content.createKey({u"A B"_s, u"C"_s});
    content.createKey({u"A"_s});
    // "AB" and "A B\C" sort near "A" but are no subkeys of it.
    EXPECT_FALSE(content.hasSubkeys({u"A"_s}));
    EXPECT_EQ(content.deleteKey({u"A"_s}), 0);
    EXPECT_TRUE(content.hasSubkeys({u"A B"_s}));
    EXPECT_TRUE(content.hasSubkeys({}));

    // A component that holds a backslash or a percent sign is one level of its own.
    content.createKey({u"X\\Y"_s});
    content.createKey({u"X%5CY"_s});
    EXPECT_FALSE(content.hasKey({u"X"_s}));
    EXPECT_FALSE(content.hasKey({u"X"_s, u"Y"_s}));
    content.createKey({u"X"_s});
    EXPECT_FALSE(content.hasSubkeys({u"X"_s}));
    content.createKey({u"x"_s, u"y"_s});
    EXPECT_TRUE(content.hasSubkeys({u"X"_s}));
    EXPECT_EQ(content.deleteKey({u"x\\y"_s}), 0);
    EXPECT_TRUE(content.hasKey({u"X"_s, u"Y"_s}));
    EXPECT_TRUE(content.hasKey({u"X%5cY"_s}));
}

TEST(RegistryContent, ValuesAreRemovedOnlyWhereTheyExist)
{
    RegistryContent content;
    content.setValue({u"K"_s}, QString(), RegistryValue::text(u"default"_s));
    EXPECT_FALSE(content.removeValue({u"K"_s}, u"other"_s));
    EXPECT_FALSE(content.removeValue({u"Missing"_s}, QString()));
    EXPECT_TRUE(content.removeValue({u"k"_s}, QString()));
    EXPECT_EQ(content.value({u"K"_s}, QString()), nullptr);
    EXPECT_TRUE(content.hasKey({u"K"_s}));
}
