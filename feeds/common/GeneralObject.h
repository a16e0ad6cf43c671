// SPDX-License-Identifier: MIT
#pragma once

#include "ComObject.h"

#include <QString>

// A component's General object: its own version. Interface is the component's _General.
template <class Interface>
class GeneralObject final : public ComObject, public Interface
{
public:
    explicit GeneralObject(QString version) : m_version(std::move(version)) {}

    void* QueryInterface(const Guid& interfaceId) override
    {
        return interfaceId == Interface::InterfaceId ? static_cast<Interface*>(this) : nullptr;
    }

    QString szVersion() const override { return m_version; }

private:
    QString m_version;
};
