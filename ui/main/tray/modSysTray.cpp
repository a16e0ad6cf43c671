// SPDX-License-Identifier: MIT
#include "modSysTray.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "TrayBackend.h"
#include "imgTray.h"

#include <QThread>

using namespace Qt::StringLiterals;

namespace {
const QString CrLf = u"\r\n"_s;
// The number and text the image list raises for a key it does not hold.
constexpr int32_t ElementNotFound = 35601;
} // namespace

modSysTray::modSysTray(const AppInfo& app, const RunState& run, LogFrontEnd& log, TrayBackend& backend, Sleep sleep)
    : m_app(app), m_run(run), m_log(log), m_backend(backend), m_sleep(std::move(sleep))
{
    if (!m_sleep)
        m_sleep = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
}

QString modSysTray::logText(const QString& tip)
{
    QString text = tip;
    return text.replace(CrLf, u"\\n"_s);
}

QString modSysTray::trayText(const QString& tip)
{
    if (tip.size() <= ToolTipLimit)
        return tip;
    qsizetype length = ToolTipLimit;
    // Never leave half of a character made of two code units.
    if (tip.at(length - 1).isHighSurrogate())
        --length;
    return tip.left(length);
}

bool modSysTray::hidden() const
{
    return (m_run.CmdLineFlags & CmdLineFlag::Hidden) != 0;
}

QIcon modSysTray::picture(const QString& key)
{
    if (!imgTray::keys().contains(key))
        throw RunTimeError(ElementNotFound, u"Element not found"_s, u"imgTray"_s);
    return imgTray::icon(key);
}

QString modSysTray::failureText(bool ok)
{
    // There is no last-error code of the platform behind a Qt tray icon; 0 keeps the line's form.
    return u"Shell_NotifyIcon failed with return value "_s + result(ok) + u" (GetLastError: 0, Err.LastDllError: 0)"_s;
}

void modSysTray::AddTrayIcon(const QString& key, const QString& tip)
{
    try {
        if (hidden()) {
            m_log.LogMessage(u"AddTrayIcon: running in hidden mode, skipping systray icon"_s, 20);
            return;
        }
        m_log.LogMessage(u"AddTrayIcon: tooltip: "_s + logText(tip), 20);
        m_lastTrayIcon = key;
        m_lastTrayToolTip = tip;
        const bool ok = m_backend.add(picture(key), trayText(tip));
        m_log.LogMessage(u"AddTrayIcon: Shell_NotifyIcon return value: "_s + result(ok), 20);
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error setting systray icon:"_s + CrLf + error.text(), 1);
    }
}

void modSysTray::ModifyTrayToolTip(const QString& tip)
{
    try {
        m_log.LogMessage(u"ModifyTrayToolTip: tooltip: "_s + logText(tip), 20);
        if (hidden())
            return;
        m_lastTrayToolTip = tip;
        const bool ok = m_backend.modifyTip(trayText(tip));
        m_log.LogMessage(u"ModifyTrayToolTip: Shell_NotifyIcon return value: "_s + result(ok), 20);
        if (!ok) {
            m_log.LogMessage(u"ModifyTrayToolTip: systray icon is gone...re-adding it"_s, 10);
            // The icon comes back as it was meant to look now: the last picture and the new tip.
            AddTrayIcon(m_lastTrayIcon.isEmpty() ? u"none_none"_s : m_lastTrayIcon, tip);
        }
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while setting systray tooltip:"_s + CrLf + error.text(), 1);
    }
}

void modSysTray::ModifyTrayIcon(const QString& key)
{
    try {
        m_log.LogMessage(u"ModifyTrayIcon: new icon"_s, 20);
        if (hidden()) {
            m_log.LogMessage(u"ModifyTrayIcon: running in hidden mode, so nothing to do"_s, 20);
            return;
        }
        m_lastTrayIcon = key;
        const QIcon icon = picture(key);
        bool ok = m_backend.modifyIcon(icon);
        m_log.LogMessage(u"ModifyTrayIcon: Shell_NotifyIcon return value: "_s + result(ok), 20);
        if (ok)
            return;
        m_log.LogMessage(u"ModifyTrayIcon: "_s + failureText(ok), 3);
        m_sleep(RetryDelayMs);
        ok = m_backend.modifyIcon(icon);
        m_log.LogMessage(u"ModifyTrayIcon: 2nd attempt: Shell_NotifyIcon return value: "_s + result(ok), 20);
        if (!ok)
            m_log.LogMessage(u"ModifyTrayIcon: 2nd attempt: "_s + failureText(ok), 3);
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while updating systray icon:"_s + CrLf + error.text(), 1);
    }
}

void modSysTray::RemoveTrayIcon()
{
    try {
        m_log.LogMessage(u"RemoveTrayIcon: removing icon"_s, 20);
        const bool ok = m_backend.remove();
        m_log.LogMessage(u"RemoveTrayIcon: Shell_NotifyIcon return value: "_s + result(ok), 20);
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while removing systray icon:"_s + CrLf + error.text(), 1);
    }
}

bool modSysTray::ShowTrayMessage(const QString& title, const QString& text)
{
    if (hidden())
        return false;
    try {
        m_log.LogMessage(u"ShowTrayMessage: "_s + title + u": "_s + logText(text), 20);
        const bool ok = m_backend.showMessage(title, text);
        m_log.LogMessage(u"ShowTrayMessage: Shell_NotifyIcon return value: "_s + result(ok), 20);
        return ok;
    } catch (const RunTimeError& error) {
        // What the notification was for is told again where the user next looks.
        m_log.LogMessage(u"Error while showing a systray notification:"_s + CrLf + error.text(), 2);
    }
    return false;
}

void modSysTray::taskbarCreated()
{
    m_log.LogMessage(u"WindowProc: detected taskbar restart, re-inserting systray icon"_s, 6);
    RemoveTrayIcon();
    // Before any icon was added there is nothing remembered: start as the program does.
    const QString key = m_lastTrayIcon.isEmpty() ? u"none_none"_s : m_lastTrayIcon;
    const QString tip = m_lastTrayIcon.isEmpty() && m_lastTrayToolTip.isEmpty() ? m_app.ProductName : m_lastTrayToolTip;
    AddTrayIcon(key, tip);
}
