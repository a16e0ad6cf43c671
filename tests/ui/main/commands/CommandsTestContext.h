// SPDX-License-Identifier: MIT
#pragma once

#include "MainCommands.h"
#include "PasswordScrambler.h"
#include "ProviderLinks.h"
#include "RefreshTestContext.h"
#include "SettingsStore.h"

#include <QString>
#include <QStringList>

// The main window's commands over a refresh test context (history database of
// "fred@quolla.example", recording window, clock at 2008-03-20 11:00:00) with the settings store
// and the web links; the links' opener only records what it was given.
class CommandsTestContext
{
public:
    explicit CommandsTestContext(const QString& name);

    RefreshTestContext ctx;
    CoreTestContext& core = ctx.core;
    PasswordScrambler scrambler{core.app, core.registry, core.log};
    SettingsStore store{core.app, core.registry, core.log, scrambler, core.settings, core.run};
    QStringList opened;
    ProviderLinks links{
        core.app, core.settings, core.run, core.registry, core.log, core.window, [this](const QString& target) {
            opened.append(target);
            return true;
        }};
    MainCommands commands{{core.app, core.settings, core.run, core.log, core.registry, core.clock, core.window,
                           ctx.cycle, ctx.history, ctx.mainRoutines, store, links}};

    // Stores a month of a few days in the current user's database (opened first).
    void storeMonth(const LocalDateTime& firstDay, const QString& lastUpdate, bool historical);
    // The text of every log line, and whether one with this text was written at this level.
    QStringList logTexts() const { return core.logTexts(); }
    bool logged(const QString& text, int level) const { return ctx.logged(text, level); }
    // How often a seam call was made.
    qsizetype calls(const QString& name) const { return core.window.calls.count(name); }
    // The arguments of the refreshes started so far, as the refresh routine logs them.
    QStringList refreshes() const;
};
