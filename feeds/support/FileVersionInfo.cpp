// SPDX-License-Identifier: MIT
#include "FileVersionInfo.h"

#include "RunTimeError.h"
#include "VersionResource.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {
// The string table that files without a usable translation entry are read with.
const QString DefaultLanguage = u"040904E4"_s;

[[noreturn]] void raise(int32_t number, const QString& description)
{
    throw RunTimeError(number, description, u"VersionInfo"_s);
}

QString hexByte(unsigned char value)
{
    return clsFileVersionInfo::ZeroPad(QString::number(value, 16).toUpper(), u"2"_s);
}
} // namespace

void clsFileVersionInfo::setFileName(const QString& fileName)
{
    m_fileName = fileName;
    GetLanguageInfo();
}

void clsFileVersionInfo::GetLanguageInfo()
{
    if (m_fileName.isEmpty())
        raise(ErrNoFileName, u"Either you haven't specified a valid file name, or the module you specified can't be "
                             u"associated with a file."_s);
    if (VersionResource::infoSize(m_fileName) == 0)
        raise(ErrNoVersionSize,
              u"Unable to retrieve the version info size. Perhaps the module name or file name is invalid."_s);
    if (!VersionResource::readInfo(m_fileName, m_versionData))
        raise(ErrNoVersionInfo, u"Unable to retrieve version information."_s);

    QByteArray translation;
    if (!VersionResource::queryValue(m_versionData, u"\\VarFileInfo\\Translation"_s, translation) ||
        translation.size() < 4)
        raise(ErrNoLanguageInfo, u"Unable to retrieve language and code page information."_s);
    const auto* b = reinterpret_cast<const unsigned char*>(translation.constData());
    // Language, then code page, each little-endian: 09 04 E4 04 reads "040904E4".
    m_languageCode = hexByte(b[1]) + hexByte(b[0]) + hexByte(b[3]) + hexByte(b[2]);
    if (m_languageCode == u"00000000")
        m_languageCode = DefaultLanguage;

    QByteArray fixed;
    if (!VersionResource::queryValue(m_versionData, u"\\"_s, fixed))
        raise(ErrNoFixedInfo, u"Unable to retrieve fixed file version information."_s);
    m_fixedInfo = {};
    std::memcpy(&m_fixedInfo, fixed.constData(), std::min<size_t>(size_t(fixed.size()), sizeof m_fixedInfo));
}

QString clsFileVersionInfo::GetValue(const QString& name) const
{
    QByteArray value;
    if (!VersionResource::queryValue(m_versionData, u"\\StringFileInfo\\" + m_languageCode + u'\\' + name, value))
        return {};
    // The length returned counts the terminating NUL.
    if (value.size() < 1)
        return {};
    return adhTrimNull(QString::fromUtf8(value.left(value.size() - 1)));
}

QString clsFileVersionInfo::ZeroPad(const QString& text, const QString& width)
{
    const qsizetype count = std::max(0, width.trimmed().toInt());
    const QString padded = QString(count, u'0') + text;
    return padded.right(count);
}

QString clsFileVersionInfo::adhTrimNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}
