// SPDX-License-Identifier: MIT
#include "UserNames.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {
struct Brand
{
    QLatin1StringView word;
    QLatin1StringView domain;
};

// Reserved names that never reach a real host; the first match in this order wins.
constexpr std::array<Brand, 5> Brands{{
    {"quolla"_L1, "quolla.example"_L1},
    {"brindle"_L1, "brindle.example"_L1},
    {"corvo"_L1, "corvo.example"_L1},
    {"dapple"_L1, "dapple.example"_L1},
    {"emberly"_L1, "emberly.example"_L1},
}};

bool keptAsIs(char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           byte == '.' || byte == '-' || byte == '_' || byte == '*';
}
} // namespace

QString CleanUsername(const QString& user)
{
    const qsizetype at = user.indexOf(u'@');
    return at < 0 ? user : user.left(at);
}

QString URLEncode(const QString& text, const StatusSink& status)
{
    if (status)
        status(u"URLEncode: encoding "_s + QString::number(text.size()) + u" char string"_s, 12);
    static constexpr char Hex[] = "0123456789ABCDEF";
    QString encoded;
    encoded.reserve(text.size() * 3);
    for (const char byte : text.toUtf8()) {
        if (keptAsIs(byte)) {
            encoded += QLatin1Char(byte);
        } else if (byte == ' ') {
            encoded += u'+';
        } else {
            const auto code = static_cast<unsigned char>(byte);
            encoded += u'%';
            encoded += QLatin1Char(Hex[code >> 4]);
            encoded += QLatin1Char(Hex[code & 0x0F]);
        }
    }
    return encoded;
}

QString BrandDomain(const QString& accountName)
{
    const QString word = accountName.toLower();
    for (const Brand& brand : Brands) {
        if (word == brand.word)
            return brand.domain;
    }
    return {};
}

QString FullUsername(const QString& user, const QString& szAccountName, const FullUsernameWording& wording,
                     const StatusSink& status)
{
    if (user.contains(u'@'))
        return user;
    const auto raise = [&](const QString& text, int16_t level) {
        if (status)
            status(wording.prefix + u": "_s + text, level);
    };
    raise(u"appending domain name for "_s + szAccountName + u" to username for "_s + wording.feed +
              u" feed authentication"_s,
          6);
    const QString domain = BrandDomain(szAccountName);
    if (!domain.isEmpty())
        return user + u'@' + domain;
    raise(u"unknown account type ["_s + szAccountName + u"], no domain name to append"_s, 3);
    return user;
}

QString FillUrlTemplate(const QString& urlTemplate, const QList<UrlPlaceholder>& placeholders)
{
    QList<bool> used(placeholders.size(), false);
    QString filled;
    filled.reserve(urlTemplate.size() * 2);
    qsizetype pos = 0;
    while (pos < urlTemplate.size()) {
        bool replaced = false;
        for (qsizetype i = 0; i < placeholders.size() && !replaced; ++i) {
            const UrlPlaceholder& placeholder = placeholders[i];
            if (used[i] || placeholder.name.isEmpty())
                continue;
            if (QStringView(urlTemplate)
                    .mid(pos, placeholder.name.size())
                    .compare(placeholder.name, Qt::CaseInsensitive) == 0) {
                filled += placeholder.value;
                pos += placeholder.name.size();
                used[i] = placeholder.firstOnly;
                replaced = true;
            }
        }
        if (!replaced)
            filled += urlTemplate[pos++];
    }
    return filled;
}
