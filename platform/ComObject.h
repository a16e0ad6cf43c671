// SPDX-License-Identifier: MIT
#pragma once

#include "ComExport.h"
#include "Guid.h"

#include <memory>

// The common root of every object that a component library hands out. Its owner holds it by
// std::shared_ptr (the deleter, made by the library, keeps the library's count of live objects);
// interfaces are reached through QueryInterface, so no caller depends on how another module laid
// out its type information.
class TALLY_COM_API ComObject
{
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject();

    // The object's interface with that identifier, or nullptr when it has none.
    virtual void* QueryInterface(const Guid& interfaceId) = 0;
    // The object's source of the events with that identifier (an EventSource<Sink>), or nullptr.
    virtual void* FindConnectionPoint(const Guid& eventInterfaceId);
};

// The interface I of an object, sharing the object's ownership; empty when the object lacks it.
// I names its identifier as I::InterfaceId.
template <class I>
std::shared_ptr<I> comQuery(const std::shared_ptr<ComObject>& object)
{
    if (!object)
        return {};
    void* found = object->QueryInterface(I::InterfaceId);
    return found ? std::shared_ptr<I>(object, static_cast<I*>(found)) : std::shared_ptr<I>();
}
