// SPDX-License-Identifier: MIT
#pragma once

#include "CoreTestContext.h"
#include "RegistryStore.h"

#include <QByteArray>
#include <QFile>

// While this lives, the current user's store (one for the process, the components' too) is the
// default one, below the test's own folder, as in a real run.
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
