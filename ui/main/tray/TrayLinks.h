// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class LogFrontEnd;
class ProviderLinks;
struct RunState;

// The click on one of the tray menu's provider links (itemName as "mnuPopup_QuollaMail"): logs
// which page opens, fills in the credentials (the web mail always, the others only with the
// password option) and opens it. Errors are passed over. False for a name that is no link item.
bool openTrayLink(const QString& itemName, const RunState& run, ProviderLinks& links, LogFrontEnd& log);
