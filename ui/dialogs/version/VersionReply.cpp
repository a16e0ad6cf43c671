// SPDX-License-Identifier: MIT
#include "VersionReply.h"

#include "Dates.h"
#include "RunTimeError.h"

#include <QStringList>

#include <limits>

using namespace Qt::StringLiterals;

namespace {
constexpr int32_t kOverflow = 6;

[[noreturn]] void raiseOverflow()
{
    throw RunTimeError(kOverflow, u"Overflow"_s);
}

void removeFirst(QString& text, const QString& what)
{
    const qsizetype at = text.indexOf(what, 0, Qt::CaseInsensitive);
    if (at >= 0)
        text.remove(at, what.size());
}

int16_t toInt16(double value)
{
    const double rounded = roundHalfEven(value);
    // The negated comparisons also catch NaN.
    if (!(rounded >= std::numeric_limits<int16_t>::min() && rounded <= std::numeric_limits<int16_t>::max()))
        raiseOverflow();
    return static_cast<int16_t>(rounded);
}
} // namespace

VersionReply VersionReply::fromBody(const QString& body)
{
    QString text = body;
    const qsizetype font = text.indexOf(u"<font"_s, 0, Qt::CaseInsensitive);
    if (font >= 0)
        text.truncate(font);
    if (text.endsWith(u'\n'))
        text.chop(1);
    removeFirst(text, u"<pre>"_s);
    removeFirst(text, u"</pre>"_s);
    text.remove(u'\r');
    text.replace(u"\n\n"_s, u"\n"_s);
    if (text.startsWith(u'\n'))
        text.remove(0, 1);
    if (text.endsWith(u'\n'))
        text.chop(1);

    QStringList lines = text.split(u'\n');
    VersionReply reply;
    reply.latest = lines.takeFirst().trimmed();
    reply.notes = lines.join(u"\r\n"_s);
    return reply;
}

bool VersionReply::parseVersion(const QString& version, std::array<int16_t, 3>& parts)
{
    const QStringList texts = version.split(u'.');
    if (texts.size() < 3)
        return false;
    std::array<double, 3> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        const std::optional<double> value = readNumericText(texts.at(qsizetype(i)));
        if (!value)
            return false;
        values[i] = *value;
    }
    for (size_t i = 0; i < values.size(); ++i)
        parts[i] = toInt16(values[i]);
    return true;
}

int32_t VersionReply::versionNumber(int32_t major, int32_t minor, int32_t revision)
{
    const int64_t number = int64_t(major) * 1000000 + int64_t(minor) * 1000 + revision;
    if (number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
        raiseOverflow();
    return static_cast<int32_t>(number);
}
