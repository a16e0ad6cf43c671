// SPDX-License-Identifier: MIT
// Pelborne's class table and its four entry points, the only symbols the library exports.
#include "ComExport.h"
#include "ComServer.h"
#include "FileVersionInfoObject.h"
#include "GeneralObject.h"
#include "Pelborne/FileVersionInfoInterface.h"
#include "Pelborne/GeneralInterface.h"
#include "UsageData.h"
#include "WinHttpObject.h"

using namespace Qt::StringLiterals;

namespace {
template <class T, class... Args>
std::unique_ptr<ComObject> make(Args... args)
{
    return std::make_unique<T>(args...);
}

std::unique_ptr<ComObject> makeGeneral()
{
    return std::make_unique<GeneralObject<Pelborne::_General>>(QStringLiteral(TALLY_COMPONENT_VERSION));
}

const ComClassEntry Classes[] = {
    {Pelborne::ClassId::UsageData, Pelborne::ProgId::UsageData, Pelborne::InterfaceId::_UsageData,
     &make<Pelborne::UsageData>},
    {Pelborne::ClassId::General, Pelborne::ProgId::General, Pelborne::InterfaceId::_General, &makeGeneral},
    {Pelborne::ClassId::clsFileVersionInfo, Pelborne::ProgId::clsFileVersionInfo,
     Pelborne::InterfaceId::_clsFileVersionInfo, &make<FileVersionInfoObject<Pelborne::_clsFileVersionInfo>>},
    {Pelborne::ClassId::clsWinHTTP, Pelborne::ProgId::clsWinHTTP, Pelborne::InterfaceId::_clsWinHTTP,
     &make<Pelborne::WinHttpObject>},
};

// Loading the library makes its classes known to the process's component runtime.
ComServer Server({QLatin1StringView(Pelborne::Title), Pelborne::LibraryId, QLatin1StringView(Pelborne::LibraryVersion),
                  QLatin1StringView(Pelborne::LibraryHelpString)},
                 Classes);
} // namespace

TALLY_COM_SERVER_ENTRY_POINTS(Server)
