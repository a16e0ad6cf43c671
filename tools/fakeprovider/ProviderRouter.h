// SPDX-License-Identifier: MIT
#pragma once

#include "AccountStore.h"
#include "HttpRequest.h"
#include "HttpResponse.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>

// The provider's default answers from the fixture folder: the JSON API (sign-in, usage), the XML usage
// feed, the version and product pages, and 404 for anything else.
class ProviderRouter
{
public:
    static constexpr auto apiPath = "/cgi-bin/api.cgi";
    static constexpr auto feedPath = "/cgi-bin/new/volume_usage_xml.cgi";
    static constexpr auto versionPath = "/software/Tallyroo/version/";
    static constexpr auto productPath = "/software/Tallyroo/";

    explicit ProviderRouter(const QString& dataDir);

    // The day the provider takes for today; an invalid date (the default) follows the system clock.
    void setToday(QDate today)
    {
        m_today = today;
        m_time = QTime();
    }
    // The provider's clock to the second: today is still counting, so its figures are the share
    // of the day gone by then; the days before hold their whole figures.
    void setNow(const QDateTime& now)
    {
        m_today = now.date();
        m_time = now.time();
    }
    QDate today() const;
    // How the provider dates the months of the account whose folder is named account.
    void setCalendar(const QString& account, AccountStore::Calendar calendar) { m_calendars.insert(account, calendar); }

    HttpResponse route(const HttpRequest& request);
    // A fixture file below the data folder; nothing when missing.
    std::optional<QByteArray> fixture(const QString& relativePath) const { return m_accounts.file(relativePath); }

private:
    HttpResponse signIn(const HttpRequest& request);
    HttpResponse usage(const HttpRequest& request);
    HttpResponse feed(const HttpRequest& request);
    HttpResponse page(const QString& fixtureName) const;
    // Nothing when the request names no month; an invalid date when it names one badly.
    std::optional<QDate> requestedMonth(const HttpRequest& request) const;
    std::optional<HttpResponse> fixedReply(const QString& relativePath) const;
    // The month the usage request or the feed asks for.
    AccountStore::MonthStatus month(const HttpRequest& request, const AccountStore::Account& account,
                                    const QString& data, MonthDescription& out, QString& error) const;

    AccountStore m_accounts;
    QHash<QString, QString> m_tokens; // login token -> user name it was issued to
    QDate m_today;
    QTime m_time;                                       // invalid: today's figures are whole
    QHash<QString, AccountStore::Calendar> m_calendars; // by account folder name
};
