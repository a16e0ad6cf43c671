// SPDX-License-Identifier: MIT
#include "CacheExpiry.h"

#include "Dates.h"
#include "RegistryRoutines.h"

#include <exception>

using namespace Qt::StringLiterals;

bool CacheExpired(const QString& title, const QString& szUser, bool bQuiet, const Clock& clock,
                  const StatusSink& status)
{
    const auto raise = [&](const QString& text, int16_t level) {
        if (status)
            status(title + u".CacheExpired: "_s + text, level);
    };
    try {
        QString stored;
        if (!GetRegValue(HKEY_CURRENT_USER, u"Software\\"_s + title + u"\\Config"_s, szUser, stored))
            return true;

        LocalDateTime lastRefresh;
        QString szErr;
        if (!myCDate(stored, lastRefresh, szErr)) {
            raise(u"invalid last refresh date: "_s + stored, 6);
            return true;
        }

        const int64_t age = lastRefresh.secondsTo(clock.now());
        if (!bQuiet) {
            raise(u"last refresh was: "_s + stored, 6);
            raise(u"time since last refresh: "_s + QString::number(age) + u" seconds"_s, 10);
            raise(u"minimum interval: "_s + QString::number(MinimumRefreshInterval) + u" seconds"_s, 10);
        }
        if (age < 0) {
            raise(u"last refresh date is in the future, ignoring it: "_s + stored, 2);
            return true;
        }
        if (age < MinimumRefreshInterval) {
            if (!bQuiet)
                raise(u"forcing cached read instead of fetch"_s, 6);
            return false;
        }
        return true;
    } catch (const std::exception&) {
        return true;
    }
}
