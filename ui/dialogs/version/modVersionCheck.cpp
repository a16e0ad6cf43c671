// SPDX-License-Identifier: MIT
#include "modVersionCheck.h"

#include "AppInfo.h"
#include "AutoStartEntry.h"
#include "Dates.h"
#include "LocalDateTime.h"
#include "LogFrontEnd.h"
#include "OSVer.h"
#include "ProgramExit.h"
#include "ProviderLinks.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "VersionReply.h"
#include "WindowSeam.h"
#include "clsWinHTTP.h"
#include "frmVersionCheck.h"

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <array>

using namespace Qt::StringLiterals;

namespace {
// The platform's generic failure code; a set-up step that reports it is passed over.
constexpr int32_t kGenericFailure = int32_t(0x80004005u);

const QString versionPath = u"/software/Tallyroo/version/"_s;
const QString productPath = u"/software/Tallyroo/"_s;
const QString lastCheckValue = u"VerCheckLast"_s;

// The program's loaded windows are top-level widgets; the options dialog is found by its name.
QLabel* optionsStatusLabel()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName() == u"frmConfig"_s && window->isVisible()) {
            if (auto* status = window->findChild<QLabel*>(u"lblStatus"_s))
                return status;
        }
    }
    return nullptr;
}

// A check the user starts while the options dialog is open comes from its Check Now (the dialog is
// modal): that check reports to the dialog, and the dialog's Abort and Cancel stop it. The other
// checks (at start-up, hourly, from the Help menu) neither clear nor read VerCheckAbort, so an
// abort meant for one check never silences another, nor is it undone by one that starts later.
bool belongsToOptions(bool bBackground)
{
    return !bBackground && optionsStatusLabel() != nullptr;
}

int16_t boxMode(bool bBackground)
{
    // A background check's box follows the quiet rules; one the user asked for always shows.
    return bBackground ? int16_t(-1) : int16_t(0);
}

QString versionText(int major, int minor, int revision)
{
    return QString::number(major) + u'.' + QString::number(minor) + u'.' + QString::number(revision);
}

// One set-up step of a fetch: the generic failure is passed over, any other error ends the check.
bool retrieveStep(const std::function<void()>& step, QString& szErr)
{
    try {
        step();
    } catch (const RunTimeError& error) {
        if (error.number() == kGenericFailure)
            return true;
        szErr = u"Retrieve error: HTTP "_s + error.text();
        return false;
    }
    return true;
}
} // namespace

// The site is asked over TLS: its reply tells the user what to install, and the request carries
// the user's settings.
modVersionCheck::modVersionCheck(const VersionCheckContext& context)
    : m_ctx(context), m_siteBase(AppInfo::productSite().chopped(1)), m_presenter(presentDialog)
{}

void modVersionCheck::setSiteBase(const QString& base)
{
    m_siteBase = base;
}

QString modVersionCheck::versionPageAddress() const
{
    return m_siteBase + versionPath;
}

QString modVersionCheck::productPageAddress() const
{
    return m_siteBase + productPath + u"?src="_s + QString::fromLatin1(QUrl::toPercentEncoding(m_ctx.app.ProductName));
}

void modVersionCheck::presentDialog(std::unique_ptr<frmVersionCheck> dialog, bool bBackground)
{
    if (bBackground) {
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowState(Qt::WindowNoState);
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
        (void)dialog.release(); // the dialog deletes itself when closed
        return;
    }
    dialog->exec();
}

void modVersionCheck::setDialogPresenter(DialogPresenter presenter)
{
    m_presenter = presenter ? std::move(presenter) : DialogPresenter(presentDialog);
}

void modVersionCheck::setOptionsStatus(const QString& text) const
{
    // Looked up afresh: the dialog may have closed while the fetch let events run.
    if (QLabel* status = optionsStatusLabel())
        status->setText(text);
}

bool modVersionCheck::checkedRecently()
{
    QString stored;
    if (!m_ctx.registry.GetRegValue(HKEY_CURRENT_USER, m_ctx.app.profileKey(m_ctx.run.ProfileNumber), lastCheckValue,
                                    stored)) {
        m_ctx.log.LogMessage(u"DoVersionCheck: last check time not found"_s, 6);
        return false;
    }
    LocalDateTime last;
    QString szErr;
    if (!myCDate(stored, last, szErr, m_ctx.log.dateSink())) {
        m_ctx.log.LogMessage(u"DoVersionCheck: invalid last check time: "_s + stored, 6);
        return false;
    }
    m_ctx.log.LogMessage(u"DoVersionCheck: last check was at "_s + last.toString(), 6);
    if (last.secondsTo(m_ctx.clock.now()) >= startupQuietSeconds)
        return false;
    m_ctx.log.LogMessage(
        u"DoVersionCheck: last version check was < "_s + QString::number(startupQuietSeconds) + u" seconds ago"_s, 6);
    m_ctx.log.LogMessage(u"skipping startup version check"_s, 2);
    return true;
}

void modVersionCheck::DoVersionCheck(bool bBackground, bool bStartup)
{
    try {
        const bool showStatus = belongsToOptions(bBackground);
        m_ctx.log.LogMessage(u"calling DoVersionCheck"_s, 3);
        if (bStartup && checkedRecently())
            return;

        m_ctx.log.LogMessage(u"DoVersionCheck: performing "_s + (bBackground ? u"background "_s : QString()) +
                                 u"version check"_s + (bStartup ? u" at startup"_s : QString()),
                             5);
        if (showStatus)
            m_ctx.run.VerCheckAbort = false;
        m_ctx.log.LogMessage(
            u"checking for new version availability"_s + (bBackground ? u" (bg)"_s : QString()) + u"..."_s, 2);
        if (showStatus)
            setOptionsStatus(u"checking for new version availability..."_s);

        bool newer = false;
        QString latest;
        QString notes;
        QString szErr;
        const int16_t result = VersionCheck(versionPageAddress(), bBackground, bStartup, newer, latest, notes, szErr);
        if (result == 0) {
            reportFailure(szErr, bBackground, showStatus);
            return;
        }
        if (result != 1)
            return;

        const QString now = m_ctx.clock.now().toString();
        m_ctx.log.LogMessage(u"DoVersionCheck: check successful, updating last check time to "_s + now, 6);
        QString writeErr;
        m_ctx.registry.WriteRegStringValue(HKEY_CURRENT_USER, m_ctx.app.profileKey(m_ctx.run.ProfileNumber),
                                           lastCheckValue, now, writeErr);

        if (newer) {
            const QString text = u"new version available: "_s + latest;
            m_ctx.log.LogMessage(text, 2);
            if (showStatus)
                setOptionsStatus(text);
            auto dialog = std::make_unique<frmVersionCheck>(m_ctx.app, m_ctx.links);
            dialog->ShowVersionInfo(latest, notes, productPageAddress());
            m_presenter(std::move(dialog), bBackground);
            return;
        }

        const QString text = u"no new version available (latest is "_s + latest + u')';
        m_ctx.log.LogMessage(text, 2);
        if (bBackground)
            return;
        if (showStatus)
            setOptionsStatus(text);
        m_ctx.window.messageBox(u"No updates for "_s + m_ctx.app.ProductName + u" are available at this time."_s,
                                m_ctx.app.Title, BoxIcon::Information, BoxButtons::Ok);
    } catch (const RunTimeError& error) {
        m_ctx.log.LogMessage(u"version check failed: "_s + error.text(), 1, boxMode(bBackground));
    }
}

void modVersionCheck::reportFailure(const QString& szErr, bool bBackground, bool showStatus)
{
    const QString text = u"version check failed: "_s + szErr;
    m_ctx.log.LogMessage(text, 2);
    if (showStatus)
        setOptionsStatus(text);
    m_ctx.log.LogMessage(u"The version check failed with the following error: \r\n"_s + szErr +
                             u"\r\n\r\nPlease try again later."_s,
                         1, boxMode(bBackground));
}

bool modVersionCheck::startsWithDesktop()
{
    return AutoStartEntry(AutoStartEntry::programName(), m_ctx.app.ProductName).exists();
}

QString modVersionCheck::userAgent(bool bBackground, bool bStartup)
{
    const Settings& s = m_ctx.settings;
    const QString kind = bStartup ? u"s"_s : bBackground ? u"a"_s : u"m"_s;
    const int32_t interval = bBackground && !bStartup ? s.VerCheckInterval : -1;
    const int32_t refreshMinutes = s.hasOption(OptionFlag::AutoRefresh) ? s.Interval : 0;
    const QStringList fields{
        OSVerString() + (m_ctx.run.IsWine ? u" on Wine"_s : QString()),
        kind,
        QString::number(interval),
        QString::number(s.VerCheckOptions),
        QString::number(s.OptionFlags),
        QString::number(refreshMinutes),
        QString::number(s.GraphTeeOptions),
        startsWithDesktop() ? u"1"_s : u"0"_s,
        s.UseJSONFeed ? u"2"_s : u"1"_s,
    };
    return m_ctx.app.ProductName + u' ' + versionText(m_ctx.app.Major, m_ctx.app.Minor, m_ctx.app.Revision) + u" ("_s +
           fields.join(u';') + u')';
}

int16_t modVersionCheck::VersionCheck(const QString& address, bool bBackground, bool bStartup, bool& newer,
                                      QString& latest, QString& notes, QString& szErr)
{
    // Whatever happens below, a reply that was not understood never reads as a newer version.
    newer = false;
    const Settings& s = m_ctx.settings;
    LogFrontEnd& log = m_ctx.log;
    const bool abortable = belongsToOptions(bBackground);
    // The user asked for no result, or the program is ending: nothing is shown or stored.
    const auto stopped = [&] { return (abortable && m_ctx.run.VerCheckAbort) || ProgramExit::begun(); };
    // No status sink: the transport's own progress lines stay out of the log during a check.
    clsWinHTTP http(u"Sarnick"_s);
    QString body;

    const bool setUp =
        retrieveStep(
            [&] {
                if (s.UseProxy) {
                    log.LogMessage(
                        u"VersionCheck: using proxy server: "_s + (s.Proxy.isEmpty() ? u"(none)"_s : s.Proxy), 6);
                    log.LogMessage(u"VersionCheck: using proxy username: "_s +
                                       (s.ProxyUID.isEmpty() ? u"(none)"_s : s.ProxyUID),
                                   6);
                    http.szProxy = s.Proxy;
                    http.szProxyUID = s.ProxyUID;
                    http.szProxyPWD = s.ProxyPWD;
                } else {
                    log.LogMessage(u"VersionCheck: proxy server not configured, or disabled"_s, 6);
                }
            },
            szErr) &&
        retrieveStep([&] { http.szUserAgent = userAgent(bBackground, bStartup); }, szErr);
    if (!setUp)
        return 0;

    bool fetched = false;
    QString fetchError;
    QString fetchDetail;
    const bool attempted = retrieveStep(
        [&] { fetched = http.HTTPFetch(u"GET"_s, address, QString(), s.Timeout, fetchError, fetchDetail, body); },
        szErr);
    if (attempted && fetched)
        log.LogMessage(u"VersionCheck: WinHTTP version info fetch completed successfully"_s, 6);
    // Abort was pressed (or Exit) while the fetch waited: whatever the fetch came to, the user asked
    // for no result, and a failure box would contradict the "aborted" status.
    if (stopped())
        return -1;
    if (!attempted)
        return 0;
    if (!fetched) {
        szErr = fetchDetail;
        return 0;
    }

    try {
        const VersionReply reply = VersionReply::fromBody(body);
        std::array<int16_t, 3> parts{};
        if (!VersionReply::parseVersion(reply.latest, parts)) {
            szErr = u"invalid version number: "_s + reply.latest;
            return 0;
        }
        const int32_t newNumber = VersionReply::versionNumber(parts[0], parts[1], parts[2]);
        const int32_t ownNumber = VersionReply::versionNumber(m_ctx.app.Major, m_ctx.app.Minor, m_ctx.app.Revision);
        log.LogMessage(u"VersionCheck: new version: "_s + QString::number(newNumber) + u" ("_s +
                           versionText(parts[0], parts[1], parts[2]) + u')',
                       6);
        log.LogMessage(u"VersionCheck: this version: "_s + QString::number(ownNumber) + u" ("_s +
                           versionText(m_ctx.app.Major, m_ctx.app.Minor, m_ctx.app.Revision) + u')',
                       6);
        latest = reply.latest;
        notes = reply.notes;
        newer = newNumber > ownNumber;
    } catch (const RunTimeError& error) {
        szErr = u"version info parse error: "_s + error.description();
        return 0;
    }

    if (stopped()) {
        newer = false;
        return -1;
    }
    return 1;
}
