// SPDX-License-Identifier: MIT
#pragma once

#include "Sarnick/Identifiers.h"

#include <QString>

namespace Sarnick {

// Sarnick's own version, major.minor.revision: what the program's about box and diagnostic report ask
// for by creating "Sarnick.General" by name.
class _General
{
public:
    static constexpr Guid InterfaceId = ::Sarnick::InterfaceId::_General;

    virtual QString szVersion() const = 0;

protected:
    ~_General() = default;
};

} // namespace Sarnick
