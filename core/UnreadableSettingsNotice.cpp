// SPDX-License-Identifier: MIT
#include "UnreadableSettingsNotice.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "WindowSeam.h"

#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

UnreadableSettingsNotice::UnreadableSettingsNotice(const AppInfo& app, LogFrontEnd& log, WindowSeam& window,
                                                   RegistryAccess& registry, bool deferred)
    : m_app(app), m_log(log), m_window(window), m_registry(registry), m_deferred(deferred)
{}

QString UnreadableSettingsNotice::text(const RegistryStore::Unreadable& damage, const QString& productName)
{
    return u"The settings file "_s + damage.file + u" cannot be read ("_s + damage.reason + u"). "_s + productName +
           u" goes on with the settings it last read, and changes are not saved until the file is mended."_s;
}

void UnreadableSettingsNotice::tell(const RegistryStore::Unreadable& damage)
{
    const QString notice = text(damage, m_app.ProductName);
    if (!m_deferred) {
        report(notice);
        return;
    }
    QTimer::singleShot(0, &m_context, [this, notice] { report(notice); });
}

void UnreadableSettingsNotice::report(const QString& notice)
{
    // The file line whatever the log level: the level itself may be what the slip hit. The box is
    // shown below, where the user can see it.
    m_log.LogReport(notice, 1, 1);
    if (m_log.quiet())
        return;
    // Before the main window is loaded a box stands on its own.
    if (!m_window.isFormLoaded() || m_window.isMainWindowInView()) {
        m_log.ShowLogMessage(notice, 0);
        return;
    }
    const bool alreadyWaiting = m_waiting.has_value();
    m_waiting = notice;
    m_window.ShowTrayMessage(m_app.ProductName, notice);
    if (!alreadyWaiting)
        m_window.whenMainWindowInView([this] { showWaiting(); });
}

void UnreadableSettingsNotice::showWaiting()
{
    const std::optional<QString> notice = std::exchange(m_waiting, std::nullopt);
    // A file mended meanwhile leaves nothing to tell; one that breaks again is told on its own.
    if (!notice || !m_registry.settingsFileUnreadable() || m_log.quiet())
        return;
    m_log.ShowLogMessage(*notice, 0);
}
