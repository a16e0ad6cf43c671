// SPDX-License-Identifier: MIT
// The strict date reader: whatever it accepts is a real calendar date and time that reads back
// as itself, and a text in the plain forms reads as what it says.
#include "Dates.h"

#include <QDate>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fault(const char* what, const QString& text)
{
    std::fprintf(stderr, "myCDate: %s: '%s'\n", what, qPrintable(text));
    std::abort();
}

bool plainDigits(const QString& text, qsizetype from, qsizetype count)
{
    for (qsizetype i = from; i < from + count; ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    LocalDateTime date;
    QString error;
    if (!myCDate(text, date, error, {})) {
        if (error.isEmpty())
            fault("refused without a message", text);
        return 0;
    }
    if (!error.isEmpty())
        fault("accepted with a message", text);

    const std::optional<LocalDateTime> checked =
        LocalDateTime::fromParts(date.year(), date.month(), date.day(), date.hour(), date.minute(), date.second());
    if (!checked || *checked != date || !QDate(date.year(), date.month(), date.day()).isValid())
        fault("accepted a date that is no real one", text);

    LocalDateTime again;
    if (!myCDate(date.toString(), again, error, {}) || again != date)
        fault("its own text does not read back", text);
    if (!myCDate(date.toDateString(), again, error, {}) || again != date.dateOnly())
        fault("its own date text does not read back", text);

    // "yyyy-mm-dd" with a year of four digits from 0100, and "yyyy-mm-dd HH:mm:ss", say what they are.
    if (text.size() >= 10 && plainDigits(text, 0, 4) && plainDigits(text, 5, 2) && plainDigits(text, 8, 2) &&
        text.left(4).toInt() >= 100) {
        if (date.toDateString() != text.left(10))
            fault("a plain date reads as another", text);
        if (text.size() == 19 && text.at(10) == u' ' && text.at(13) == u':' && text.at(16) == u':' &&
            plainDigits(text, 11, 2) && plainDigits(text, 14, 2) && plainDigits(text, 17, 2) && date.toString() != text)
            fault("a plain date and time reads as another", text);
    }
    return 0;
}
