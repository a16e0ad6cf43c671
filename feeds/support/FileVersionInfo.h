// SPDX-License-Identifier: MIT
#pragma once

#include "VersionBlockFormat.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// Reads a file's version information (the version block its build compiled in).
class clsFileVersionInfo
{
public:
    // Numbers of the errors that setFileName raises (source "VersionInfo").
    static constexpr int32_t ErrNoFileName = -2127660985;
    static constexpr int32_t ErrNoVersionSize = -2127660984;
    static constexpr int32_t ErrNoVersionInfo = -2127660983;
    static constexpr int32_t ErrNoLanguageInfo = -2127660982;
    static constexpr int32_t ErrNoFixedInfo = -2127660981;

    // Stores the path, then loads its version information; raises RunTimeError when the file has
    // none (the path stays stored).
    void setFileName(const QString& fileName);
    QString FileName() const { return m_fileName; }
    QString FileVersion() const { return GetValue(QStringLiteral("FileVersion")); }
    QString ProductName() const { return GetValue(QStringLiteral("ProductName")); }

    // A value of the string table chosen by the language code; empty when it is missing.
    QString GetValue(const QString& name) const;

    // Language and code page of the string table, 8 upper-case hex digits, e.g. "040904E4".
    QString languageCode() const { return m_languageCode; }
    const VersionBlockFormat::FixedVersionInfo& fixedInfo() const { return m_fixedInfo; }

    // The last width characters of width zeros followed by text; width is read as a number.
    static QString ZeroPad(const QString& text, const QString& width);
    // The text up to its first NUL.
    static QString adhTrimNull(const QString& text);

private:
    void GetLanguageInfo();

    QString m_fileName;
    QByteArray m_versionData;
    QString m_languageCode;
    VersionBlockFormat::FixedVersionInfo m_fixedInfo;
};
