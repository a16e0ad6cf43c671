// SPDX-License-Identifier: MIT
#pragma once

#include "CoreTestContext.h"
#include "RegistryStore.h"

#include <QByteArray>
#include <QFile>

// The component libraries carry their own registry routines, which always read the current
// user's default store. While this lives, the test's store is the default one, below the test's
// own folder, so the program and the components share it as they do in a real run.
class SharedRegistry
{
public:
    explicit SharedRegistry(CoreTestContext& core) : m_saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(core.folder + QStringLiteral("/config")));
        RegistryStore::setCurrentUserPath({});
        core.setDword(core.app.appKey(), QStringLiteral("debug"), 100);
    }
    ~SharedRegistry() { qputenv("XDG_CONFIG_HOME", m_saved); }
    SharedRegistry(const SharedRegistry&) = delete;
    SharedRegistry& operator=(const SharedRegistry&) = delete;

private:
    QByteArray m_saved;
};
