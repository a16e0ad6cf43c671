// SPDX-License-Identifier: MIT
#pragma once

#include "JsonValue.h"
#include "RunTimeError.h"
#include "StatusSink.h"
#include "UsageDataState.h"

#include <QString>

#include <cstdint>
#include <optional>

// Reads the account part of a parsed usage reply into a UsageData state: product and plan, the
// connection, the quota's reset day, the traffic classes and the off-peak hours. Lines go out as
// "Pelborne.RetrieveData: ...". The read* steps raise RunTimeError where the reply lacks a level they
// need; the caller decides how each failure ends.
class UsageReply
{
public:
    UsageReply(UsageDataState& state, StatusSink status) : m(state), m_status(std::move(status)) {}

    void readProductAndPlan(const JsonValue& root);
    // The latest connection wins; its UTC start becomes local time.
    void readConnections(const JsonValue& root);
    void readAnniversary(const JsonValue& root);
    // A class that fails is reported and the next one is read.
    void readTrafficTypes(const JsonValue& root);
    void readOffpeakHours(const JsonValue& root);
    // False when the reply named none of quotas, usage, connection, reset day, plan and product.
    bool plausible() const;

    // Whole megabytes of a byte count given as a JSON number or numeric text; 0 when it is no
    // number. Raises "Overflow" (6) beyond 32 bits.
    static int32_t quotaMegabytes(const JsonValue& allocation);
    // A shaped flag as the provider writes it for either class: 1, "1", true or "true".
    static bool isShaped(const JsonValue& flag);
    // A UTC "yyyy-mm-dd HH:mm:ss" as the system zone shows it; nullopt when the text is no date.
    static std::optional<LocalDateTime> utcToLocal(const QString& utcText);

private:
    void raise(const QString& text, int16_t level) const;
    void readTrafficType(const JsonValue& entry);
    void reportQuotaDataError(const RunTimeError& error) const;
    // quotaMegabytes, or 0 (no quota) after reporting an overflow.
    int32_t quotaOrNone(const JsonValue& allocation) const;
    // The first two characters of an hour text as an hour; nullopt (reported) when missing or not
    // numeric.
    std::optional<int16_t> readHour(const JsonValue& root, const QString& key, const QString& what);

    UsageDataState& m;
    StatusSink m_status;
};
