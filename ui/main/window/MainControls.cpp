// SPDX-License-Identifier: MIT
#include "MainControls.h"

#include "PlainText.h"
#include "UsageBarColors.h"
#include "ctlUsageBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

template <typename T>
T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    // Captions carry the provider's class titles and other texts that are not ours.
    return named(PlainText::label(new QLabel(text, parent)), name);
}

QLineEdit* valueBox(const QString& name, QWidget* parent)
{
    auto* box = named(new QLineEdit(parent), name);
    box->setReadOnly(true);
    return box;
}

QGroupBox* frame(const QString& name, const QString& title, QWidget* parent)
{
    return named(new QGroupBox(title, parent), name);
}

QGridLayout* compactGrid(QWidget* owner)
{
    auto* grid = new QGridLayout(owner);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    return grid;
}

// One labelled value box a row.
void addRow(QGridLayout* grid, int row, QLabel* caption, QLineEdit* box)
{
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    grid->setColumnStretch(1, 1);
}

// The caption above its box, so the narrow column of the summary tab leaves the box its width.
void addStacked(QGridLayout* grid, int row, QLabel* caption, QLineEdit* box)
{
    grid->addWidget(caption, 2 * row, 0);
    grid->addWidget(box, 2 * row + 1, 0);
}

} // namespace

void MainControls::build(QMainWindow& owner)
{
    window = &owner;
    central = named(new QWidget(window), u"centralWidget"_s);
    window->setCentralWidget(central);

    picHistory = named(new QWidget(central), u"picHistory"_s);
    auto* historyRow = new QHBoxLayout(picHistory);
    historyRow->setContentsMargins(0, 0, 0, 0);
    Label1 = label(u"Label1"_s, u"Month:"_s, picHistory);
    cboHistory = named(new QComboBox(picHistory), u"cboHistory"_s);
    cboHistory->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    historyRow->addWidget(Label1);
    historyRow->addWidget(cboHistory, 1);
    // The month list shows once the history database has handed it months.
    picHistory->hide();

    cmdChangeLayout = named(new QPushButton(u">>"_s, central), u"cmdChangeLayout"_s);
    cmdChangeLayout->setFocusPolicy(Qt::TabFocus);

    tabMain = named(new QTabWidget(central), u"tabMain"_s);
    summaryPage = named(new QWidget, u"tabSummary"_s);
    gridPage = named(new QWidget, u"tabDailyData"_s);
    debugPage = named(new QWidget, u"tabDebug"_s);
    tabMain->addTab(summaryPage, u"Summary"_s);
    tabMain->addTab(gridPage, u"Daily Data"_s);
    tabMain->addTab(debugPage, u"Debug"_s);

    // Summary boxes: one column a traffic class.
    frameDownloadSummary = frame(u"frameDownloadSummary"_s, u"Summary"_s, summaryPage);
    auto* summary = compactGrid(frameDownloadSummary);
    for (int i = 0; i < 3; ++i) {
        lblTitle[i] = label(u"lblTitle_"_s + QString::number(i), QString(), frameDownloadSummary);
        lblTitle[i]->setAlignment(Qt::AlignCenter);
        summary->addWidget(lblTitle[i], 0, i + 1);
    }
    const struct
    {
        Column* column;
        const char16_t* array;
        const char16_t* caption;
    } rows[] = {
        {&txtQuota, u"txtQuota", u"Quota:"},
        {&txtTotal, u"txtTotal", u"Total usage:"},
        {&txtRemaining, u"txtRemaining", u"Quota remaining:"},
        {&txtAverage, u"txtAverage", u"Average per day:"},
        {&txtAvgRemaining, u"txtAvgRemaining", u"Remaining per day:"},
        {&txtToday, u"txtToday", u"Today:"},
    };
    int row = 1;
    for (const auto& entry : rows) {
        summary->addWidget(new QLabel(QString::fromUtf16(entry.caption), frameDownloadSummary), row, 0);
        for (int i = 0; i < 3; ++i) {
            (*entry.column)[i] =
                valueBox(QString::fromUtf16(entry.array) + u'_' + QString::number(i), frameDownloadSummary);
            summary->addWidget((*entry.column)[i], row, i + 1);
        }
        ++row;
    }
    txtUnlimited = valueBox(u"txtUnlimited"_s, frameDownloadSummary);
    summary->addWidget(txtUnlimited, row, 0, 1, 4);

    frameAccountStatus = frame(u"frameAccountStatus"_s, u"Account Status"_s, summaryPage);
    auto* status = compactGrid(frameAccountStatus);
    prXPStatusPeak = named(new ctlUsageBar(frameAccountStatus), u"prXPStatusPeak"_s);
    prXPStatusOffPeak = named(new ctlUsageBar(frameAccountStatus), u"prXPStatusOffPeak"_s);
    prXPStatusPeak->setFixedHeight(20);
    prXPStatusOffPeak->setFixedHeight(20);
    status->addWidget(prXPStatusPeak, 0, 0, 1, 2);
    status->addWidget(prXPStatusOffPeak, 1, 0, 1, 2);
    lblPeakShapeTitle = label(u"lblPeakShapeTitle"_s, u"Peak status:"_s, frameAccountStatus);
    txtStatus = valueBox(u"txtStatus"_s, frameAccountStatus);
    lblOffPeakShapeTitle = label(u"lblOffPeakShapeTitle"_s, u"Glimratime status:"_s, frameAccountStatus);
    txtBStatus = valueBox(u"txtBStatus"_s, frameAccountStatus);
    addRow(status, 2, lblPeakShapeTitle, txtStatus);
    addRow(status, 3, lblOffPeakShapeTitle, txtBStatus);

    Frame4 = frame(u"Frame4"_s, u"Connection Details"_s, summaryPage);
    auto* connection = compactGrid(Frame4);
    txtUptime = valueBox(u"txtUptime"_s, Frame4);
    txtLastConnect = valueBox(u"txtLastConnect"_s, Frame4);
    txtIP = valueBox(u"txtIP"_s, Frame4);
    addStacked(connection, 0, new QLabel(u"Connection uptime:"_s, Frame4), txtUptime);
    addStacked(connection, 1, new QLabel(u"Connected since:"_s, Frame4), txtLastConnect);
    addStacked(connection, 2, new QLabel(u"Last IP address:"_s, Frame4), txtIP);

    // The account panel sits on a background box of its own, so a right click anywhere on it
    // reaches the profile menu.
    Frame3 = frame(u"Frame3"_s, u"Account Info"_s, summaryPage);
    auto* accountFrame = new QHBoxLayout(Frame3);
    accountFrame->setContentsMargins(2, 2, 2, 2);
    Picture1 = named(new QWidget(Frame3), u"Picture1"_s);
    accountFrame->addWidget(Picture1);
    auto* account = compactGrid(Picture1);
    lblUsername = label(u"lblUsername"_s, u"Username:"_s, Picture1);
    txtUsername = valueBox(u"txtUsername"_s, Picture1);
    label100 = label(u"label100"_s, u"Anniversary date:"_s, Picture1);
    txtAnniversaryDate = valueBox(u"txtAnniversaryDate"_s, Picture1);
    Label7 = label(u"Label7"_s, u"Quota reset in:"_s, Picture1);
    txtTimeToReset = valueBox(u"txtTimeToReset"_s, Picture1);
    addStacked(account, 0, lblUsername, txtUsername);
    addStacked(account, 1, label100, txtAnniversaryDate);
    addStacked(account, 2, Label7, txtTimeToReset);

    Label13 = label(u"Label13"_s, u"All values shown are in megabytes (MB)"_s, summaryPage);

    auto* page = compactGrid(summaryPage);
    page->addWidget(frameDownloadSummary, 0, 0);
    page->addWidget(frameAccountStatus, 1, 0);
    page->addWidget(Frame3, 0, 1);
    page->addWidget(Frame4, 1, 1);
    page->addWidget(Label13, 2, 0, 1, 2);
    page->setRowStretch(0, 1);
    // The summary's three figure columns need the room; the account column holds one short
    // text a box.
    page->setColumnStretch(0, 5);
    page->setColumnStretch(1, 2);

    frameDebug = frame(u"frameDebug"_s, u"Debug Messages"_s, debugPage);
    txtDebugList = named(new QPlainTextEdit(frameDebug), u"txtDebugList"_s);
    txtDebugList->setReadOnly(true);

    picMain = named(new QWidget(central), u"picMain"_s);
    auto* buttons = new QHBoxLayout(picMain);
    buttons->setContentsMargins(6, 2, 6, 2);
    Label15 = label(u"Label15"_s, u"Last refresh:"_s, picMain);
    txtLastRefresh = valueBox(u"txtLastRefresh"_s, picMain);
    cmdTeeGraph = named(new QPushButton(u"Graph..."_s, picMain), u"cmdTeeGraph"_s);
    cmdMinimise = named(new QPushButton(u"&Minimise"_s, picMain), u"cmdMinimise"_s);
    cmdRefresh = named(new QPushButton(u"&Refresh"_s, picMain), u"cmdRefresh"_s);
    cmdClose = named(new QPushButton(u"&Exit"_s, picMain), u"cmdClose"_s);
    // Room for a whole time stamp; the buttons give way first in the narrow layout.
    txtLastRefresh->setMinimumWidth(txtLastRefresh->fontMetrics().horizontalAdvance(u"0000-00-00 00:00:00"_s) + 12);
    for (QPushButton* button : {cmdTeeGraph, cmdMinimise, cmdRefresh, cmdClose}) {
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        // The style's minimum button width would push the buttons over the time stamp.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')) + 16);
    }
    buttons->addWidget(Label15);
    buttons->addWidget(txtLastRefresh, 1);
    buttons->addSpacing(8);
    buttons->addWidget(cmdTeeGraph);
    buttons->addWidget(cmdMinimise);
    buttons->addWidget(cmdRefresh);
    buttons->addWidget(cmdClose);

    staMain = named(new QStatusBar(window), u"staMain"_s);
    staMain->setSizeGripEnabled(false);
    window->setStatusBar(staMain);
    staPanel1 = label(u"staMain_1"_s, QString(), staMain);
    staPanel1->setFixedWidth(24);
    staPanel1->setAlignment(Qt::AlignCenter);
    staPanel2 = label(u"staMain_2"_s, QString(), staMain);
    // A long message is cut off rather than widening the window.
    staPanel2->setMinimumWidth(1);
    staMain->addWidget(staPanel1);
    staMain->addWidget(staPanel2, 1);
}

QList<QLineEdit*> MainControls::valueBoxes() const
{
    QList<QLineEdit*> boxes{txtUsername,    txtAnniversaryDate, txtTimeToReset, txtIP,
                            txtLastConnect, txtUptime,          txtLastRefresh};
    for (const Column* column : {&txtQuota, &txtTotal, &txtRemaining, &txtAverage, &txtAvgRemaining, &txtToday})
        for (QLineEdit* box : *column)
            boxes << box;
    boxes << txtStatus << txtBStatus << txtUnlimited;
    return boxes;
}

QWidget* MainControls::control(const ControlRef& ref) const
{
    if (!window)
        return nullptr;
    if (ref.index < 0 && ref.name == window->objectName())
        return window;
    const QString name = ref.index >= 0 ? ref.name + u'_' + QString::number(ref.index) : ref.name;
    if (name.isEmpty())
        return nullptr;
    return window->findChild<QWidget*>(name);
}

void MainControls::setText(QWidget* control, const QString& text)
{
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        box->setText(text);
        // Long values show from their start, as a box that was never scrolled does.
        box->setCursorPosition(0);
    } else if (auto* caption = qobject_cast<QLabel*>(control)) {
        caption->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* log = qobject_cast<QPlainTextEdit*>(control)) {
        log->setPlainText(text);
    } else if (control && control->isWindow()) {
        control->setWindowTitle(text);
    }
}

void MainControls::setTextColour(QWidget* control, uint32_t bgr)
{
    if (!control)
        return;
    const QColor colour =
        QColor::fromRgb(UsageBarColors::toRgb(UsageBarColors::TranslateSysColor(bgr, QApplication::palette(control))));
    QPalette palette = control->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    control->setPalette(palette);
}

void MainControls::resetValues(bool bHistorical)
{
    const QString unknown = u"unknown"_s;
    if (bHistorical) {
        txtStatus->setText(u"n/a"_s);
        txtBStatus->setText(u"n/a"_s);
    } else {
        txtUsername->setText(unknown);
        txtUsername->setToolTip(QString());
        for (QLineEdit* box : {txtAnniversaryDate, txtTimeToReset, txtIP, txtLastConnect, txtUptime, txtLastRefresh,
                               txtStatus, txtBStatus})
            box->setText(unknown);
    }
    constexpr uint32_t ButtonText = UsageBarColors::SystemColorFlag + 0x12;
    setTextColour(txtStatus, ButtonText);
    setTextColour(txtBStatus, ButtonText);
    lblTitle[0]->setText(u"Peak"_s);
    lblTitle[1]->setText(u"Freezone"_s);
    lblTitle[2]->setText(u"Offpeak"_s);
    for (int i = 0; i < 3; ++i) {
        txtQuota[i]->setText(unknown);
        for (const Column* column : {&txtTotal, &txtAverage, &txtRemaining, &txtAvgRemaining, &txtToday})
            (*column)[i]->setText(u"-"_s);
    }
    txtUnlimited->clear();
    frameDownloadSummary->setTitle(u"Summary"_s);
    frameAccountStatus->setTitle(u"Account Status"_s);
    for (ctlUsageBar* bar : {prXPStatusPeak, prXPStatusOffPeak}) {
        bar->setCaption(QString());
        bar->setValue(0);
        bar->setMarkerVisible(false);
    }
}

void MainControls::setToolTip(QWidget* control, const QString& text)
{
    PlainText::setToolTip(control, text);
}

void MainControls::setVisible(QWidget* control, bool visible)
{
    if (control)
        control->setVisible(visible);
}

void MainControls::setStatusText(const QString& text)
{
    staPanel2->setText(text);
    // A refresh holds the event loop; its messages must show while it runs.
    staPanel2->repaint();
}

void MainControls::setStatusPicture(const QPixmap& picture)
{
    staPanel1->setPixmap(picture);
}

void MainControls::setStatusToolTip(const QString& text)
{
    PlainText::setToolTip(staPanel1, text);
}

void MainControls::applyLayout(const FormGeometry& g, const FormGeometry::Inputs& in, const FormGeometry::Layout& out,
                               QWidget& grid)
{
    picHistory->setGeometry(g.pixelsX(120), g.pixelsY(60), g.pixelsX(4200), g.pixelsY(360));
    cmdChangeLayout->setGeometry(g.pixelsX(FormGeometry::TabLeft + FormGeometry::TabWidth - 600), g.pixelsY(60),
                                 g.pixelsX(600), g.pixelsY(360));
    picMain->setGeometry(0, g.pixelsY(out.picMainTop), g.pixelsAtLeastX(out.width), g.pixelsY(in.picMainHeight));
    tabMain->setGeometry(g.pixelsX(FormGeometry::TabLeft), g.pixelsY(in.tabTop), g.pixelsX(in.tabWidth),
                         g.pixelsY(out.tabHeight));
    if (in.doubleWidth)
        grid.setGeometry(g.pixelsX(FormGeometry::gridLeftBesideTabs(FormGeometry::TabLeft, in.tabWidth)), 0,
                         g.pixelsX(out.gridWidth), g.pixelsY(out.gridHeight));
    else
        grid.setGeometry(g.pixelsX(FormGeometry::GridOnTabLeft), g.pixelsY(FormGeometry::GridOnTabTop),
                         g.pixelsX(out.gridWidth), g.pixelsY(out.gridHeight));
    if (out.frameDebugHeight) {
        const int frameWidth = g.pixelsX(in.tabWidth - 240);
        frameDebug->setGeometry(g.pixelsX(60), g.pixelsY(30), frameWidth, g.pixelsY(*out.frameDebugHeight));
        txtDebugList->setGeometry(g.pixelsX(120), g.pixelsY(300), frameWidth - g.pixelsX(240),
                                  g.pixelsY(*out.txtDebugListHeight));
    }
    staPanel2->setMaximumWidth(std::max(1, g.pixelsX(out.statusPanel2Width)));
}
