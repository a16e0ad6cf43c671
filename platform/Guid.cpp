// SPDX-License-Identifier: MIT
#include "Guid.h"

std::optional<Guid> Guid::fromString(const QString& text)
{
    // Only ASCII can form an identifier; anything else fails the parse on its own.
    const QByteArray latin = text.toLatin1();
    return parse(std::string_view(latin.constData(), size_t(latin.size())));
}

QString Guid::toString() const
{
    const auto hex = [](uint64_t value, int digits) {
        return QString::number(value, 16).rightJustified(digits, u'0').toUpper();
    };
    QString text = u'{' + hex(data1, 8) + u'-' + hex(data2, 4) + u'-' + hex(data3, 4) + u'-';
    for (size_t i = 0; i < data4.size(); ++i) {
        if (i == 2)
            text += u'-';
        text += hex(data4[i], 2);
    }
    return text + u'}';
}
