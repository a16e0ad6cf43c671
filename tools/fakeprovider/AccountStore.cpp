// SPDX-License-Identifier: MIT
#include "AccountStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The reset date in the calendar month `months` after the one that holds day.
QDate resetDate(int resetDay, QDate day, int months = 0)
{
    const QDate first = QDate(day.year(), day.month(), 1).addMonths(months);
    return first.addDays(std::min(resetDay, first.daysInMonth()) - 1);
}

// A user name is a folder name here: nothing that could climb out of the accounts folder.
bool isSafeName(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != u"." && name != u"..";
}

AccountStore::Account accountFrom(const QString& folder, const QJsonObject& root)
{
    AccountStore::Account account;
    account.folder = folder;
    account.password = root.value(u"password").toString();
    account.numbersAsText = root.value(u"json_numbers_as_text").toBool();
    for (const QJsonValue& value : root.value(u"services").toArray()) {
        const QJsonObject object = value.toObject();
        AccountStore::Service service;
        service.entry.name = object.value(u"name").toString();
        service.entry.token = object.value(u"token").toString();
        for (const QJsonValue& action : object.value(u"actions").toArray())
            service.entry.actions.append(action.toString());
        service.data = object.value(u"data").toString(u"usage"_s);
        account.services.append(service);
    }
    const QJsonObject replies = root.value(u"replies").toObject();
    account.signInReply = replies.value(u"signin").toString();
    account.usageReply = replies.value(u"usage").toString();
    account.feedReply = replies.value(u"feed").toString();
    return account;
}
} // namespace

AccountStore::AccountStore(QString dataDir) : m_dataDir(std::move(dataDir)) {}

std::optional<AccountStore::Account> AccountStore::find(const QString& userName) const
{
    const QString bare = userName.section(u'@', 0, 0);
    for (const QString& candidate : {userName, userName.toLower(), bare, bare.toLower()}) {
        if (!isSafeName(candidate))
            continue;
        const QString folder = m_dataDir + u"/accounts/" + candidate;
        const std::optional<QByteArray> text = readFile(folder + u"/account.json");
        if (!text)
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(*text);
        if (!document.isObject()) {
            qWarning("fakeprovider: unreadable account.json for %s", qPrintable(candidate));
            return std::nullopt;
        }
        return accountFrom(folder, document.object());
    }
    return std::nullopt;
}

AccountStore::MonthStatus AccountStore::month(const Account& account, const QString& data, std::optional<QDate> period,
                                              QDate today, int resetDay, MonthDescription& out, QString& error) const
{
    const int reset = std::clamp(resetDay, 1, 31);
    const QDate current = resetDate(reset, today) <= today ? resetDate(reset, today) : resetDate(reset, today, -1);
    const QDate first = period ? resetDate(reset, *period) : current;
    if (first > current)
        return MonthStatus::NoData;
    const QDate calendarMonth(first.year(), first.month(), 1);
    std::optional<QByteArray> text =
        readFile(account.folder + u'/' + data + u'-' + calendarMonth.toString(u"yyyyMM") + u".json");
    if (!text && (first == current || first == resetDate(reset, current, -1)))
        text = readFile(account.folder + u'/' + data + u"-template.json");
    if (!text)
        return MonthStatus::NoData;
    const QDate last = std::min(today, resetDate(reset, first, 1).addDays(-1));
    std::optional<MonthDescription> month =
        MonthDescription::fromJson(*text, first, resetDay > 0 || first < current ? QDate() : last, &error);
    if (!month)
        return MonthStatus::Broken;
    out = resetDay > 0 ? month->billingMonth(resetDay, first, last) : *month;
    return MonthStatus::Found;
}

std::optional<QByteArray> AccountStore::file(const QString& relativePath) const
{
    const QString root = QDir(m_dataDir).canonicalPath();
    const QString path = QFileInfo(m_dataDir + u'/' + relativePath).canonicalFilePath();
    if (root.isEmpty() || path.isEmpty() || !path.startsWith(root + u'/'))
        return std::nullopt;
    return readFile(path);
}
