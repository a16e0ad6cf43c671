// SPDX-License-Identifier: MIT
#include "ComServer.h"

#include "ComError.h"
#include "ComRegistration.h"
#include "ComRuntime.h"

#include <QFileInfo>

#include <dlfcn.h>

#include <exception>

class ComServer::Factory final : public ComClassFactory
{
public:
    Factory(ComServer& server, const ComClassEntry& entry) : m_server(server), m_entry(entry) {}

    const ComClassEntry& entry() const { return m_entry; }

    int32_t CreateInstance(const Guid& interfaceId, std::shared_ptr<ComObject>& object) override
    {
        std::unique_ptr<ComObject> made;
        try {
            made = m_entry.create();
        } catch (const std::exception&) {
            return ComResult::Failed;
        }
        if (!made)
            return ComResult::Failed;
        if (!interfaceId.isNull() && !made->QueryInterface(interfaceId))
            return ComResult::NoInterface;
        ComServer* server = &m_server;
        ++server->m_liveObjects;
        object = std::shared_ptr<ComObject>(made.release(), [server](ComObject* gone) {
            delete gone;
            --server->m_liveObjects;
        });
        return ComResult::Ok;
    }

private:
    ComServer& m_server;
    const ComClassEntry& m_entry;
};

ComServer::ComServer(ComLibraryInfo library, std::span<const ComClassEntry> classes)
    : m_library(std::move(library)), m_classes(classes)
{
    for (const ComClassEntry& entry : m_classes)
        m_factories.push_back(std::make_unique<Factory>(*this, entry));
    ComRuntime::registerServer(this);
}

ComServer::~ComServer()
{
    ComRuntime::unregisterServer(this);
}

const ComClassEntry* ComServer::findClass(const Guid& classId) const
{
    for (const ComClassEntry& entry : m_classes) {
        if (entry.classId == classId)
            return &entry;
    }
    return nullptr;
}

const ComClassEntry* ComServer::findProgId(const QString& progId) const
{
    for (const ComClassEntry& entry : m_classes) {
        if (progId.compare(QLatin1StringView(entry.progId), Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

QString ComServer::libraryPath() const
{
    // The server object lives in the library's own data, so its address names the library.
    Dl_info info{};
    if (dladdr(static_cast<const void*>(this), &info) == 0 || !info.dli_fname)
        return {};
    const QFileInfo file(QFile::decodeName(info.dli_fname));
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

int32_t ComServer::getClassObject(const Guid* classId, const Guid* interfaceId, void** object)
{
    if (!object)
        return ComResult::InvalidPointer;
    *object = nullptr;
    if (!classId || !interfaceId)
        return ComResult::InvalidPointer;
    for (const std::unique_ptr<Factory>& factory : m_factories) {
        if (factory->entry().classId == *classId) {
            if (*interfaceId != ComClassFactory::InterfaceId)
                return ComResult::NoInterface;
            *object = static_cast<ComClassFactory*>(factory.get());
            return ComResult::Ok;
        }
    }
    return ComResult::ClassNotAvailable;
}

int32_t ComServer::canUnloadNow() const
{
    return m_liveObjects.load() == 0 ? ComResult::Ok : ComResult::False;
}

int32_t ComServer::registerServer() const
{
    const QString path = libraryPath();
    if (path.isEmpty())
        return ComResult::RegistrationFailed;
    bool ok = ComRegistration::registerTypeLibrary(m_library.libraryId, m_library.version, m_library.helpString);
    for (const ComClassEntry& entry : m_classes) {
        ok =
            ComRegistration::registerClass(QLatin1StringView(entry.progId), entry.classId, m_library.libraryId, path) &&
            ok;
    }
    return ok ? ComResult::Ok : ComResult::RegistrationFailed;
}

int32_t ComServer::unregisterServer() const
{
    bool ok = true;
    for (const ComClassEntry& entry : m_classes)
        ok = ComRegistration::unregisterClass(QLatin1StringView(entry.progId), entry.classId) && ok;
    ok = ComRegistration::unregisterTypeLibrary(m_library.libraryId, m_library.version) && ok;
    return ok ? ComResult::Ok : ComResult::RegistrationFailed;
}
