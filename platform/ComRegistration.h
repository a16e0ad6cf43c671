// SPDX-License-Identifier: MIT
#pragma once

#include "ComExport.h"
#include "Guid.h"

#include <QString>

#include <optional>

// The component libraries' entries in the classes root (the registry store behind
// HKEY_CLASSES_ROOT), as registration writes them and creation by name reads them:
//
//   [<ProgID>]                           @="<ProgID>"
//   [<ProgID>\CLSID]                     @="{class id}"
//   [CLSID\{class id}]                   @="<ProgID>"
//   [CLSID\{class id}\InProcServer32]    @="<library file>"
//   [CLSID\{class id}\ProgID]            @="<ProgID>"
//   [CLSID\{class id}\TypeLib]           @="{library id}"
//   [TypeLib\{library id}\<version>]     @="<help string>"
namespace ComRegistration {
TALLY_COM_API bool registerClass(const QString& progId, const Guid& classId, const Guid& libraryId,
                                 const QString& libraryPath);
// Removes what registerClass wrote; entries that are already gone count as removed.
TALLY_COM_API bool unregisterClass(const QString& progId, const Guid& classId);
TALLY_COM_API bool registerTypeLibrary(const Guid& libraryId, const QString& version, const QString& helpString);
TALLY_COM_API bool unregisterTypeLibrary(const Guid& libraryId, const QString& version);

// The class registered under a programmatic name.
TALLY_COM_API std::optional<Guid> classIdOf(const QString& progId);
// The library file registered for a class; empty when none.
TALLY_COM_API QString libraryPathOf(const Guid& classId);
} // namespace ComRegistration
