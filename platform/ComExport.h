// SPDX-License-Identifier: MIT
#pragma once

// The component runtime is one shared library per process, so every library that registers
// classes and every caller that creates objects meet in the same class registry. Its code is
// compiled with hidden visibility; this marks what it offers to other modules.
#define TALLY_COM_API __attribute__((visibility("default")))

// The four entry points that every component library exports with C linkage, each answered by the
// library's ComServer object.
#define TALLY_COM_SERVER_ENTRY_POINTS(server)                                                                          \
    extern "C" {                                                                                                       \
    TALLY_COM_API int32_t DllGetClassObject(const Guid* classId, const Guid* interfaceId, void** object)               \
    {                                                                                                                  \
        return (server).getClassObject(classId, interfaceId, object);                                                  \
    }                                                                                                                  \
    TALLY_COM_API int32_t DllCanUnloadNow()                                                                            \
    {                                                                                                                  \
        return (server).canUnloadNow();                                                                                \
    }                                                                                                                  \
    TALLY_COM_API int32_t DllRegisterServer()                                                                          \
    {                                                                                                                  \
        return (server).registerServer();                                                                              \
    }                                                                                                                  \
    TALLY_COM_API int32_t DllUnregisterServer()                                                                        \
    {                                                                                                                  \
        return (server).unregisterServer();                                                                            \
    }                                                                                                                  \
    }
