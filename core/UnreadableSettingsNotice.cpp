// SPDX-License-Identifier: MIT
#include "UnreadableSettingsNotice.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"

#include <QTimer>

using namespace Qt::StringLiterals;

UnreadableSettingsNotice::UnreadableSettingsNotice(const AppInfo& app, LogFrontEnd& log, bool deferred)
    : m_app(app), m_log(log), m_deferred(deferred)
{}

QString UnreadableSettingsNotice::text(const RegistryStore::Unreadable& damage, const QString& productName)
{
    return u"The settings file "_s + damage.file + u" cannot be read ("_s + damage.reason + u"). "_s + productName +
           u" goes on with the settings it last read, and changes are not saved until the file is mended."_s;
}

void UnreadableSettingsNotice::tell(const RegistryStore::Unreadable& damage)
{
    const QString report = text(damage, m_app.ProductName);
    // The file line whatever the log level: the level itself may be what the slip hit.
    if (!m_deferred) {
        m_log.LogReport(report, 1);
        return;
    }
    QTimer::singleShot(0, &m_context, [this, report] { m_log.LogReport(report, 1); });
}
