// SPDX-License-Identifier: MIT
// Sarnick's class table and its four entry points, the only symbols the library exports. Its
// clsWinHTTP is private and not in the table.
#include "ComExport.h"
#include "ComServer.h"
#include "FileVersionInfoObject.h"
#include "GeneralObject.h"
#include "Sarnick/FileVersionInfoInterface.h"
#include "Sarnick/GeneralInterface.h"
#include "UsageData.h"

namespace {
std::unique_ptr<ComObject> makeUsageData()
{
    return std::make_unique<Sarnick::UsageData>();
}

std::unique_ptr<ComObject> makeGeneral()
{
    return std::make_unique<GeneralObject<Sarnick::_General>>(QStringLiteral(TALLY_COMPONENT_VERSION));
}

std::unique_ptr<ComObject> makeFileVersionInfo()
{
    return std::make_unique<FileVersionInfoObject<Sarnick::_clsFileVersionInfo>>();
}

const ComClassEntry Classes[] = {
    {Sarnick::ClassId::UsageData, Sarnick::ProgId::UsageData, Sarnick::InterfaceId::_UsageData, &makeUsageData},
    {Sarnick::ClassId::General, Sarnick::ProgId::General, Sarnick::InterfaceId::_General, &makeGeneral},
    {Sarnick::ClassId::clsFileVersionInfo, Sarnick::ProgId::clsFileVersionInfo,
     Sarnick::InterfaceId::_clsFileVersionInfo, &makeFileVersionInfo},
};

// Loading the library makes its classes known to the process's component runtime.
ComServer Server({QLatin1StringView(Sarnick::Title), Sarnick::LibraryId, QLatin1StringView(Sarnick::LibraryVersion),
                  QLatin1StringView(Sarnick::LibraryHelpString)},
                 Classes);
} // namespace

TALLY_COM_SERVER_ENTRY_POINTS(Server)
