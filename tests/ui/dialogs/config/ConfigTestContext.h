// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigContext.h"
#include "PasswordScrambler.h"
#include "ProviderLinks.h"
#include "RefreshTestContext.h"
#include "SettingsStore.h"
#include "frmConfig.h"

#include <QString>
#include <QStringList>

#include <memory>

// The options dialog over a refresh test context (database of "fred@quolla.example", recording
// window, fixed clock), with the settings store and the links; the program was started as
// /opt/tally/tallymeter with the arguments "/T" and "/NOOLD".
class ConfigTestContext
{
public:
    explicit ConfigTestContext(const QString& name);

    RefreshTestContext ctx;
    CoreTestContext& core = ctx.core;
    PasswordScrambler scrambler{core.app, core.registry, core.log};
    SettingsStore store{core.app, core.registry, core.log, scrambler, core.settings, core.run};
    ProviderLinks links{
        core.app, core.settings, core.run, core.registry, core.log, core.window, [](const QString&) { return true; }};
    ConfigContext context{core.app,
                          core.settings,
                          core.run,
                          core.log,
                          core.registry,
                          core.clock,
                          core.window,
                          ctx.cycle,
                          ctx.history,
                          ctx.mainRoutines,
                          store,
                          links,
                          {QStringLiteral("/T"), QStringLiteral("/NOOLD")},
                          QStringLiteral("/opt/tally/tallymeter")};

    // A freshly loaded dialog, as opening it does.
    std::unique_ptr<frmConfig> open();

    bool logged(const QString& text, int level) const { return ctx.logged(text, level); }
    qsizetype calls(const QString& name) const { return core.window.calls.count(name); }
    // The refreshes started so far, as the refresh routine logs them.
    QStringList refreshes() const;
    QString autoStartPath() const;
};
