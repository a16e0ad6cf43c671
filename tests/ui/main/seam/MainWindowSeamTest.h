// SPDX-License-Identifier: MIT
#pragma once

#include "FakeProvider.h"
#include "MainRoutines.h"
#include "MainWindowSeam.h"
#include "PasswordScrambler.h"
#include "ProviderLinks.h"
#include "RefreshCycle.h"
#include "SettingsStore.h"
#include "SharedRegistry.h"
#include "modSQL.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The program's windows as start-up leaves them (main window shown, tray icon added), over a
// refresh cycle that fetches the sample account from the local fake provider.
class MainWindowSeamTest : public ::testing::Test
{
protected:
    inline static const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 20, 12, 0, 0);

    MainWindowSeamTest();

    // A live refresh by hand, with no message boxes.
    bool refresh();
    // Months in the database of a user; 0 when it has none.
    int monthsIn(const QString& user) const;
    // The text of a box of the main window; "<none>" when there is no such box.
    QString text(const QString& control, int index = -1) const;

    CoreTestContext core{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    SharedRegistry shared{core};
    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR "/provider")};
    modSQL history{core.app, core.settings, core.run, core.log};
    MainWindowSeam seam;
    MainRoutines mainRoutines{core.app, core.settings, core.run, seam, core.log, history.storedMonthsReader()};
    RefreshCycle cycle{core.app,      core.settings, core.run, seam,        core.log,
                       core.registry, core.clock,    history,  mainRoutines};
    PasswordScrambler scrambler{core.app, core.registry, core.log};
    SettingsStore store{core.app, core.registry, core.log, scrambler, core.settings, core.run};
    QStringList opened;
    ProviderLinks links{core.app, core.settings, core.run, core.registry, core.log, seam, [this](const QString& link) {
                            opened << link;
                            return true;
                        }};
    int ended = 0;
};
