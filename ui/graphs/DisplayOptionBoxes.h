// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// The graph window's three display check boxes as the chart builders see them. Setting a box
// to a new state runs its click handling, as a click would.
class DisplayOptionBoxes
{
public:
    virtual ~DisplayOptionBoxes() = default;

    virtual bool uploadsEnabled() const = 0;
    virtual void setUploadsEnabled(bool enabled) = 0;
    virtual void setUploadsChecked(bool checked) = 0;
    virtual void setAverageChecked(bool checked) = 0;
    virtual void setTargetChecked(bool checked) = 0;
};

// Bits of Settings::GraphTeeOptions.
namespace GraphOption {
inline constexpr int16_t Uploads = 1;
inline constexpr int16_t Average = 8;
inline constexpr int16_t Target = 16;
} // namespace GraphOption
