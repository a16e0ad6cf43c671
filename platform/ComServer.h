// SPDX-License-Identifier: MIT
#pragma once

#include "ComClassTable.h"
#include "ComExport.h"
#include "Guid.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// What a component library's type library says about it.
struct ComLibraryInfo
{
    QString name; // "Pelborne"
    Guid libraryId;
    QString version;    // of the type library, "1.1"
    QString helpString; // "Quolla Json volumeusage retrieval"
};

// The server side of one component library: its class table, its count of live objects and the
// bodies of its four entry points. A library defines one as a namespace-scope object; creating it
// makes the library's classes known to the process's runtime (so a library that is linked in, or
// loaded later, serves creation by identifier and by name at once), and destroying it withdraws
// them.
class TALLY_COM_API ComServer
{
public:
    ComServer(ComLibraryInfo library, std::span<const ComClassEntry> classes);
    ~ComServer();
    ComServer(const ComServer&) = delete;
    ComServer& operator=(const ComServer&) = delete;

    const ComLibraryInfo& library() const { return m_library; }
    std::span<const ComClassEntry> classes() const { return m_classes; }
    const ComClassEntry* findClass(const Guid& classId) const;
    const ComClassEntry* findProgId(const QString& progId) const;
    // The file of the library that defined this server (where the loader found it).
    QString libraryPath() const;

    // DllGetClassObject: the class factory (interface ComClassFactory) for a class of the table.
    int32_t getClassObject(const Guid* classId, const Guid* interfaceId, void** object);
    // DllCanUnloadNow: Ok when no object of the library is alive, False otherwise.
    int32_t canUnloadNow() const;
    // DllRegisterServer / DllUnregisterServer: the classes' entries in the classes root.
    int32_t registerServer() const;
    int32_t unregisterServer() const;

    int liveObjects() const { return m_liveObjects.load(); }

private:
    class Factory;

    ComLibraryInfo m_library;
    std::span<const ComClassEntry> m_classes;
    std::vector<std::unique_ptr<Factory>> m_factories;
    std::atomic<int> m_liveObjects{0};
};
