// SPDX-License-Identifier: MIT
#include "frmVersionCheck.h"
#include "CoreTestContext.h"
#include "DialogTextsWhole.h"
#include "ProviderLinks.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class frmVersionCheckTest : public ::testing::Test
{
protected:
    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    QStringList opened;
    ProviderLinks links{ctx.app, ctx.settings, ctx.run, ctx.registry, ctx.log, ctx.window, [this](const QString& t) {
                            opened.append(t);
                            return true;
                        }};
    frmVersionCheck dialog{ctx.app, links};
};
} // namespace

TEST_F(frmVersionCheckTest, LoadsWithCaptionAndFixedTextsAndEmptyVersions)
{
    EXPECT_EQ(dialog.windowTitle(), u"Tallyroo :: new version available"_s);
    EXPECT_TRUE(dialog.lblOldVer->text().isEmpty());
    EXPECT_TRUE(dialog.lblNewVer->text().isEmpty());
    EXPECT_EQ(dialog.Label1->text(), u"Current version:"_s);
    EXPECT_EQ(dialog.Label2->text(), u"Latest version:"_s);
    EXPECT_EQ(dialog.Label3->text(), u"A newer version of Tallyroo is available."_s);
    EXPECT_EQ(dialog.Label4->text(), u"New features:"_s);
    EXPECT_EQ(dialog.cmdWebsite->text(), u"Website"_s);
    EXPECT_EQ(dialog.cmdOK->text(), u"OK"_s);
    EXPECT_EQ(dialog.findChild<QPushButton*>(u"cmdWebsite"_s), dialog.cmdWebsite);
    EXPECT_EQ(dialog.findChild<QLabel*>(u"lblDescr"_s), dialog.lblDescr);
    expectTextsDrawnWhole(dialog);
    EXPECT_EQ(dialog.cmdWebsite->nextInFocusChain(), dialog.cmdOK);
}

TEST_F(frmVersionCheckTest, ShowsBothVersionsNotesAndOpensTheKeptPage)
{
    dialog.ShowVersionInfo(u"1.40.0"_s, u"Faster refresh\r\nNew graph"_s, u"https://site.example/p?src=Tallyroo"_s);
    EXPECT_EQ(dialog.lblOldVer->text(), u"1.3.2"_s);
    EXPECT_EQ(dialog.lblNewVer->text(), u"1.40.0"_s);
    EXPECT_EQ(dialog.lblDescr->text(), u"Faster refresh\r\nNew graph"_s);

    dialog.cmdWebsite->click();
    EXPECT_EQ(opened, QStringList{u"https://site.example/p?src=Tallyroo"_s});

    dialog.show();
    dialog.cmdOK->click();
    EXPECT_FALSE(dialog.isVisible());
}
