// SPDX-License-Identifier: MIT
#pragma once

#include "Pelborne/Identifiers.h"

#include <QString>

namespace Pelborne {

// Pelborne's own version, major.minor.revision: what the program's about box and diagnostic report ask
// for by creating "Pelborne.General" by name.
class _General
{
public:
    static constexpr Guid InterfaceId = ::Pelborne::InterfaceId::_General;

    virtual QString szVersion() const = 0;

protected:
    ~_General() = default;
};

} // namespace Pelborne
