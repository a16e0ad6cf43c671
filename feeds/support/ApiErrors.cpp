// SPDX-License-Identifier: MIT
#include "ApiErrors.h"

#include <cstring>

using namespace Qt::StringLiterals;

namespace {
// strerror_r comes in two shapes: the GNU one returns the text (which may or may not be in the
// buffer), the POSIX one fills the buffer and returns 0 on success.
[[maybe_unused]] const char* messageOf(char* gnuResult, const char*)
{
    return gnuResult;
}
[[maybe_unused]] const char* messageOf(int posixResult, const char* buffer)
{
    return posixResult == 0 ? buffer : nullptr;
}

QString systemText(int32_t code)
{
    char buffer[256] = {};
    const char* message = messageOf(strerror_r(code, buffer, sizeof buffer), buffer);
    return message ? QString::fromLocal8Bit(message).trimmed() : QString();
}

// No system knows this code; its text is the library's "unknown" pattern with the number in it.
constexpr int32_t UnknownProbe = 0x7FFFFFFF;
} // namespace

QString GetAPIErrorStr(int32_t code)
{
    const QString text = systemText(code);
    // The C library makes up "Unknown error <code>" (in the user's language) for codes it does
    // not know; compare against that pattern rather than one language's wording.
    const QString unknown = systemText(UnknownProbe).replace(QString::number(UnknownProbe), QString::number(code));
    if (text.isEmpty() || text == unknown)
        return u"Unknown error."_s;
    return text;
}
