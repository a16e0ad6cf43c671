// SPDX-License-Identifier: MIT
#include "ProviderLinks.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "WindowSeam.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
const QString LoginQuery = u"?username=qoUID&password=qoPWD&submit=Log%20In&action=login"_s;
const QString FeedPath = u"/cgi-bin/new/volume_usage_xml.cgi?username=qoUID&action=login&password=qoPWD"_s;
const QString CrLf = u"\r\n"_s;

QString https(const QString& host, const QString& pathAndQuery)
{
    return u"https://"_s + host + pathAndQuery;
}

QString http(const QString& host, const QString& pathAndQuery)
{
    return u"http://"_s + host + pathAndQuery;
}

QString webmail(const QString& host, const QString& mailServer)
{
    return https(host, u"/index.php/mail/auth/processlogin?action=login&requestedServer="_s + mailServer +
                           u"&emailDomain=&emailName=qoUID&password=qoPWD"_s);
}

// Replaces the first occurrence, compared without regard to case.
QString replaceFirst(const QString& text, const QString& placeholder, const QString& value)
{
    const qsizetype at = text.indexOf(placeholder, 0, Qt::CaseInsensitive);
    if (at < 0)
        return text;
    QString result = text;
    return result.replace(at, placeholder.size(), value);
}

// Credentials go into a query or an authority, where "&", "@", ":" or a blank would break the link.
QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}
} // namespace

const std::array<ProviderLinks::LinkSpec, 8>& ProviderLinks::linkSpecs()
{
    static const std::array<LinkSpec, 8> specs{{
        {&RunState::URLConnections, "URLConnections", "connection history"},
        {&RunState::URLVolumeUsage, "URLVolumeUsage", "volume usage"},
        {&RunState::URLXMLUsage, "URLXMLUsage", "XML feed"},
        {&RunState::URLFaults, "URLFaults", "network status"},
        {&RunState::URLToolbox, "URLToolbox", "toolbox"},
        {&RunState::URLMail, "URLMail", "webmail"},
        {&RunState::URLPhoneWait, "URLPhoneWait", "call waiting"},
        {&RunState::URLSMS, "URLSMS", "SMS"},
    }};
    return specs;
}

ProviderLinks::ProviderLinks(const AppInfo& app, const Settings& settings, RunState& run, RegistryAccess& registry,
                             LogFrontEnd& log, WindowSeam& window, Opener opener, Hosts hosts)
    : m_app(app), m_settings(settings), m_run(run), m_registry(registry), m_log(log), m_window(window),
      m_opener(std::move(opener)), m_hosts(std::move(hosts))
{}

ProviderLinks::ProviderLinks(const AppInfo& app, const Settings& settings, RunState& run, RegistryAccess& registry,
                             LogFrontEnd& log, WindowSeam& window, Opener opener)
    : ProviderLinks(app, settings, run, registry, log, window, std::move(opener), Hosts())
{}

QString ProviderLinks::menuCaption(int16_t accountType)
{
    return GetAccountTypeName(accountType) + u" &Web"_s;
}

void ProviderLinks::setDefaults(int16_t accountType)
{
    const Hosts& h = m_hosts;
    RunState& r = m_run;
    switch (accountType) {
    case 0:
        r.URLConnections = https(h.quollaPortal2, u"/broadband/connectionhistory/"_s);
        r.URLVolumeUsage = https(h.quollaPortal2, u"/broadband/volumeusage/"_s);
        r.URLFaults = http(h.quollaWeb, u"/status/"_s);
        r.URLToolbox = https(h.quollaPortal2, u"/"_s);
        r.URLMail = webmail(h.quollaWebmail, h.quollaMailServer);
        r.URLPhoneWait = https(h.quollaPortal, u"/cgi-bin/callwaiting.cgi"_s);
        r.URLSMS.clear();
        break;
    case 1:
    case 3:
        r.URLConnections = https(h.brindlePortal, u"/cgi-bin/chistory.cgi"_s + LoginQuery);
        r.URLVolumeUsage = https(h.brindlePortal, u"/cgi-bin/volumegraphs.cgi"_s + LoginQuery);
        r.URLFaults = http(h.brindleWeb, u"/status/"_s);
        r.URLToolbox = https(h.brindlePortal, u"/"_s + LoginQuery);
        r.URLMail = webmail(h.quollaWebmail, accountType == 1 ? h.brindleMailServer : h.quollaMailServer);
        r.URLPhoneWait = accountType == 1 ? https(h.quollaPortal, u"/cgi-bin/callwaiting.cgi"_s) : QString();
        r.URLSMS.clear();
        break;
    case 2:
        r.URLConnections = https(h.corvoPortal, u"/cgi-bin/chistory.cgi"_s + LoginQuery);
        r.URLVolumeUsage = https(h.corvoPortal, u"/cgi-bin/volumegraphs.cgi"_s + LoginQuery);
        r.URLFaults.clear();
        r.URLToolbox = https(h.corvoPortal, u"/"_s + LoginQuery);
        r.URLMail = webmail(h.quollaWebmail, h.corvoMailServer);
        r.URLPhoneWait.clear();
        r.URLSMS.clear();
        break;
    case 4:
        r.URLConnections = https(h.emberlyAccount, u"/cgi-bin/new/chistory.cgi"_s + LoginQuery);
        r.URLVolumeUsage = https(h.emberlyAccount, u"/cgi-bin/volumegraphs.cgi"_s + LoginQuery);
        r.URLFaults = http(h.emberlyWeb, u"/help/outage/"_s);
        r.URLToolbox = https(h.emberlyAccount, u"/"_s + LoginQuery);
        r.URLMail = https(h.emberlyWebmail, u"/"_s);
        r.URLPhoneWait.clear();
        r.URLSMS.clear();
        r.URLXMLUsage = https(h.emberlyAccount, FeedPath);
        break;
    default:
        m_log.LogMessage(u"SetURLs: invalid account type: "_s + QString::number(accountType), 3);
        break;
    }
}

void ProviderLinks::applyOverride(const LinkSpec& spec)
{
    const QString name = QString::fromLatin1(spec.valueName);
    const QString word = QString::fromLatin1(spec.logWord);
    QString value;
    QString scope;
    if (m_registry.GetRegValue(HKEY_CURRENT_USER, m_app.profileKey(m_run.ProfileNumber), name, value))
        scope = u"profile"_s;
    else if (m_registry.GetRegValue(HKEY_CURRENT_USER, m_app.appKey(), name, value))
        scope = u"global"_s;
    else
        return;
    m_run.*spec.member = value;
    m_log.LogMessage(u"SetURLs: using overriding "_s + scope + u' ' + word + u" URL"_s, 6);
    m_log.LogMessage(u"SetURLs: "_s + value, 6);
}

void ProviderLinks::SetURLs()
{
    try {
        m_log.LogMessage(u"calling SetURLs(profile="_s + QString::number(m_run.ProfileNumber) + u", accounttype="_s +
                             QString::number(m_settings.AccountType) + u')',
                         3);
        m_log.LogMessage(u"SetURLs: account type: "_s + GetAccountTypeName(m_settings.AccountType), 5);
        m_run.URLXMLUsage = https(m_hosts.quollaPortal, FeedPath);
        setDefaults(m_settings.AccountType);
        for (const LinkSpec& spec : linkSpecs())
            applyOverride(spec);
        m_window.linksChanged();
    } catch (const RunTimeError& error) {
        m_log.LogMessage(u"Error while setting URLs:"_s + CrLf + u'[' + QString::number(error.number()) + u"] "_s +
                             error.description(),
                         1);
    }
}

QString ProviderLinks::URLSubstitute(const QString& link, bool always)
{
    m_log.LogMessage(u"calling URLSubstitute"_s, 4);
    QString result = link;
    if (always || m_settings.hasOption(OptionFlag::PwdToolbox)) {
        m_log.LogMessage(u"URLSubstitute: substituting qoUID/qoPWD"_s, 6);
        result = replaceFirst(result, u"qoUID"_s, encoded(m_settings.Username));
        result = replaceFirst(result, u"qoPWD"_s, encoded(m_settings.Password));
    } else {
        m_log.LogMessage(u"URLSubstitute: stripping parameters from URL"_s, 6);
        const qsizetype query = result.indexOf(u'?');
        if (query >= 0)
            result.truncate(query);
        result = replaceFirst(result, u"qoUID:qoPWD@"_s, QString());
    }
    return result;
}

QString ProviderLinks::masked(const QString& link) const
{
    QString result = link;
    if (!m_settings.Password.isEmpty()) {
        result.replace(m_settings.Password, u"*****"_s);
        // URLSubstitute put the password in percent-encoded.
        const QString encodedPassword = encoded(m_settings.Password);
        if (encodedPassword != m_settings.Password)
            result.replace(encodedPassword, u"*****"_s);
    }
    return result;
}

void ProviderLinks::ExecuteLink(const QString& link)
{
    m_log.LogMessage(u"ExecuteLink: "_s + masked(link), 6);
    if (link.isEmpty()) {
        m_log.LogMessage(u"ExecuteLink called with empty URL"_s, 3);
        return;
    }
    QString target = link;
    if (m_run.IsWine) {
        m_log.LogMessage(u"ExecuteLink: detected Wine, using 'winebrowser' to execute link"_s, 6);
        target = u"winebrowser "_s + link;
    }
    m_window.setBusyPointer(true);
    // The desktop only says yes or no; the codes are those of the shell's open operation:
    // above 32 success, 31 "no application is associated".
    const int result = m_opener && m_opener(target) ? 42 : 31;
    if (result > 32) {
        m_log.LogMessage(u"ExecuteLink: return value: "_s + QString::number(result) + u" (OK)"_s, 6);
    } else {
        m_log.LogMessage(u"ExecuteLink: ShellExecute failed with return code: "_s + QString::number(result), 3);
        const QString kind = link.startsWith(u"http"_s)     ? u"browser"_s
                             : link.startsWith(u"mailto"_s) ? u"mail client"_s
                                                            : u"application handling those files"_s;
        m_log.LogMessage(u"Error "_s + QString::number(result) + u" opening link to "_s + masked(link) + CrLf +
                             u"Check that your "_s + kind + u" is correctly installed"_s,
                         1);
    }
    m_window.setBusyPointer(false);
}
