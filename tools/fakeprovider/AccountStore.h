// SPDX-License-Identifier: MIT
#pragma once

#include "MonthDescription.h"
#include "MonthJsonRenderer.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The fake provider's accounts, read from the data folder at every request so a test can lay out or
// change fixtures while the server runs.
//
//   <data>/accounts/<user>/account.json
//     { "password": "...",
//       "services": [ { "name": "alice@quolla.example", "token": "svc-1", "actions": ["Usage"],
//                       "data": "usage" }, ... ],       ("data": the month files' prefix, default "usage")
//       "json_numbers_as_text": false,                   (optional)
//       "replies": { "signin": "replies/x.json", "usage": "...", "feed": "..." } }   (optional fixed
//                                                        replies, paths below the data folder)
//   <data>/accounts/<user>/<prefix>-<yyyymm>.json   one month (MonthDescription's file form)
//   <data>/accounts/<user>/<prefix>-template.json   the current month and the one before, when no
//                                                   file of their own exists
class AccountStore
{
public:
    struct Service
    {
        MonthJsonRenderer::Service entry;
        QString data;
    };
    struct Account
    {
        QString folder;
        QString password;
        QList<Service> services;
        bool numbersAsText = false;
        QString signInReply; // fixed replies, relative to the data folder; empty: rendered
        QString usageReply;
        QString feedReply;
    };
    enum class MonthStatus { Found, NoData, Broken };
    // How the provider dates one account's months. resetDay 1 to 31: each month runs from that day
    // (a short month's last day) to the day before the next; its days are the description's figures
    // in turn, as MonthDescription::billingMonth lays them out. 0: the calendar months of the files.
    // The provider's own date runs dayOffset days after the day it takes for today (before, when
    // negative), as a provider whose clock or time zone differs from the computer's.
    struct Calendar
    {
        int resetDay = 0;
        int dayOffset = 0;
    };

    explicit AccountStore(QString dataDir);

    // By the user name as sent; a full mail address also finds the folder of its bare name.
    std::optional<Account> find(const QString& userName) const;
    // The month that begins in the calendar month of period, or without one the month that holds
    // today (the provider's date), for the service's files, with days up to today only.
    MonthStatus month(const Account& account, const QString& data, std::optional<QDate> period, QDate today,
                      int resetDay, MonthDescription& out, QString& error) const;
    // A fixture file below the data folder; nothing when missing or outside the folder.
    std::optional<QByteArray> file(const QString& relativePath) const;

private:
    QString m_dataDir;
};
