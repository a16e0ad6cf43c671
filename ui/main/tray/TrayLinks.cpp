// SPDX-License-Identifier: MIT
#include "TrayLinks.h"

#include "LogFrontEnd.h"
#include "ProviderLinks.h"
#include "RunState.h"
#include "RunTimeError.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {
struct TrayLink
{
    QString itemName;
    QString logLine;
    QString RunState::*link;
    bool always;
};

const std::array<TrayLink, 7>& trayLinks()
{
    static const std::array<TrayLink, 7> links{{
        {u"mnuPopup_QuollaConnections"_s, u"executing Connection History URL"_s, &RunState::URLConnections, false},
        {u"mnuPopup_QuollaSMS"_s, u"executing SMS URL"_s, &RunState::URLSMS, false},
        {u"mnuPopup_QuollaFault"_s, u"executing Network Fault URL"_s, &RunState::URLFaults, false},
        {u"mnuPopup_QuollaPhone"_s, u"executing Support Call Waiting Stats URL"_s, &RunState::URLPhoneWait, false},
        {u"mnuPopup_QuollaToolbox"_s, u"executing Toolbox URL"_s, &RunState::URLToolbox, false},
        {u"mnuPopup_QuollaVolume"_s, u"executing Volume Usage URL"_s, &RunState::URLVolumeUsage, false},
        {u"mnuPopup_QuollaMail"_s, u"executing Web Mail URL"_s, &RunState::URLMail, true},
    }};
    return links;
}
} // namespace

bool openTrayLink(const QString& itemName, const RunState& run, ProviderLinks& links, LogFrontEnd& log)
{
    for (const TrayLink& entry : trayLinks()) {
        if (entry.itemName != itemName)
            continue;
        try {
            log.LogMessage(entry.logLine, 3);
            links.ExecuteLink(links.URLSubstitute(run.*entry.link, entry.always));
        } catch (const RunTimeError&) {
            // A link that cannot be opened is no reason to trouble the user from the tray.
        }
        return true;
    }
    return false;
}
