// SPDX-License-Identifier: MIT
#include "ComRuntime.h"

#include "ComClassTable.h"
#include "ComRegistration.h"
#include "ComServer.h"

#include <QFile>

#include <dlfcn.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {
struct Registry
{
    std::mutex mutex;
    std::vector<ComServer*> servers;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

ComClassFactory* loadedFactory(const Guid& classId)
{
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    for (ComServer* server : r.servers) {
        void* factory = nullptr;
        if (server->findClass(classId) &&
            server->getClassObject(&classId, &ComClassFactory::InterfaceId, &factory) == ComResult::Ok)
            return static_cast<ComClassFactory*>(factory);
    }
    return nullptr;
}

// Loads the registered library of the class (it stays loaded for the process's life, as its
// objects and their code may be anywhere) and asks its entry point for the factory.
ComClassFactory* registeredFactory(const Guid& classId)
{
    const QString path = ComRegistration::libraryPathOf(classId);
    if (path.isEmpty())
        return nullptr;
    void* library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    auto getClassObject = reinterpret_cast<DllGetClassObjectFunction>(dlsym(library, "DllGetClassObject"));
    void* factory = nullptr;
    if (!getClassObject || getClassObject(&classId, &ComClassFactory::InterfaceId, &factory) != ComResult::Ok)
        return nullptr;
    return static_cast<ComClassFactory*>(factory);
}

void report(ComError* error, const ComError& what)
{
    if (error)
        *error = what;
}
} // namespace

namespace ComRuntime {
void registerServer(ComServer* server)
{
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    if (std::find(r.servers.begin(), r.servers.end(), server) == r.servers.end())
        r.servers.push_back(server);
}

void unregisterServer(ComServer* server)
{
    Registry& r = registry();
    std::lock_guard guard(r.mutex);
    std::erase(r.servers, server);
}

std::optional<Guid> classIdFromProgId(const QString& progId)
{
    {
        Registry& r = registry();
        std::lock_guard guard(r.mutex);
        for (const ComServer* server : r.servers) {
            if (const ComClassEntry* entry = server->findProgId(progId))
                return entry->classId;
        }
    }
    return ComRegistration::classIdOf(progId);
}

std::shared_ptr<ComObject> createInstance(const Guid& classId, const Guid& interfaceId, ComError* error)
{
    const QString source = classId.toString();
    ComClassFactory* factory = loadedFactory(classId);
    if (!factory)
        factory = registeredFactory(classId);
    if (!factory) {
        report(error, ComErrors::cantCreateObject(source));
        return {};
    }
    std::shared_ptr<ComObject> object;
    const int32_t result = factory->CreateInstance(interfaceId, object);
    if (result == ComResult::NoInterface) {
        report(error, ComErrors::noSuchInterface(source));
        return {};
    }
    if (result != ComResult::Ok || !object) {
        report(error, ComErrors::cantCreateObject(source));
        return {};
    }
    return object;
}

std::shared_ptr<ComObject> createObject(const QString& progId, ComError* error)
{
    const std::optional<Guid> classId = classIdFromProgId(progId);
    if (!classId) {
        report(error, ComErrors::cantCreateObject(progId));
        return {};
    }
    std::shared_ptr<ComObject> object = createInstance(*classId, Guid(), error);
    if (!object && error)
        error->source = progId;
    return object;
}
} // namespace ComRuntime
