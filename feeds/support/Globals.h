// SPDX-License-Identifier: MIT
#pragma once

// There is no development-environment mode: the deliverables always run as built, so the
// branches that would test for one stay inactive.
constexpr bool InIDE()
{
    return false;
}
