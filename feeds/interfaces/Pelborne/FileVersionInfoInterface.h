// SPDX-License-Identifier: MIT
#pragma once

#include "ComError.h"
#include "Pelborne/Identifiers.h"

#include <QString>

namespace Pelborne {

// Reads a file's version information. The members stand in the order of the published function
// table: FileName put, FileName get, FileVersion, ProductName.
class _clsFileVersionInfo
{
public:
    static constexpr Guid InterfaceId = ::Pelborne::InterfaceId::_clsFileVersionInfo;

    // Stores the path and loads its version information; the error (source "VersionInfo") when
    // the file has none. The path stays stored either way.
    [[nodiscard]] virtual ComErrorResult FileName(const QString& value) = 0;
    virtual QString FileName() const = 0;
    virtual QString FileVersion() const = 0;
    virtual QString ProductName() const = 0;

protected:
    ~_clsFileVersionInfo() = default;
};

} // namespace Pelborne
