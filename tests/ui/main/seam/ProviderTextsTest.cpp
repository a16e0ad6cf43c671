// SPDX-License-Identifier: MIT
// Texts the provider sends are shown as their characters wherever the windows show them.
#include "MainWindowSeamTest.h"

#include "ChartView.h"
#include "MonthDisplay.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {
// What Qt draws for a label's or tooltip's text, by its own rule for telling markup: the
// characters shown and the height they take (a picture the text names makes it tall).
struct Drawn
{
    QString characters;
    qreal height = 0;
};

Drawn drawn(const QString& text, Qt::TextFormat format)
{
    QTextDocument document;
    if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text)))
        document.setHtml(text);
    else
        document.setPlainText(text);
    return {document.toPlainText().replace(QChar::Nbsp, u' '), document.size().height()};
}
} // namespace

TEST_F(MainWindowSeamTest, ProviderTitlesWithMarkupShowAsTheirCharacters)
{
    ASSERT_TRUE(refresh());
    // A picture a title names: read as markup, it would be loaded and drawn 120 pixels high.
    const QString picture = QDir::home().filePath(u"picture.png"_s);
    QImage red(120, 120, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(picture));
    const QString bold = u"<b>x</b> & y"_s;
    const QString image = u"<img src=\""_s + picture + u"\">"_s;

    qoMonth month = core.run.CurrentMonth;
    month.DailyHeaders[DailyHeader::Peak] = bold;
    month.DailyHeaders[DailyHeader::Offpeak] = image;
    month.PeakQuota = 1000;
    month.OffPeakQuota = 2000;
    core.run.CurrentMonth = month;
    MonthDisplay display(core.settings, seam, core.log, mainRoutines, core.clock);
    QString err;
    ASSERT_TRUE(display.qoMonth2Form(month, false, err)) << err.toStdString();

    const qreal line = QFontMetricsF(QApplication::font()).height();
    const auto expectShown = [line](const QString& what, const Drawn& shown, const QString& wanted) {
        EXPECT_EQ(shown.characters, wanted) << what.toStdString();
        EXPECT_LT(shown.height, 3 * line) << what.toStdString();
    };
    struct Expected
    {
        QString control;
        QString text;
        QString tipStart;
    };
    const Expected labels[] = {
        {u"lblTitle_0"_s, bold, {}},
        {u"lblTitle_2"_s, image, {}},
        {u"lblPeakShapeTitle"_s, bold + u" status:"_s, bold + u" period is "_s},
        {u"lblOffPeakShapeTitle"_s, image + u" status:"_s, image + u" period is "_s},
    };
    for (const Expected& expected : labels) {
        const auto* label = seam.form()->findChild<QLabel*>(expected.control);
        ASSERT_TRUE(label) << expected.control.toStdString();
        expectShown(expected.control, drawn(label->text(), label->textFormat()), expected.text);
        EXPECT_LT(label->sizeHint().height(), 3 * line) << expected.control.toStdString();
        EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(expected.text))
            << expected.control.toStdString();
        const Drawn tip = drawn(label->toolTip(), Qt::AutoText);
        if (!expected.tipStart.isEmpty()) {
            EXPECT_TRUE(tip.characters.startsWith(expected.tipStart)) << tip.characters.toStdString();
            expectShown(expected.control + u" tooltip"_s, tip, tip.characters);
        }
    }

    // The graph's legend names the classes as they stand, no taller than a line.
    seam.commands()->cmdTeeGraph_Click();
    ChartView* daily = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmTeeGraph"_s)
            daily = window->findChild<ChartView*>(u"TChart1"_s);
    }
    ASSERT_TRUE(daily);
    QCoreApplication::processEvents();
    QStringList legend;
    for (QGraphicsItem* item : daily->scene()->items()) {
        const auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text && text->isVisible() && text->sceneBoundingRect().left() > daily->chart()->plotArea().right()) {
            legend << text->toPlainText();
            EXPECT_LT(text->boundingRect().height(), 3 * line) << text->toPlainText().toStdString();
        }
    }
    EXPECT_TRUE(legend.contains(bold)) << legend.join(u'|').toStdString();
    // The legend may cut a long name short, never draw it as a picture.
    EXPECT_EQ(legend.filter(u"<img src=\""_s).size(), 1) << legend.join(u'|').toStdString();
}
