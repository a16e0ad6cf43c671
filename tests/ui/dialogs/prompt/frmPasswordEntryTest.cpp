// SPDX-License-Identifier: MIT
#include "frmPasswordEntry.h"
#include "CoreTestContext.h"
#include "DialogTextsWhole.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class PasswordEntryTest : public ::testing::Test
{
protected:
    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    frmPasswordEntry dialog{ctx.app, ctx.settings, ctx.log, nullptr};

    QByteArray registryFile() const
    {
        QFile file(ctx.folder + u"/registry.reg"_s);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
} // namespace

TEST_F(PasswordEntryTest, ShowsThePromptWithMaskedEntry)
{
    EXPECT_EQ(dialog.windowTitle(), u"Tallymeter Password Entry"_s);
    EXPECT_EQ(dialog.findChild<QLabel*>(u"Label1"_s)->text(),
              u"You have selected to not save your password, please enter your password now."_s);
    EXPECT_EQ(dialog.findChild<QLabel*>(u"Label2"_s)->text(), u"password:"_s);
    EXPECT_FALSE(dialog.findChild<QLabel*>(u"Image1"_s)->pixmap().isNull());
    EXPECT_EQ(dialog.txtPassword()->objectName(), u"txtPassword"_s);
    EXPECT_EQ(dialog.txtPassword()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(
        dialog.txtPassword()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, dialog.txtPassword()),
        u'*');
    EXPECT_TRUE(dialog.btnOK()->isDefault());
    EXPECT_FALSE(dialog.btnCancel()->isDefault());
    EXPECT_EQ(dialog.btnOK()->text(), u"OK"_s);
    EXPECT_EQ(dialog.btnCancel()->text(), u"Cancel"_s);
    expectTextsDrawnWhole(dialog);
}

TEST_F(PasswordEntryTest, OkKeepsTheTypedPasswordInMemoryOnly)
{
    const QByteArray before = registryFile();
    dialog.txtPassword()->setText(u"s3cr&t pass"_s);
    dialog.btnOK_Click();

    EXPECT_EQ(ctx.settings.Password, u"s3cr&t pass"_s);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(registryFile(), before);
    EXPECT_FALSE(registryFile().contains("s3cr"));
    EXPECT_FALSE(ctx.text(ctx.app.configKey(), u"Password"_s).has_value());
}

TEST_F(PasswordEntryTest, OkWithAnEmptyBoxLeavesNoPassword)
{
    // An empty box is taken as typed, which the refresh reads as "no password".
    ctx.settings.Password = u"stale"_s;
    dialog.btnOK_Click();
    EXPECT_TRUE(ctx.settings.Password.isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PasswordEntryTest, CancelEscapeAndCloseBoxLeaveThePasswordAlone)
{
    dialog.txtPassword()->setText(u"typed"_s);
    dialog.btnCancel_Click();
    EXPECT_TRUE(ctx.settings.Password.isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    ctx.settings.Password = u"kept"_s;
    dialog.show();
    dialog.btnCancel()->click();
    EXPECT_EQ(ctx.settings.Password, u"kept"_s);
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    QTest::keyClick(dialog.txtPassword(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(ctx.settings.Password, u"kept"_s);
}

TEST_F(PasswordEntryTest, EnterInTheBoxConfirmsLikeOk)
{
    dialog.show();
    QTest::keyClicks(dialog.txtPassword(), u"hunter2"_s);
    EXPECT_EQ(dialog.txtPassword()->displayText(), u"*******"_s);
    QTest::keyClick(dialog.txtPassword(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ctx.settings.Password, u"hunter2"_s);
}
