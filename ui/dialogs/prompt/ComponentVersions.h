// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// The version texts the about box lists, one function per component. Each returns the
// component's own fallback text when the component cannot be asked.
struct ComponentVersions
{
    std::function<QString()> SarnickVer;
    std::function<QString()> PelborneVer;
    std::function<QString()> LoggerVer;
    std::function<QString()> TeeChartVer;
    std::function<QString()> qoSQLVer;
};
