// SPDX-License-Identifier: MIT
#include "FeedComponents.h"

#include "ClockSeam.h"
#include "ComRuntime.h"
#include "ConnectionPoint.h"
#include "LogFrontEnd.h"
#include "Pelborne/UsageDataInterface.h"
#include "RunTimeError.h"
#include "Sarnick/UsageDataInterface.h"

namespace {
class JsonSink final : public Pelborne::__UsageData
{
public:
    explicit JsonSink(FeedComponents& owner) : m_owner(owner) {}
    void Status(const QString& szMsg, int16_t intDebug) override { m_owner.oJSON_Status(szMsg, intDebug); }

private:
    FeedComponents& m_owner;
};

class XmlSink final : public Sarnick::__UsageData
{
public:
    explicit XmlSink(FeedComponents& owner) : m_owner(owner) {}
    void Status(const QString& szMsg, int16_t intDebug) override { m_owner.oXML_Status(szMsg, intDebug); }

private:
    FeedComponents& m_owner;
};

template <class Events>
struct Slot
{
    std::shared_ptr<ComObject> object;
    EventConnection<Events> events;

    void release()
    {
        events.disconnect();
        object.reset();
    }
};

template <class Interface, class Events>
std::shared_ptr<Interface> create(const Guid& classId, Slot<Events>& slot, Events& sink,
                                  const std::shared_ptr<const Clock>& clock)
{
    slot.release();
    ComError error;
    std::shared_ptr<ComObject> object = ComRuntime::createInstance(classId, Interface::InterfaceId, &error);
    std::shared_ptr<Interface> usage = comQuery<Interface>(object);
    if (!usage) {
        if (object)
            error = ComErrors::noSuchInterface(classId.toString());
        throw RunTimeError(error.number, error.description, error.source);
    }
    if (const std::shared_ptr<ClockSeam> clockSeam = comQuery<ClockSeam>(object))
        clockSeam->setClock(clock);
    slot.object = object;
    slot.events.connect(object, sink);
    return usage;
}
} // namespace

struct FeedComponents::Slots
{
    explicit Slots(FeedComponents& owner) : jsonSink(owner), xmlSink(owner) {}

    JsonSink jsonSink;
    XmlSink xmlSink;
    Slot<Pelborne::__UsageData> oJSON;
    Slot<Sarnick::__UsageData> oXML;
};

FeedComponents::FeedComponents(LogFrontEnd& log, const Clock& clock)
    // The objects live for one operation inside the program's lifetime, so they may borrow the
    // clock without owning it.
    : m_log(log), m_clock(std::shared_ptr<const Clock>(), &clock), m_slots(std::make_unique<Slots>(*this))
{}

FeedComponents::~FeedComponents()
{
    releaseJSON();
    releaseXML();
}

std::shared_ptr<Pelborne::_UsageData> FeedComponents::newJSON()
{
    return create<Pelborne::_UsageData, Pelborne::__UsageData>(Pelborne::ClassId::UsageData, m_slots->oJSON,
                                                               m_slots->jsonSink, m_clock);
}

std::shared_ptr<Sarnick::_UsageData> FeedComponents::newXML()
{
    return create<Sarnick::_UsageData, Sarnick::__UsageData>(Sarnick::ClassId::UsageData, m_slots->oXML,
                                                             m_slots->xmlSink, m_clock);
}

void FeedComponents::releaseJSON()
{
    m_slots->oJSON.release();
}

void FeedComponents::releaseXML()
{
    m_slots->oXML.release();
}

bool FeedComponents::hasJSON() const
{
    return m_slots->oJSON.object != nullptr;
}

bool FeedComponents::hasXML() const
{
    return m_slots->oXML.object != nullptr;
}

bool FeedComponents::CacheExpired(bool json, const QString& szUser)
{
    if (json) {
        const bool expired = newJSON()->CacheExpired(szUser, false);
        releaseJSON();
        return expired;
    }
    const bool expired = newXML()->CacheExpired(szUser, false);
    releaseXML();
    return expired;
}

void FeedComponents::logStatus(const QString& szMsg, int16_t intDebug)
{
    m_log.LogMessage(szMsg, intDebug, m_log.quiet() ? -1 : 0);
}

void FeedComponents::oJSON_Status(const QString& szMsg, int16_t intDebug)
{
    logStatus(szMsg, intDebug);
}

void FeedComponents::oXML_Status(const QString& szMsg, int16_t intDebug)
{
    logStatus(szMsg, intDebug);
}
