// SPDX-License-Identifier: MIT
#pragma once

#include "ComError.h"
#include "LocalDateTime.h"
#include "StatusSink.h"
#include "ToolboxAddress.h"
#include "TransportChoice.h"
#include "UsageDataState.h"

#include <QString>

#include <cstdint>
#include <memory>

// The part of a UsageData object that both components share: its state, the settings' puts with
// their rules, the cache folder settled at creation, the cache expiry and the user-name routines,
// all reporting through the object's Status event.
class UsageDataCommon
{
public:
    // The key whose "Path" both components share as their cache folder (and the program as its
    // data folder).
    static constexpr char CachePathKey[] = "Software\\Sarnick\\Config";
    // The range that intTimeout (seconds) is kept in.
    static constexpr int16_t ShortestTimeout = 2;
    static constexpr int16_t LongestTimeout = 600;

protected:
    // version: the component's major.minor.revision.
    UsageDataCommon(const QString& title, const QString& version);
    ~UsageDataCommon() = default;
    UsageDataCommon(const UsageDataCommon&) = delete;
    UsageDataCommon& operator=(const UsageDataCommon&) = delete;

    // Creation steps shared by both components, run once the object can raise events: where its
    // lines go and the toolbox address; later, once the creation values are set, the cache folder
    // (from "Path", else derived and written back through the szCachePath put).
    // relayTransport: the WinHTTP transport's own lines go out as the object's too.
    void initializeCommon(StatusSink status, bool relayTransport);
    void initializeCachePath();

    // "<title>.<procedure>: <text>" at the level.
    void raise(const QString& procedure, const QString& text, int16_t level) const;
    // A line exactly as given.
    void raisePlain(const QString& text, int16_t level) const;
    const StatusSink& status() const { return m_owner.status; }

    ComErrorResult putProfile(int16_t value);
    void putTimeout(int16_t value);
    void putCachePath(const QString& value);

    bool cacheExpired(const QString& szUser, bool bQuiet) const;
    QString cleanUsername(const QString& user) const;
    QString urlEncode(const QString& text) const;

    // The refused ToolboxURL, as a level-2 line, before an operation builds a request address.
    void reportToolboxRefusal() const;

    void setClock(std::shared_ptr<const Clock> clock);
    const Clock& clock() const { return *m_clock; }

    const QString& title() const { return m_owner.title; }
    const QString& configKey() const { return m_configKey; }
    // Title, version and Status event for the transports.
    const TransportOwner& owner() const { return m_owner; }
    const ToolboxAddress& toolbox() const { return m_toolbox; }

    UsageDataState m;

private:
    TransportOwner m_owner;
    QString m_configKey;
    ToolboxAddress m_toolbox;
    std::shared_ptr<const Clock> m_clock;
};
