// SPDX-License-Identifier: MIT
#pragma once

#include "ComError.h"
#include "ComExport.h"
#include "ComObject.h"
#include "Guid.h"

#include <QString>

#include <memory>
#include <optional>

class ComServer;

// The process's component runtime: it knows the class tables of the component libraries that
// are loaded (each registers itself as it loads) and creates objects by class identifier or by
// programmatic name. A class that no loaded library serves is looked up in the classes root,
// where registration left the library's file, and that library is loaded with dlopen.
namespace ComRuntime {
// Called by ComServer: a library's classes become creatable, or stop being so.
TALLY_COM_API void registerServer(ComServer* server);
TALLY_COM_API void unregisterServer(ComServer* server);

// The class behind a programmatic name: a loaded library's first, then the registered one.
TALLY_COM_API std::optional<Guid> classIdFromProgId(const QString& progId);

// A new object of the class that offers interfaceId (any for a null identifier). On failure
// nothing, and error (when given) says why: 429 when the class cannot be created, 430 when it
// lacks the interface.
TALLY_COM_API std::shared_ptr<ComObject> createInstance(const Guid& classId, const Guid& interfaceId,
                                                        ComError* error = nullptr);
// The same by programmatic name ("Sarnick.General").
TALLY_COM_API std::shared_ptr<ComObject> createObject(const QString& progId, ComError* error = nullptr);

// The interface I of a new object of the class, or nothing with error set as above.
template <class I>
std::shared_ptr<I> createInstanceAs(const Guid& classId, ComError* error = nullptr)
{
    return comQuery<I>(createInstance(classId, I::InterfaceId, error));
}
} // namespace ComRuntime
