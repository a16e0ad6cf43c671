// SPDX-License-Identifier: MIT
#pragma once

#include "Guid.h"
#include "LocalDateTime.h"

#include <memory>

// Offered by the UsageData objects of both components besides their own interface: the clock an
// object asks for "now" (the system clock unless set). The program hands its own clock to the
// objects it creates, so that it and the components agree on the time; tests fix it.
class ClockSeam
{
public:
    static constexpr Guid InterfaceId = Guid::literal("{9C04183A-CA73-4EE2-9ED7-28FE459DDF12}");

    // A null clock restores the system clock.
    virtual void setClock(std::shared_ptr<const Clock> clock) = 0;

protected:
    ~ClockSeam() = default;
};
