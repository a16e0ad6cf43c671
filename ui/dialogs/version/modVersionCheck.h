// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class Clock;
class LogFrontEnd;
class ProviderLinks;
class RegistryAccess;
class WindowSeam;
class frmVersionCheck;
struct AppInfo;
struct RunState;
struct Settings;

struct VersionCheckContext
{
    const AppInfo& app;
    const Settings& settings;
    RunState& run;
    LogFrontEnd& log;
    RegistryAccess& registry;
    const Clock& clock;
    ProviderLinks& links;
    WindowSeam& window;
};

// Asks the program's web site for the latest version and tells the user when it is newer than
// this one. A check is one blocking call; the fetch keeps the events running meanwhile.
class modVersionCheck
{
public:
    // Shows a filled dialog: modal for a check the user asked for, without waiting in the
    // background. Tests replace it so nothing blocks.
    using DialogPresenter = std::function<void(std::unique_ptr<frmVersionCheck> dialog, bool bBackground)>;

    // A start-up check within this many seconds of the last successful one is skipped.
    static constexpr int64_t startupQuietSeconds = 7200;

    explicit modVersionCheck(const VersionCheckContext& context);

    void DoVersionCheck(bool bBackground, bool bStartup);
    // 1: read and understood (newer, latest and notes set); 0: failed (szErr set); -1: aborted.
    int16_t VersionCheck(const QString& address, bool bBackground, bool bStartup, bool& newer, QString& latest,
                         QString& notes, QString& szErr);

    // Scheme, host and optional port without a trailing "/".
    void setSiteBase(const QString& base);
    QString versionPageAddress() const;
    QString productPageAddress() const;
    // The User-Agent of a check: our version, the system and a few of the user's settings.
    QString userAgent(bool bBackground, bool bStartup);

    void setDialogPresenter(DialogPresenter presenter);
    // The presenter a check has unless another is set: a background dialog shown without waiting,
    // any other run modal to the whole program.
    static void presentDialog(std::unique_ptr<frmVersionCheck> dialog, bool bBackground);

private:
    bool checkedRecently();
    void reportFailure(const QString& szErr, bool bBackground, bool showStatus);
    void setOptionsStatus(const QString& text) const;
    bool startsWithDesktop();

    VersionCheckContext m_ctx;
    QString m_siteBase;
    DialogPresenter m_presenter;
};
