// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>

// Who the program is: its title (the registry and window-search name), the product name users
// see, and its version.
struct AppInfo
{
    QString Title;
    QString ProductName;
    int Major = 0;
    int Minor = 0;
    int Revision = 0;

    // This build of the program.
    static AppInfo current();

    // "Software\<Title>", where the logging values live.
    QString appKey() const;
    // "Software\<Title>\Config", the shared settings key.
    QString configKey() const;
    // The settings key of a profile: the shared key followed by the number, none for profile 0.
    QString profileKey(int16_t profileNumber) const;

    // The product's web site, ending in "/".
    static QString productSite();
    // A page of the product's site that is told where the visitor came from ("?src=" and the
    // product name).
    QString productPage(const QString& page) const;
};
