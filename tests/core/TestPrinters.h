// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"

#include <QString>

#include <ostream>

// Readable failure output for the core's values.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const Settings& s, std::ostream* os)
{
    *os << "{Options " << s.OptionFlags << ", Username " << s.Username.toStdString() << ", AccountType "
        << s.AccountType << ", Password " << s.Password.toStdString() << ", Interval " << s.Interval << ", UseProxy "
        << s.UseProxy << ", Proxy " << s.Proxy.toStdString() << ", ProxyUID " << s.ProxyUID.toStdString()
        << ", ProxyPWD " << s.ProxyPWD.toStdString() << ", StartupRefreshDelay " << s.StartupRefreshDelay
        << ", Timeout " << s.Timeout << ", SortDir " << s.SortDir << ", SortCol " << s.SortCol << ", UseJSONFeed "
        << s.UseJSONFeed << ", GraphTeeOptions " << s.GraphTeeOptions << ", VerCheckOptions " << s.VerCheckOptions
        << ", VerCheckInterval " << s.VerCheckInterval << '}';
}
