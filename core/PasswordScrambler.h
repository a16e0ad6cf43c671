// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class LogFrontEnd;
class RegistryAccess;
struct AppInfo;

// Keeps the stored passwords from standing in the registry as plain text: a keyless, reversible
// scrambling that reverses the text and maps each character code C to 2C + 3. The registry value
// DisableEncryption (above 0) turns it off.
//
// The code of a character is that of its bytes in the system's code page (UTF-8 here). Codes 0
// to 126 map to the odd codes 3 to 255 as they always did, so passwords stored by earlier
// releases still read back. Codes 127 to 255, which that formula cannot hold, map to U+017F..
// U+01FF instead, so every text the user can type scrambles and unscrambles.
class PasswordScrambler
{
public:
    PasswordScrambler(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log);

    // scramble: true to scramble, false to unscramble. False (result empty, szErr "[n] text", the
    // failure logged at level 1) when the text cannot be converted; callers must then not store
    // the result.
    bool CryptString(const QString& text, bool scramble, QString& result, QString& szErr);
    // The same, giving the empty text on failure.
    QString CryptString(const QString& text, bool scramble);

    // The conversions themselves, without the registry switch and the log. Raise RunTimeError.
    static QString scrambleText(const QString& text);
    static QString unscrambleText(const QString& text);

private:
    const AppInfo& m_app;
    RegistryAccess& m_registry;
    LogFrontEnd& m_log;
};
