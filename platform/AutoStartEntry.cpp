// SPDX-License-Identifier: MIT
#include "AutoStartEntry.h"

#include "StandardLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// One argument of the command: quoted when it holds a character the format reserves.
QString quotedArgument(const QString& argument, bool alwaysQuote)
{
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`="_s;
    bool needsQuotes = alwaysQuote || argument.isEmpty();
    for (QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString text;
    for (QChar c : argument) {
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            text += u'\\';
        text += c;
        // A lone % would start a field code.
        if (c == u'%')
            text += u'%';
    }
    return needsQuotes ? u'"' + text + u'"' : text;
}

// The general escapes of a string value, applied over the quoting.
QString escapedValue(const QString& value)
{
    QString text;
    for (QChar c : value) {
        if (c == u'\\')
            text += u"\\\\"_s;
        else if (c == u'\n')
            text += u"\\n"_s;
        else if (c == u'\r')
            text += u"\\r"_s;
        else if (c == u'\t')
            text += u"\\t"_s;
        else
            text += c;
    }
    return text;
}

} // namespace

AutoStartEntry::AutoStartEntry(const QString& name, const QString& displayName)
    : m_name(name), m_displayName(displayName)
{}

QString AutoStartEntry::path() const
{
    return StandardLocations::configHome() + u"/autostart/"_s + m_name + u".desktop"_s;
}

bool AutoStartEntry::exists() const
{
    return QFileInfo::exists(path());
}

QString AutoStartEntry::execLine(const QString& programPath, const QStringList& arguments)
{
    QString line = quotedArgument(programPath, true);
    for (const QString& argument : arguments)
        line += u' ' + quotedArgument(argument, false);
    return line;
}

QString AutoStartEntry::contents(const QString& displayName, const QString& programPath, const QStringList& arguments)
{
    // TryExec: once the program is removed, the desktop skips the entry instead of failing to start
    // it at every login.
    return u"[Desktop Entry]\nType=Application\nName="_s + escapedValue(displayName) + u"\nTryExec="_s +
           escapedValue(programPath) + u"\nExec="_s + escapedValue(execLine(programPath, arguments)) +
           u"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n"_s;
}

bool AutoStartEntry::write(const QString& programPath, const QStringList& arguments) const
{
    const QString file = path();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(contents(m_displayName, programPath, arguments).toUtf8());
    return out.commit();
}

bool AutoStartEntry::remove() const
{
    return QFile::remove(path());
}
