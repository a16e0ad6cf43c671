// SPDX-License-Identifier: MIT
#include "RecordingWindowSeam.h"

#include "RunTimeError.h"
#include "qoMonth.h"

using namespace Qt::StringLiterals;

QString RecordingWindowSeam::keyOf(const ControlRef& control)
{
    return control.index < 0 ? control.name : control.name + u'(' + QString::number(control.index) + u')';
}

void RecordingWindowSeam::record(const QString& call)
{
    calls.append(call);
    if (call == failingCall)
        throw RunTimeError(91, u"Object variable or With block variable not set"_s);
}

bool RecordingWindowSeam::isFormLoaded() const
{
    return formLoaded;
}

bool RecordingWindowSeam::isMainWindowVisible() const
{
    return mainWindowVisible;
}

void RecordingWindowSeam::showMainWindow(bool startMinimised)
{
    record(u"showMainWindow"_s);
    formLoaded = true;
    mainWindowVisible = !startMinimised;
}

void RecordingWindowSeam::setCaption(const QString& text)
{
    record(u"setCaption"_s);
    caption = text;
}

void RecordingWindowSeam::repaintMainWindow()
{
    record(u"repaintMainWindow"_s);
}

void RecordingWindowSeam::setBusyPointer(bool)
{
    record(u"setBusyPointer"_s);
}

void RecordingWindowSeam::restoreMainWindow()
{
    record(u"restoreMainWindow"_s);
    mainWindowVisible = true;
}

void RecordingWindowSeam::exitProgram()
{
    record(u"exitProgram"_s);
}

void RecordingWindowSeam::linksChanged()
{
    record(u"linksChanged"_s);
}

void RecordingWindowSeam::processPendingEvents()
{
    record(u"processPendingEvents"_s);
}

void RecordingWindowSeam::setStatusText(const QString& text)
{
    record(u"setStatusText"_s);
    statusText = text;
}

void RecordingWindowSeam::setStatusPicture(const QString& imageKey)
{
    record(u"setStatusPicture"_s);
    statusPicture = imageKey;
}

void RecordingWindowSeam::setStatusToolTip(const QString& text)
{
    record(u"setStatusToolTip"_s);
    statusToolTip = text;
}

QString RecordingWindowSeam::debugLogText() const
{
    return debugLog;
}

void RecordingWindowSeam::setDebugLogText(const QString& text)
{
    record(u"setDebugLogText"_s);
    debugLog = text;
}

BoxAnswer RecordingWindowSeam::messageBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons)
{
    record(u"messageBox"_s);
    messageBoxes.append({text, title, icon, buttons});
    return nextAnswers.isEmpty() ? BoxAnswer::Ok : nextAnswers.takeFirst();
}

void RecordingWindowSeam::AddTrayIcon(const QString& imageKey, const QString& toolTip)
{
    record(u"AddTrayIcon"_s);
    trayAdded = true;
    trayPicture = imageKey;
    trayToolTip = toolTip;
}

void RecordingWindowSeam::ModifyTrayIcon(const QString& imageKey)
{
    record(u"ModifyTrayIcon"_s);
    trayPicture = imageKey;
}

void RecordingWindowSeam::ModifyTrayToolTip(const QString& toolTip)
{
    record(u"ModifyTrayToolTip"_s);
    trayToolTip = toolTip;
}

void RecordingWindowSeam::setTrayAnimation(bool running)
{
    record(u"setTrayAnimation"_s);
    trayAnimating = running;
}

void RecordingWindowSeam::setRefreshControlsEnabled(bool enabled)
{
    record(u"setRefreshControlsEnabled"_s);
    refreshControlsEnabled = enabled;
}

void RecordingWindowSeam::setMonthListVisible(bool visible)
{
    record(u"setMonthListVisible"_s);
    monthListVisible = visible;
}

void RecordingWindowSeam::clearMonthList()
{
    record(u"clearMonthList"_s);
    monthList.clear();
    monthListIndex = -1;
}

void RecordingWindowSeam::addMonthListItem(const QString& text)
{
    record(u"addMonthListItem"_s);
    monthList.append(text);
}

void RecordingWindowSeam::setMonthListSelecting(bool selecting)
{
    record(u"setMonthListSelecting"_s);
    monthListSelecting = selecting;
}

void RecordingWindowSeam::setMonthListIndex(int index)
{
    record(u"setMonthListIndex"_s);
    monthListIndex = index;
    monthListSelectingWhenIndexSet = monthListSelecting;
}

void RecordingWindowSeam::InitValueDisplay(bool)
{
    record(u"InitValueDisplay"_s);
}

void RecordingWindowSeam::setControlText(const ControlRef& control, const QString& text)
{
    record(u"setControlText"_s);
    controlTexts.insert(keyOf(control), text);
}

void RecordingWindowSeam::setControlToolTip(const ControlRef& control, const QString& text)
{
    record(u"setControlToolTip"_s);
    controlToolTips.insert(keyOf(control), text);
}

void RecordingWindowSeam::setControlTextColour(const ControlRef& control, uint32_t colour)
{
    record(u"setControlTextColour"_s);
    controlColours.insert(keyOf(control), colour);
}

void RecordingWindowSeam::setControlVisible(const ControlRef& control, bool visible)
{
    record(u"setControlVisible"_s);
    controlVisible.insert(keyOf(control), visible);
}

void RecordingWindowSeam::UpdateProgressBar(const qoMonth&)
{
    record(u"UpdateProgressBar"_s);
}

bool RecordingWindowSeam::ParseArrays(bool, const qoMonth&, QString& szErr)
{
    record(u"ParseArrays"_s);
    if (!parseArraysResult)
        szErr = parseArraysError;
    return parseArraysResult;
}

void RecordingWindowSeam::showOptionsDialog(OptionsFocus focus)
{
    record(u"showOptionsDialog"_s);
    optionsFocus = focus;
    if (onOptionsDialog)
        onOptionsDialog();
}

void RecordingWindowSeam::showPasswordDialog()
{
    record(u"showPasswordDialog"_s);
    if (onPasswordDialog)
        onPasswordDialog();
}

void RecordingWindowSeam::SetFormLayout()
{
    record(u"SetFormLayout"_s);
}

void RecordingWindowSeam::showAboutDialog()
{
    record(u"showAboutDialog"_s);
}

void RecordingWindowSeam::DoVersionCheck(bool, bool)
{
    record(u"DoVersionCheck"_s);
}

bool RecordingWindowSeam::isGraphWindowLoaded() const
{
    return graphWindowLoaded;
}

void RecordingWindowSeam::RefreshTeeGraph(const qoMonth& month)
{
    record(u"RefreshTeeGraph"_s);
    graphedMonths.append(month);
}

void RecordingWindowSeam::showGraphWindow(const qoMonth& month)
{
    record(u"showGraphWindow"_s);
    graphedMonths.append(month);
}

void RecordingWindowSeam::hideGraphCharts()
{
    record(u"hideGraphCharts"_s);
}
