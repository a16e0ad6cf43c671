// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Starting the program with the desktop session: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/<name>.desktop (the desktop's stand-in for a Run key value).
// Only the entry's presence is the setting; its command is written when it is created.
class AutoStartEntry
{
public:
    // name: the file's base name; displayName: what session managers list.
    AutoStartEntry(const QString& name, const QString& displayName);
    // The entry of this program.
    static QString programName() { return QStringLiteral("tallymeter"); }

    QString path() const;
    bool exists() const;
    // Creates the entry starting the program with these arguments; false when it cannot be saved.
    bool write(const QString& programPath, const QStringList& arguments) const;
    bool remove() const;

    // The Exec value: the program and its arguments quoted as the desktop entry format asks, so
    // blanks, quotes, "$", "%" and backslashes reach the program unchanged.
    static QString execLine(const QString& programPath, const QStringList& arguments);
    // The file's text.
    static QString contents(const QString& displayName, const QString& programPath, const QStringList& arguments);

private:
    QString m_name;
    QString m_displayName;
};
