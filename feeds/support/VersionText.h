// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Short version texts for the User-Agent header and the logs.

// The file's cleaned version (e.g. 1.3.2), its product name through productName; "unknown" when
// the file has no version information (productName keeps what was set before the failure).
QString GetFileVersion(const QString& path, QString& productName);

// The host program's product name, a blank and its cleaned version, e.g. "Tallyroo 1.3.2";
// "unknown app" when anything fails.
QString CallerVersionInfo();

// The version text with the leading zeros of every dot-separated part after the first removed:
// 1.03.0002 gives 1.3.2, 01.05 gives 01.5.
QString CleanupVersionNumber(const QString& version);
