// SPDX-License-Identifier: MIT
#include "frmAbout.h"
#include "CoreTestContext.h"
#include "DialogTextsWhole.h"
#include "ProviderLinks.h"
#include "RunTimeError.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
ComponentVersions fixedVersions()
{
    return ComponentVersions{
        [] { return u"2.1.0"_s; },
        [] { return u"unknown"_s; },
        [] { return u"1.3.2"_s; },
        [] { return u"6.4.2"_s; },
        [] { return u"1.3.2 (SQLite 3.40.1)"_s; },
    };
}

class AboutTest : public ::testing::Test
{
protected:
    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    QStringList opened;
    ProviderLinks links{ctx.app, ctx.settings, ctx.run, ctx.registry, ctx.log, ctx.window, [this](const QString& t) {
                            opened.append(t);
                            return true;
                        }};

    std::unique_ptr<frmAbout> open(ComponentVersions versions = fixedVersions())
    {
        return std::make_unique<frmAbout>(ctx.app, ctx.log, links, std::move(versions), nullptr);
    }

    static QString text(const frmAbout& dialog, const QString& name)
    {
        const auto* label = dialog.findChild<QLabel*>(name);
        return label ? label->text() : u"<missing>"_s;
    }

    // The gap between the end of one label and the start of the next on the shown dialog.
    static int gap(const frmAbout& dialog, const QString& first, const QString& second)
    {
        const auto* a = dialog.findChild<QLabel*>(first);
        const auto* b = dialog.findChild<QLabel*>(second);
        EXPECT_EQ(a->y(), b->y());
        return b->x() - (a->x() + a->width());
    }

    static void moveOver(QWidget* widget)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
};
} // namespace

TEST_F(AboutTest, NamesTheProductAndItsVersion)
{
    const auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), u"About Tallyroo"_s);
    EXPECT_EQ(text(*dialog, u"lblAppName"_s), u"Tallyroo"_s);
    EXPECT_TRUE(dialog->findChild<QLabel*>(u"lblAppName"_s)->font().bold());
    EXPECT_EQ(text(*dialog, u"lblVersion"_s), u"version 1.3.2"_s);
    EXPECT_EQ(text(*dialog, u"lblVisit"_s), u"visit the Tallyroo"_s);
    EXPECT_EQ(text(*dialog, u"lblWebsite"_s), u"website"_s);
    EXPECT_EQ(text(*dialog, u"lblAppreciation"_s), u"Show your appreciation"_s);
    EXPECT_EQ(dialog->mailSubject(), u"Tallyroo 1.3.2"_s);
    const auto* ok = dialog->findChild<QPushButton*>(u"btnOK"_s);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_NE(dialog->findChild<QWidget*>(u"Line1"_s), nullptr);
    EXPECT_NE(dialog->findChild<QWidget*>(u"Line2"_s), nullptr);
    EXPECT_FALSE(dialog->findChild<QLabel*>(u"Image"_s)->pixmap().isNull());

    for (const QString& name : {u"lblWebsite"_s, u"lblAppreciation"_s, u"lblEmail1"_s}) {
        const auto* link = dialog->findChild<QLabel*>(name);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << name.toStdString();
        EXPECT_TRUE(link->font().underline()) << name.toStdString();
    }
    EXPECT_EQ(dialog->findChild<QLabel*>(u"lblWebsite"_s)->toolTip(), u"click to visit the website"_s);
    EXPECT_EQ(dialog->findChild<QLabel*>(u"lblAppreciation"_s)->toolTip(), u"click to visit the website"_s);
    expectTextsDrawnWhole(*dialog);
}

TEST_F(AboutTest, ListsEveryComponentInOrderWithFallbacks)
{
    ComponentVersions versions = fixedVersions();
    versions.TeeChartVer = nullptr; // a component nobody can ask
    const auto dialog = open(std::move(versions));
    const QString lines = text(*dialog, u"lblComponentVersions"_s);
    EXPECT_EQ(lines, u"Sarnick.dll version 2.1.0\n"
                     u"Pelborne.dll version unknown\n"
                     u"Logger.dll version 1.3.2\n"
                     u"TeeChart6.ocx version unknown\n"
                     u"Hobwell.dll version 1.3.2 (SQLite 3.40.1)"_s);
    EXPECT_TRUE(ctx.window.messageBoxes.isEmpty());
}

TEST_F(AboutTest, ALoadErrorIsReportedAndTheEarlierTextsStay)
{
    ComponentVersions versions = fixedVersions();
    versions.LoggerVer = []() -> QString { throw RunTimeError(429, u"ActiveX component can't create object"_s); };
    const auto dialog = open(std::move(versions));

    ASSERT_EQ(ctx.window.messageBoxes.size(), 1);
    EXPECT_EQ(ctx.window.messageBoxes[0].text,
              u"frmAbout: Error while loading form:\r\n[429] ActiveX component can't create object"_s);
    bool logged = false;
    for (const auto& line : ctx.logLines())
        logged |= line.level == 1 && line.text.contains(u"frmAbout: Error while loading form: [429]"_s);
    EXPECT_TRUE(logged);
    EXPECT_EQ(text(*dialog, u"lblAppName"_s), u"Tallyroo"_s);
    EXPECT_EQ(text(*dialog, u"lblVisit"_s), u"visit the Tallyroo"_s);
    EXPECT_TRUE(text(*dialog, u"lblComponentVersions"_s).isEmpty());
}

TEST_F(AboutTest, LabelsFollowEachOtherAtTheSameGap)
{
    const auto shortName = open();
    shortName->show();
    const int shortLeft = shortName->findChild<QLabel*>(u"lblVersion"_s)->x();
    EXPECT_EQ(gap(*shortName, u"lblAppName"_s, u"lblVersion"_s), 4);
    EXPECT_EQ(gap(*shortName, u"lblVisit"_s, u"lblWebsite"_s), 4);
    EXPECT_EQ(gap(*shortName, u"lblCredit1"_s, u"lblEmail1"_s), 4);

    ctx.app.ProductName = u"Tallyroo Professional Household Edition"_s;
    const auto longName = open();
    longName->show();
    EXPECT_GT(longName->findChild<QLabel*>(u"lblVersion"_s)->x(), shortLeft);
    EXPECT_EQ(gap(*longName, u"lblAppName"_s, u"lblVersion"_s), 4);
    EXPECT_EQ(gap(*longName, u"lblVisit"_s, u"lblWebsite"_s), 4);
}

TEST_F(AboutTest, LinksOpenTheirAddresses)
{
    ctx.app.ProductName = u"Tally & Co"_s;
    const auto dialog = open();
    dialog->lblWebsite_Click();
    dialog->lblAppreciation_Click();
    dialog->lblEmail1_Click();
    EXPECT_EQ(opened, (QStringList{u"https://www.tallyroo.example/"_s,
                                   u"https://www.tallyroo.example/appreciation.html?src=Tally%20%26%20Co"_s,
                                   u"mailto:contact@tallyroo.example?subject=Tally%20%26%20Co%201.3.2"_s}));
}

TEST_F(AboutTest, ClickingALinkLabelOpensIt)
{
    const auto dialog = open();
    dialog->show();
    QTest::mouseClick(dialog->findChild<QLabel*>(u"lblEmail1"_s), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QLabel*>(u"lblWebsite"_s), Qt::RightButton);
    QTest::mouseClick(dialog->findChild<QLabel*>(u"lblCredit1"_s), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{u"mailto:contact@tallyroo.example?subject=Tallyroo%201.3.2"_s});
}

TEST_F(AboutTest, HandPointerOverLinksUntilTheBareDialog)
{
    const auto dialog = open();
    dialog->show();
    EXPECT_EQ(dialog->MousePointer(), frmAbout::DefaultPointer);

    moveOver(dialog->findChild<QLabel*>(u"lblWebsite"_s));
    EXPECT_EQ(dialog->MousePointer(), frmAbout::CustomPointer);
    EXPECT_EQ(dialog->cursor().shape(), Qt::PointingHandCursor);

    // Plain text next to a link does not give the default pointer back.
    moveOver(dialog->findChild<QLabel*>(u"lblVisit"_s));
    EXPECT_EQ(dialog->MousePointer(), frmAbout::CustomPointer);

    moveOver(dialog.get());
    EXPECT_EQ(dialog->MousePointer(), frmAbout::DefaultPointer);
    EXPECT_EQ(dialog->cursor().shape(), Qt::ArrowCursor);

    moveOver(dialog->findChild<QLabel*>(u"lblAppreciation"_s));
    EXPECT_EQ(dialog->MousePointer(), frmAbout::CustomPointer);
    dialog->Form_MouseMove();
    dialog->lblEmail1_MouseMove();
    EXPECT_EQ(dialog->MousePointer(), frmAbout::CustomPointer);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(AboutTest, OkEnterAndEscapeCloseTheBox)
{
    const auto dialog = open();
    dialog->show();
    dialog->btnOK_Click();
    EXPECT_FALSE(dialog->isVisible());

    dialog->show();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());

    dialog->show();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(opened.isEmpty());
}
