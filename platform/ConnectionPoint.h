// SPDX-License-Identifier: MIT
#pragma once

#include "ComObject.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// What a caller sees of an object's events: it connects a sink (an object implementing the event
// interface Sink) and gets a cookie that disconnects it again. The calls dispatch into the module
// that made the object.
template <class Sink>
class EventSource
{
public:
    // 0 for a null sink.
    virtual uint32_t Advise(Sink* sink) = 0;
    // False for a cookie that is not connected.
    virtual bool Unadvise(uint32_t cookie) = 0;

protected:
    ~EventSource() = default;
};

// The object's side: its connected sinks, called synchronously on the caller's thread, in the
// order they were connected, while the call that raised the event is still running.
template <class Sink>
class ConnectionPoint final : public EventSource<Sink>
{
public:
    uint32_t Advise(Sink* sink) override
    {
        if (!sink)
            return 0;
        m_sinks.emplace_back(++m_lastCookie, sink);
        return m_lastCookie;
    }

    bool Unadvise(uint32_t cookie) override
    {
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
            if (it->first == cookie) {
                m_sinks.erase(it);
                return true;
            }
        }
        return false;
    }

    // A handler may disconnect itself or another sink; a sink disconnected meanwhile is skipped.
    template <class Call>
    void fire(Call&& call)
    {
        const std::vector<std::pair<uint32_t, Sink*>> snapshot = m_sinks;
        for (const auto& [cookie, sink] : snapshot) {
            if (isConnected(cookie))
                call(*sink);
        }
    }

    bool empty() const { return m_sinks.empty(); }

private:
    bool isConnected(uint32_t cookie) const
    {
        for (const auto& entry : m_sinks) {
            if (entry.first == cookie)
                return true;
        }
        return false;
    }

    std::vector<std::pair<uint32_t, Sink*>> m_sinks;
    uint32_t m_lastCookie = 0;
};

// A caller's connection of one sink to one object, for as long as it lives (or until
// disconnect()). It does not keep the object alive; when the object is gone there is nothing left
// to disconnect. Sink names its event interface identifier as Sink::InterfaceId.
template <class Sink>
class EventConnection
{
public:
    EventConnection() = default;
    EventConnection(const std::shared_ptr<ComObject>& object, Sink& sink) { connect(object, sink); }
    ~EventConnection() { disconnect(); }
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

    // False when the object raises no such events.
    bool connect(const std::shared_ptr<ComObject>& object, Sink& sink)
    {
        disconnect();
        if (!object)
            return false;
        auto* source = static_cast<EventSource<Sink>*>(object->FindConnectionPoint(Sink::InterfaceId));
        if (!source)
            return false;
        m_cookie = source->Advise(&sink);
        m_source = source;
        m_object = object;
        return m_cookie != 0;
    }

    void disconnect()
    {
        if (const std::shared_ptr<ComObject> alive = m_object.lock(); alive && m_cookie != 0)
            m_source->Unadvise(m_cookie);
        m_cookie = 0;
        m_source = nullptr;
        m_object.reset();
    }

    bool connected() const { return m_cookie != 0 && !m_object.expired(); }

private:
    std::weak_ptr<ComObject> m_object;
    EventSource<Sink>* m_source = nullptr;
    uint32_t m_cookie = 0;
};
