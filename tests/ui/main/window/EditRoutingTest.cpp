// SPDX-License-Identifier: MIT
#include "EditRouting.h"

#include <gtest/gtest.h>

using namespace EditRouting;

namespace {

Situation on(int tab, bool doubleWidth)
{
    Situation s;
    s.currentTab = tab;
    s.doubleWidth = doubleWidth;
    s.gridRows = 5;
    s.gridColumns = 5;
    return s;
}

} // namespace

TEST(EditRoutingSelectAll, DebugTabWinsInNormalWidthButNeedsTheFocusBesideTheGrid)
{
    EXPECT_EQ(selectAllTarget(on(DebugTab, false)), Target::DebugLog);
    // In double width the grid stands beside the debug tab and keeps Select All...
    EXPECT_EQ(selectAllTarget(on(DebugTab, true)), Target::Grid);
    // ...unless the debug log has the focus.
    Situation focused = on(DebugTab, true);
    focused.debugLogHasFocus = true;
    EXPECT_EQ(selectAllTarget(focused), Target::DebugLog);
}

TEST(EditRoutingSelectAll, GridOnlyWhileItIsOnShow)
{
    EXPECT_EQ(selectAllTarget(on(GridTab, false)), Target::Grid);
    EXPECT_EQ(selectAllTarget(on(SummaryTab, true)), Target::Grid);
    EXPECT_EQ(selectAllTarget(on(SummaryTab, false)), Target::None);
    EXPECT_FALSE(gridVisible(on(SummaryTab, false)));
    EXPECT_TRUE(gridVisible(on(SummaryTab, true)));
}

TEST(EditRoutingCopy, AnEmptyGridStopsEveryCaseEvenTheDebugLog)
{
    Situation s = on(DebugTab, false);
    s.gridRows = 1;
    EXPECT_EQ(copyTarget(s), Target::None);
    s.gridRows = 5;
    s.gridColumns = 1;
    EXPECT_EQ(copyTarget(s), Target::None);
    s.gridColumns = 2;
    EXPECT_EQ(copyTarget(s), Target::DebugLog);
}

TEST(EditRoutingCopy, GridNeedsTheFocusElseTheSummaryBoxOnTabZero)
{
    Situation wide = on(SummaryTab, true);
    EXPECT_EQ(copyTarget(wide), Target::Summary);
    wide.gridHasFocus = true;
    EXPECT_EQ(copyTarget(wide), Target::Grid);

    Situation gridTab = on(GridTab, false);
    EXPECT_EQ(copyTarget(gridTab), Target::None);
    gridTab.gridHasFocus = true;
    EXPECT_EQ(copyTarget(gridTab), Target::Grid);

    // A grid that kept the focus behind the summary tab is not on show.
    Situation hidden = on(SummaryTab, false);
    hidden.gridHasFocus = true;
    EXPECT_EQ(copyTarget(hidden), Target::Summary);
}
