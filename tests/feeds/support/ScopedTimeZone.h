// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <cstdlib>
#include <ctime>

// Sets TZ for one test and puts the previous value back afterwards.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char* zone) : m_hadValue(qEnvironmentVariableIsSet("TZ")), m_saved(qgetenv("TZ"))
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_hadValue)
            ::setenv("TZ", m_saved.constData(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool m_hadValue;
    QByteArray m_saved;
};
