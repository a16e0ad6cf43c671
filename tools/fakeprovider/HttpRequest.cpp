// SPDX-License-Identifier: MIT
#include "HttpRequest.h"

#include <QUrl>
#include <QUtf8StringView>
#include <QtEndian>

#include <optional>

namespace {
// Clients encode in UTF-8 or, like the feed components, byte by byte in a single-byte code page.
QString decodeFormText(QByteArray raw)
{
    raw.replace('+', ' ');
    const QByteArray bytes = QByteArray::fromPercentEncoding(raw);
    if (QUtf8StringView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    return QString::fromLatin1(bytes);
}

// The item's value, or nothing when absent; an item without "=" has an empty value.
std::optional<QString> findFormItem(const QByteArray& rawQuery, const QString& name)
{
    for (const QByteArray& item : rawQuery.split('&')) {
        const qsizetype equals = item.indexOf('=');
        const QByteArray key = equals < 0 ? item : item.left(equals);
        if (decodeFormText(key) == name)
            return equals < 0 ? QString() : decodeFormText(item.mid(equals + 1));
    }
    return std::nullopt;
}
} // namespace

QString HttpRequest::ntlmUser(const QByteArray& name) const
{
    const QByteArray value = header(name);
    const QByteArray message = QByteArray::fromBase64(value.mid(5));
    if (!value.startsWith("NTLM ") || message.size() < 44 || message.at(8) != 3)
        return {};
    // The user's field: length at 36, offset at 40, in UTF-16 as the Unicode flag asks.
    const QByteArray user = message.mid(qFromLittleEndian<quint32>(message.constData() + 40),
                                        qFromLittleEndian<quint16>(message.constData() + 36));
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(user.constData()), user.size() / 2);
}

QString HttpRequest::formValue(const QString& name) const
{
    return findFormItem(rawQuery, name).value_or(QString());
}

bool HttpRequest::hasFormItem(const QString& name) const
{
    return findFormItem(rawQuery, name).has_value();
}
