// SPDX-License-Identifier: MIT
#include "PasswordScrambler.h"

#include "AppInfo.h"
#include "Dates.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunTimeError.h"

#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {
constexpr char16_t highBlock = 0x100; // codes 127..255 land on U+017F..U+01FF
constexpr int lastPlainCode = 126;    // the highest code 2C + 3 keeps within 0..255

[[noreturn]] void raiseInvalidArgument()
{
    throw RunTimeError(RunTimeErrorNumber::InvalidProcedureCall, u"Invalid procedure call or argument"_s);
}
} // namespace

PasswordScrambler::PasswordScrambler(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log)
    : m_app(app), m_registry(registry), m_log(log)
{}

QString PasswordScrambler::scrambleText(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        raiseInvalidArgument(); // a broken surrogate pair is no typed character

    const qsizetype count = bytes.size();
    QString result(count, QChar(0));
    for (qsizetype i = 0; i < count; ++i) {
        const int code = static_cast<unsigned char>(bytes.at(i));
        const char16_t scrambled = code <= lastPlainCode ? char16_t(code * 2 + 3) : char16_t(highBlock + code);
        result[count - 1 - i] = QChar(scrambled);
    }
    return result;
}

QString PasswordScrambler::unscrambleText(const QString& text)
{
    const qsizetype count = text.size();
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t code = text.at(i).unicode();
        int plain = 0;
        if (code <= 0xFF) {
            if (code < 3)
                raiseInvalidArgument();
            plain = int(roundHalfEven((code - 3) * 0.5));
        } else if (code > highBlock + lastPlainCode && code <= highBlock + 0xFF) {
            plain = code - highBlock;
        } else {
            raiseInvalidArgument();
        }
        bytes[count - 1 - i] = char(plain);
    }

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString result = decoder.decode(bytes);
    if (decoder.hasError())
        raiseInvalidArgument();
    return result;
}

bool PasswordScrambler::CryptString(const QString& text, bool scramble, QString& result, QString& szErr)
{
    result.clear();
    if (text.isEmpty())
        return true;

    int32_t disable = 0;
    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"DisableEncryption"_s, disable)) {
        m_log.LogMessage(u"CryptString: DisableEncryption setting found: "_s + QString::number(disable), 6);
        if (disable > 0) {
            m_log.LogMessage(u"CryptString: skipping "_s + (scramble ? u"encryption"_s : u"decryption"_s) +
                                 u" due to DisableEncryption registry setting"_s,
                             3);
            result = text;
            return true;
        }
    }

    try {
        result = scramble ? scrambleText(text) : unscrambleText(text);
        return true;
    } catch (const RunTimeError& error) {
        szErr = error.text();
        m_log.LogMessage(
            u"CryptString: Failed to "_s + (scramble ? u"encrypt"_s : u"decrypt"_s) + u" password:\r\n"_s + szErr, 1);
        result.clear();
        return false;
    }
}

QString PasswordScrambler::CryptString(const QString& text, bool scramble)
{
    QString result;
    QString szErr;
    CryptString(text, scramble, result, szErr);
    return result;
}
