// SPDX-License-Identifier: MIT
#include "ProviderRouter.h"

#include "MonthJsonRenderer.h"
#include "MonthXmlRenderer.h"

#include <QFileInfo>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {
const QByteArray jsonType = "application/json; charset=utf-8";
const QByteArray xmlType = "text/xml; charset=utf-8";
const QByteArray htmlType = "text/html; charset=utf-8";

const QString badLogin = u"Invalid username or password."_s;
const QString noData = u"Sorry, no data was found for your account for the period requested."_s;

HttpResponse json(const QByteArray& body)
{
    return HttpResponse::text(200, body, jsonType);
}

HttpResponse xml(const QByteArray& body)
{
    return HttpResponse::text(200, body, xmlType);
}

// Opaque to a client, but led by the account's name so a test's rule can aim at one account's usage
// requests ("_TOKEN=alice-"). A client puts the token into its usage request as it stands, so, like a
// real provider's, it holds only what a form decoder leaves alone: any other byte of the name is "_".
QString newToken(const QString& accountName)
{
    QByteArray lead = accountName.toUtf8();
    for (char& c : lead) {
        const bool kept = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                          c == '_' || c == '-';
        c = kept ? c : '_';
    }
    const quint64 high = QRandomGenerator::global()->generate64();
    const quint64 low = QRandomGenerator::global()->generate64();
    return QString::fromLatin1(lead) + u'-' + QString::number(high, 16).rightJustified(16, u'0') +
           QString::number(low, 16).rightJustified(16, u'0');
}
} // namespace

ProviderRouter::ProviderRouter(const QString& dataDir) : m_accounts(dataDir) {}

QDate ProviderRouter::today() const
{
    return m_today.isValid() ? m_today : QDate::currentDate();
}

HttpResponse ProviderRouter::route(const HttpRequest& request)
{
    if (request.method != "GET" && request.method != "HEAD" && request.method != "POST")
        return HttpResponse::htmlError(405);
    const QString path = request.path;
    if (path == QLatin1String(apiPath)) {
        if (request.hasFormItem(u"_USERNAME"_s))
            return signIn(request);
        if (request.hasFormItem(u"Usage"_s))
            return usage(request);
        return json(MonthJsonRenderer::error(u"Unknown request."_s));
    }
    if (path == QLatin1String(feedPath))
        return feed(request);
    if (path == QLatin1String(versionPath) || path + u'/' == QLatin1String(versionPath))
        return page(u"version.txt"_s);
    if (path == QLatin1String(productPath) || path + u'/' == QLatin1String(productPath))
        return page(u"product.html"_s);
    return HttpResponse::htmlError(404);
}

HttpResponse ProviderRouter::signIn(const HttpRequest& request)
{
    const QString user = request.formValue(u"_USERNAME"_s);
    const std::optional<AccountStore::Account> account = m_accounts.find(user);
    if (!account || account->password.isEmpty() || account->password != request.formValue(u"_PASSWORD"_s))
        return json(MonthJsonRenderer::error(badLogin));
    if (auto reply = fixedReply(account->signInReply))
        return *reply;
    const QString token = newToken(QFileInfo(account->folder).fileName());
    m_tokens.insert(token, user);
    QList<MonthJsonRenderer::Service> services;
    for (const auto& service : account->services)
        services.append(service.entry);
    return json(MonthJsonRenderer::signIn(token, services));
}

HttpResponse ProviderRouter::usage(const HttpRequest& request)
{
    const QString user = m_tokens.value(request.formValue(u"_TOKEN"_s));
    const std::optional<AccountStore::Account> account = user.isEmpty() ? std::nullopt : m_accounts.find(user);
    if (!account)
        return json(MonthJsonRenderer::error(u"Your session has expired, please log in again."_s));
    const QString serviceToken = request.formValue(u"_SERVICE"_s);
    const AccountStore::Service* service = nullptr;
    for (const auto& candidate : account->services) {
        if (!serviceToken.isEmpty() && candidate.entry.token == serviceToken)
            service = &candidate;
    }
    if (!service || !service->entry.actions.contains(u"Usage"_s))
        return json(MonthJsonRenderer::error(u"Unknown service."_s));
    if (auto reply = fixedReply(account->usageReply))
        return *reply;

    if (const std::optional<QDate> period = requestedMonth(request); period && !period->isValid())
        return json(MonthJsonRenderer::error(u"Invalid period."_s));
    MonthDescription month;
    QString error;
    switch (this->month(request, *account, service->data, month, error)) {
    case AccountStore::MonthStatus::Found:
        return json(MonthJsonRenderer::usage(month, account->numbersAsText));
    case AccountStore::MonthStatus::NoData:
        return json(MonthJsonRenderer::error(noData));
    case AccountStore::MonthStatus::Broken:
        break;
    }
    return HttpResponse::text(500, "fakeprovider: broken month fixture: " + error.toUtf8() + '\n', "text/plain");
}

HttpResponse ProviderRouter::feed(const HttpRequest& request)
{
    const std::optional<AccountStore::Account> account = m_accounts.find(request.formValue(u"username"_s));
    if (!account || account->password.isEmpty() || account->password != request.formValue(u"password"_s))
        return xml(MonthXmlRenderer::error(badLogin));
    if (request.formValue(u"action"_s) != u"login")
        return xml(MonthXmlRenderer::error(u"Unknown action."_s));
    if (auto reply = fixedReply(account->feedReply))
        return *reply;

    // The feed has no service to choose: it reports the account's first one with usage.
    QString data = u"usage"_s;
    for (const auto& service : account->services) {
        if (service.entry.actions.contains(u"Usage"_s)) {
            data = service.data;
            break;
        }
    }
    if (const std::optional<QDate> period = requestedMonth(request); period && !period->isValid())
        return xml(MonthXmlRenderer::error(u"Invalid period."_s));
    MonthDescription month;
    QString error;
    switch (this->month(request, *account, data, month, error)) {
    case AccountStore::MonthStatus::Found:
        return xml(MonthXmlRenderer::usage(month));
    case AccountStore::MonthStatus::NoData:
        return xml(MonthXmlRenderer::error(noData));
    case AccountStore::MonthStatus::Broken:
        break;
    }
    return HttpResponse::text(500, "fakeprovider: broken month fixture: " + error.toUtf8() + '\n', "text/plain");
}

HttpResponse ProviderRouter::page(const QString& fixtureName) const
{
    const std::optional<QByteArray> body = m_accounts.file(fixtureName);
    return body ? HttpResponse::text(200, *body, htmlType) : HttpResponse::htmlError(404);
}

std::optional<QDate> ProviderRouter::requestedMonth(const HttpRequest& request) const
{
    if (!request.hasFormItem(u"period"_s))
        return std::nullopt;
    const QString period = request.formValue(u"period"_s);
    bool ok = period.size() == 6;
    for (const QChar c : period)
        ok = ok && c.isDigit();
    const int year = ok ? period.left(4).toInt() : 0;
    const int month = ok ? period.mid(4).toInt() : 0;
    return ok && month >= 1 && month <= 12 ? QDate(year, month, 1) : QDate();
}

AccountStore::MonthStatus ProviderRouter::month(const HttpRequest& request, const AccountStore::Account& account,
                                                const QString& data, MonthDescription& out, QString& error) const
{
    const AccountStore::Calendar calendar = m_calendars.value(QFileInfo(account.folder).fileName());
    const QDate today = this->today().addDays(calendar.dayOffset);
    const AccountStore::MonthStatus status =
        m_accounts.month(account, data, requestedMonth(request), today, calendar.resetDay, out, error);
    // A day still counting lists what it has counted so far.
    for (MonthDescription::Day& day : out.days) {
        if (day.date != today || !m_time.isValid())
            continue;
        for (auto& value : day.values)
            value.second = value.second * m_time.msecsSinceStartOfDay() / (24 * 3600 * 1000);
    }
    return status;
}

std::optional<HttpResponse> ProviderRouter::fixedReply(const QString& relativePath) const
{
    if (relativePath.isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> body = m_accounts.file(relativePath);
    if (!body)
        return HttpResponse::text(500, "fakeprovider: missing reply fixture " + relativePath.toUtf8() + '\n',
                                  "text/plain");
    return HttpResponse::text(200, *body, HttpResponse::guessContentType(*body));
}
