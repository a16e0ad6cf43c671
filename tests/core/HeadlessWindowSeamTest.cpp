// SPDX-License-Identifier: MIT
#include "HeadlessWindowSeam.h"
#include "CoreTestContext.h"
#include "qoMonth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class HeadlessWindowSeamTest : public ::testing::Test
{
protected:
    QStringList errorLines;
    HeadlessWindowSeam seam{[this](const QString& text) { errorLines.append(text); }};
};
} // namespace

TEST_F(HeadlessWindowSeamTest, BoxesAnswerAsIfCancelled)
{
    EXPECT_EQ(HeadlessWindowSeam::cancelAnswer(BoxButtons::Ok), BoxAnswer::Ok);
    EXPECT_EQ(HeadlessWindowSeam::cancelAnswer(BoxButtons::OkCancel), BoxAnswer::Cancel);
    EXPECT_EQ(HeadlessWindowSeam::cancelAnswer(BoxButtons::YesNo), BoxAnswer::No);
    EXPECT_EQ(HeadlessWindowSeam::cancelAnswer(BoxButtons::YesNoCancel), BoxAnswer::Cancel);
}

TEST_F(HeadlessWindowSeamTest, BoxesGoToStandardErrorAndTheLog)
{
    QStringList logged;
    seam.setLogSink([&](const QString& text, int16_t level) {
        EXPECT_EQ(level, 2);
        logged.append(text);
    });
    EXPECT_EQ(seam.messageBox(u"Move the data?\r\nIt may take a while."_s, u"Tallyroo"_s, BoxIcon::Question,
                              BoxButtons::YesNo),
              BoxAnswer::No);
    EXPECT_EQ(errorLines, QStringList{u"Tallyroo: Move the data? It may take a while."_s});
    EXPECT_EQ(logged, QStringList{u"message box without a window, answered No: Move the data? It may take a while."_s});
}

TEST_F(HeadlessWindowSeamTest, LogLinesReachStandardErrorThroughTheStatusLine)
{
    CoreTestContext core(u"HeadlessLog"_s);
    LogFrontEnd log(core.app, core.registry, core.settings, core.run, seam, core.clock, core.writer);
    log.LogMessage(u"retrieving data for fred..."_s, 2);
    log.LogMessage(u"RefreshData: attempting refresh from Quolla"_s, 6);
    // A level-1 line with the default box mode: the hidden window shows no box for it.
    log.LogMessage(u"Error while refreshing data:\r\n[5] Invalid procedure call"_s, 1);
    EXPECT_EQ(errorLines,
              (QStringList{u"2008-03-20 11:00:00 - retrieving data for fred..."_s,
                           u"2008-03-20 11:00:00 - Error while refreshing data: [5] Invalid procedure call"_s}));
}
