// SPDX-License-Identifier: MIT
#pragma once

#include "ComObject.h"
#include "Guid.h"

#include <cstdint>
#include <memory>

// One creatable class of a component library: its identity and how to make one.
struct ComClassEntry
{
    Guid classId;
    const char* progId; // library name, a point and class name: "Pelborne.UsageData"
    Guid defaultInterfaceId;
    std::unique_ptr<ComObject> (*create)();
};

// Makes objects of one class; handed out by a library's DllGetClassObject.
class ComClassFactory
{
public:
    static constexpr Guid InterfaceId = Guid::literal("{230FEBBC-2683-4CA5-826D-97811F26453E}");

    // A new object that offers interfaceId (any object for a null identifier). NoInterface when
    // the class lacks it, Failed when the object could not be made.
    virtual int32_t CreateInstance(const Guid& interfaceId, std::shared_ptr<ComObject>& object) = 0;

protected:
    ~ComClassFactory() = default;
};

// The four entry points every component library exports with C linkage.
using DllGetClassObjectFunction = int32_t (*)(const Guid* classId, const Guid* interfaceId, void** object);
using DllCanUnloadNowFunction = int32_t (*)();
using DllRegisterServerFunction = int32_t (*)();
using DllUnregisterServerFunction = int32_t (*)();
