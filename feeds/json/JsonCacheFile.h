// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where Pelborne keeps the last usage reply of an account (and service): one file for the current
// month and one for whichever earlier month was fetched last.
class JsonCacheFile
{
public:
    // folder/<user>[-<service>]-json.txt, or ..._h-json.txt for an earlier month (the file already
    // there under that name in other letters, if there is one). user is the bare user name. Path separators in the name
    // become "_", so that no name can reach outside the folder; a name that would still do so raises "Bad file name or
    // number" (52).
    static QString path(const QString& folder, const QString& user, const QString& service, bool historical);
};
