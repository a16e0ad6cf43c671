// SPDX-License-Identifier: MIT
#include "ConfigTestContext.h"

#include "AutoStartEntry.h"

#include <QFile>

using namespace Qt::StringLiterals;

ConfigTestContext::ConfigTestContext(const QString& name) : ctx(name)
{
    // Every test starts without an autostart entry from an earlier one.
    QFile::remove(autoStartPath());
}

std::unique_ptr<frmConfig> ConfigTestContext::open()
{
    auto dialog = std::make_unique<frmConfig>(context, nullptr);
    return dialog;
}

QStringList ConfigTestContext::refreshes() const
{
    QStringList found;
    for (const QString& line : ctx.logAt(5)) {
        if (line.startsWith(u"RefreshData("_s))
            found.append(line);
    }
    return found;
}

QString ConfigTestContext::autoStartPath() const
{
    return AutoStartEntry(AutoStartEntry::programName(), core.app.ProductName).path();
}
