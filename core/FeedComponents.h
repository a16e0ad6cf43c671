// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class Clock;
class LogFrontEnd;

namespace Pelborne {
class _UsageData;
}
namespace Sarnick {
class _UsageData;
}

// The two event-receiving slots, oJSON for Pelborne's UsageData and oXML for Sarnick's. A
// refresh creates a fresh object into the slot of its component for one operation and empties it
// again; while an object sits there its Status events go to the log (oJSON_Status, oXML_Status).
// Every object made here gets the program's clock, so the program and the components agree on
// "now". (The component interfaces stay out of this header: their value type names meet the
// history database's in the refresh cycle.)
class FeedComponents
{
public:
    FeedComponents(LogFrontEnd& log, const Clock& clock);
    ~FeedComponents();
    FeedComponents(const FeedComponents&) = delete;
    FeedComponents& operator=(const FeedComponents&) = delete;

    // A new object in the slot (replacing what was there). Throws RunTimeError 429 when the
    // component cannot be created, 430 when it lacks the interface.
    std::shared_ptr<Pelborne::_UsageData> newJSON();
    std::shared_ptr<Sarnick::_UsageData> newXML();
    // Disconnects and releases the slot's object; the object ends with its last reference.
    void releaseJSON();
    void releaseXML();

    bool hasJSON() const;
    bool hasXML() const;

    // CacheExpired of a fresh object of the JSON (else the XML) component, released at once.
    // Throws RunTimeError when the component cannot be created.
    bool CacheExpired(bool json, const QString& szUser);

    // Each Status line at its own level; no message box when quiet (the option or /Q).
    void oJSON_Status(const QString& szMsg, int16_t intDebug);
    void oXML_Status(const QString& szMsg, int16_t intDebug);

private:
    struct Slots;

    void logStatus(const QString& szMsg, int16_t intDebug);

    LogFrontEnd& m_log;
    std::shared_ptr<const Clock> m_clock;
    std::unique_ptr<Slots> m_slots;
};
