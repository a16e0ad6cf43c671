// SPDX-License-Identifier: MIT
#include "ContentWidths.h"

#include "MainControls.h"
#include "MonthDisplay.h"
#include "TextRoutines.h"
#include "qoMonth.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// The width a read-only box needs to show text whole: the text, the box's margins and frame.
int boxWidthFor(const QLineEdit& box, const QStringList& texts)
{
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, box.fontMetrics().horizontalAdvance(text));
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box);
    const QMargins margins = box.textMargins();
    // QLineEdit keeps a fixed margin of 2 pixels on either side of its text, and a pixel for the cursor.
    const QSize content(widest + margins.left() + margins.right() + 2 * 2 + 1, box.fontMetrics().height());
    return box.style()->sizeFromContents(QStyle::CT_LineEdit, &option, content, &box).width();
}

void fit(QLineEdit* box, const QStringList& texts)
{
    box->setMinimumWidth(boxWidthFor(*box, texts));
}

// The plan sentences the summary can show, with a long shaping speed as providers state it.
QStringList planSentences()
{
    QStringList sentences;
    for (int16_t planType : {int16_t(0), int16_t(2), int16_t(3)}) {
        qoMonth month;
        month.PlanType = planType;
        month.PeakQuota = 1;
        month.ShapingSpeed = u"99999kbps"_s;
        sentences << MonthDisplay::PlanSentence(month);
        month.ShapingSpeed.clear();
        sentences << MonthDisplay::PlanSentence(month);
    }
    return sentences;
}
} // namespace

namespace ContentWidths {
void fitBoxes(MainControls& ui)
{
    // Figures up to nearly ten million megabytes, with the grouping on, in the user's locale.
    const QStringList figures{FormatTwoDecimals(u"9999999.99"_s, true), FormatTwoDecimals(u"-999999.99"_s, true)};
    for (const MainControls::Column* column :
         {&ui.txtQuota, &ui.txtTotal, &ui.txtRemaining, &ui.txtAverage, &ui.txtAvgRemaining, &ui.txtToday}) {
        for (QLineEdit* box : *column)
            fit(box, figures);
    }
    fit(ui.txtUnlimited, planSentences());
    fit(ui.txtLastConnect, {u"2088-12-31 23:59:59"_s, u"unknown"_s});
    fit(ui.txtUptime, {u"999 days, 23:59"_s});
    fit(ui.txtTimeToReset, {u"30 days, 23:59"_s});
    fit(ui.txtIP, {u"255.255.255.255"_s});
    fit(ui.txtAnniversaryDate, {u"31st"_s, u"unknown"_s});
}

double widening(const MainControls& ui, int designTabPixels)
{
    const int needed = ui.tabMain->minimumSizeHint().width();
    return designTabPixels > 0 && needed > designTabPixels ? double(needed) / designTabPixels : 1.0;
}
} // namespace ContentWidths
