// SPDX-License-Identifier: MIT
#pragma once

#include "ComError.h"
#include "ComObject.h"
#include "FileVersionInfo.h"
#include "RunTimeError.h"

#include <QString>

// A component's creatable clsFileVersionInfo over the support library's reader. Interface is the
// component's _clsFileVersionInfo; the reader's errors go back to the caller as results.
template <class Interface>
class FileVersionInfoObject final : public ComObject, public Interface
{
public:
    void* QueryInterface(const Guid& interfaceId) override
    {
        return interfaceId == Interface::InterfaceId ? static_cast<Interface*>(this) : nullptr;
    }

    ComErrorResult FileName(const QString& value) override
    {
        try {
            m_info.setFileName(value);
            return std::nullopt;
        } catch (const RunTimeError& e) {
            return ComError{e.number(), e.description(), e.source()};
        }
    }
    QString FileName() const override { return m_info.FileName(); }
    QString FileVersion() const override { return m_info.FileVersion(); }
    QString ProductName() const override { return m_info.ProductName(); }

private:
    clsFileVersionInfo m_info;
};
