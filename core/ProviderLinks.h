// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class LogFrontEnd;
class RegistryAccess;
class WindowSeam;
struct AppInfo;
struct RunState;
struct Settings;

// The provider's web pages for the account's brand (and the XML feed's address template), the
// user's overrides from the registry, the filling in of the user name and password, and the
// opening of a link in the desktop's browser or mail program.
class ProviderLinks
{
public:
    // Opens a target with the desktop; False when nothing could open it.
    // (Stands in for the shell's open operation: QDesktopServices::openUrl in the program.)
    using Opener = std::function<bool(const QString& target)>;

    // The brands' hosts. The paths and queries of the links are fixed; the hosts are ours.
    struct Hosts
    {
        QString quollaPortal = QStringLiteral("portal.quolla.example");
        QString quollaPortal2 = QStringLiteral("my.quolla.example");
        QString quollaWeb = QStringLiteral("www.quolla.example");
        QString quollaWebmail = QStringLiteral("webmail.quolla.example");
        QString quollaMailServer = QStringLiteral("mail.quolla.example");
        QString brindlePortal = QStringLiteral("portal.brindle.example");
        QString brindleWeb = QStringLiteral("www.brindle.example");
        QString brindleMailServer = QStringLiteral("mail.brindle.example");
        QString corvoPortal = QStringLiteral("portal.corvo.example");
        QString corvoMailServer = QStringLiteral("mail.corvo.example");
        QString emberlyAccount = QStringLiteral("account.emberly.example");
        QString emberlyWeb = QStringLiteral("www.emberly.example");
        QString emberlyWebmail = QStringLiteral("webmail.emberly.example");
    };

    // The eight links in override order, with the registry value name and the log word of each.
    struct LinkSpec
    {
        QString RunState::*member;
        const char* valueName;
        const char* logWord;
    };
    static const std::array<LinkSpec, 8>& linkSpecs();

    ProviderLinks(const AppInfo& app, const Settings& settings, RunState& run, RegistryAccess& registry,
                  LogFrontEnd& log, WindowSeam& window, Opener opener, Hosts hosts);
    ProviderLinks(const AppInfo& app, const Settings& settings, RunState& run, RegistryAccess& registry,
                  LogFrontEnd& log, WindowSeam& window, Opener opener);

    // Fills the links for the current profile's account type and applies the overrides (the
    // profile's key first, then the program's root key; an empty override removes a link).
    void SetURLs();
    // "<brand> &Web", "unknown &Web" for an account type out of range.
    static QString menuCaption(int16_t accountType);

    // The link to open: with the password option (or always) the user name and password
    // percent-encoded in place of the first qoUID and qoPWD; else the query and the
    // credentials part cut off.
    QString URLSubstitute(const QString& link, bool always);
    // Opens the link; the password never appears in the log or a message.
    void ExecuteLink(const QString& link);

    // The link with every occurrence of the password replaced by "*****".
    QString masked(const QString& link) const;

private:
    void setDefaults(int16_t accountType);
    void applyOverride(const LinkSpec& spec);

    const AppInfo& m_app;
    const Settings& m_settings;
    RunState& m_run;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
    WindowSeam& m_window;
    Opener m_opener;
    Hosts m_hosts;
};
