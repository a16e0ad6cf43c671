// SPDX-License-Identifier: MIT
#include "MonthStore.h"

#include "BillingMonth.h"
#include "Dates.h"
#include "HistoryContext.h"
#include "LogFrontEnd.h"
#include "MonthEnd.h"
#include "MonthQueries.h"
#include "RunState.h"
#include "RunTimeError.h"
#include "SQLAccess.h"
#include "SchemaUpgrade.h"
#include "Settings.h"
#include "SqlValues.h"
#include "TextRoutines.h"
#include "qoMonth.h"

#include <utility>

using namespace Qt::StringLiterals;
using SqlValues::crlf;

namespace {
const QString header = u"qoMonth2SQL: "_s;

// A statement that failed: the whole error text of the store.
struct StoreFailure
{
    QString text;
};

template <typename T>
const T& element(const QList<T>& series, qsizetype i)
{
    if (i >= series.size())
        throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
    return series.at(i);
}
} // namespace

bool MonthStore::qoMonth2SQL(const qoMonth& month, bool bHistorical, QString& szErr)
{
    m_ctx.log.LogMessage(u"calling qoMonth2SQL for profile "_s + QString::number(m_ctx.run.ProfileNumber) + u" ("_s +
                             StripDomain(m_ctx.settings.Username) + u')',
                         3);
    QString checkErr;
    if (!m_schema.CheckSQLDatabase(checkErr))
        m_ctx.log.LogMessage(checkErr, 1);

    const QString file = m_ctx.DatabaseFile;
    LiteConnection conn;
    QString openErr;
    if (!m_sql.OpenSQLDatabase(file, conn, openErr)) {
        szErr = header + u"failed to open database \""_s + file + u"\": "_s + crlf + openErr;
        return false;
    }

    QString failure;
    try {
        storeMonth(conn, month, bHistorical);
    } catch (const StoreFailure& error) {
        failure = error.text;
    } catch (const RunTimeError& error) {
        failure = header + u"runtime error while writing to database:"_s + crlf + error.text();
    } catch (const LiteError& error) {
        failure = header + u"runtime error while writing to database:"_s + crlf + SQLAccess::errorText(error);
    }
    if (!failure.isEmpty()) {
        QString ignored;
        m_sql.ExecuteSQL(conn, u"rollback transaction"_s, ignored);
        szErr = failure;
        return false;
    }

    if (!bHistorical) {
        m_ctx.log.LogMessage(header + u"vacuuming (compacting) database"_s, 3);
        QString err;
        if (m_sql.ExecuteSQL(conn, u"vacuum"_s, err) != 0)
            m_ctx.log.LogMessage(header + u"failed to vacuum database: "_s + err, 2);
    }
    return true;
}

void MonthStore::run(LiteConnection& conn, const QString& sql, const LiteRow& params, const QString& failureHeader)
{
    QString err;
    if (m_sql.ExecuteSQL(conn, sql, err, nullptr, params) == 0)
        return;
    const QString text = failureHeader + crlf + err;
    m_ctx.log.LogMessage(text, 2);
    throw StoreFailure{text};
}

void MonthStore::storeMonth(LiteConnection& conn, const qoMonth& month, bool bHistorical)
{
    using namespace SqlValues;
    run(conn, u"begin transaction"_s, {}, header + u"failed to begin transaction: "_s);

    if (month.DailyDates.isEmpty()) {
        m_ctx.log.LogMessage(header + u"invalid date array"_s, 2);
        throw RunTimeError(RunTimeErrorNumber::SubscriptOutOfRange, u"Subscript out of range"_s);
    }
    const LiteValue firstDay = dateParam(BillingMonth::keyOf(month));

    if (!bHistorical) {
        run(conn, u"delete from Status"_s, {}, header + u"failed to clear Status table: "_s);
        run(conn, u"insert into Status(IP, ConnectTime, PeakStatus, OffPeakStatus) values(?,?,?,?)"_s,
            {LiteValue::text(month.IP), LiteValue::text(month.LastConnect), LiteValue::integer(month.PeakShapeStatus),
             LiteValue::integer(month.OffpeakShapeStatus)},
            header + u"failed to insert into Status table: "_s);
    }

    LocalDateTime lastUpdate;
    QString dateErr;
    if (!myCDate(month.LastUpdate, lastUpdate, dateErr, m_ctx.log.dateSink()))
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
    run(conn,
        u"replace into MonthlyData(AnniversaryDate,LastUpdate,PeakQuota,OffPeakQuota,PlanType,PeakStart,PeakEnd,"
        u"ShapingSpeed,PlanName,ProductName) values(?,?,?,?,?,?,?,?,?,?)"_s,
        {firstDay, LiteValue::text(lastUpdate.toString()), numberParam(singleText(month.PeakQuota)),
         numberParam(singleText(month.OffPeakQuota)), LiteValue::integer(month.PlanType),
         LiteValue::integer(month.PeakStart), LiteValue::integer(month.PeakEnd), LiteValue::text(month.ShapingSpeed),
         LiteValue::text(month.PlanName), LiteValue::text(month.ProductName)},
        header + u"failed to replace into MonthlyData table: "_s);

    // The back-fill asks for a month only once the provider lists the one after it, so that month
    // holds the provider's final figures; the same month stored as the current one again may not.
    const LiteValue backfilled = LiteValue::text(MonthQueries::backfilledMonthKey());
    if (bHistorical)
        run(conn, u"replace into Config(id, Value) values(?,?)"_s, {backfilled, firstDay},
            header + u"failed to replace "_s + backfilled.toText() + u" into Config table: "_s);
    else
        run(conn, u"delete from Config where id=? and Value=?"_s, {backfilled, firstDay},
            header + u"failed to delete "_s + backfilled.toText() + u" from Config table: "_s);

    // Like the class names, the reset day is the current month's; a back-filled month is stored
    // in the same refresh, just before it. The months read back go by it.
    if (!bHistorical) {
        const std::pair<QString, QString> values[] = {
            {u"PeakLabel"_s, month.DailyHeaders.at(DailyHeader::Peak)},
            {u"OffPeakLabel"_s, month.DailyHeaders.at(DailyHeader::Offpeak)},
            {u"FreezoneLabel"_s, month.DailyHeaders.at(DailyHeader::Freezone)},
            {MonthEnd::resetDayKey(), QString::number(month.ResetDay)}};
        for (const auto& [id, value] : values) {
            run(conn, u"replace into Config(id, Value) values(?,?)"_s, {LiteValue::text(id), LiteValue::text(value)},
                header + u"failed to replace "_s + id + u" ("_s + value + u") into Config table: "_s);
        }
    }

    // Without an uploads class, or without upload figures, every day's upload is unknown.
    const bool uploads = !month.DailyHeaders.at(DailyHeader::Uploads).isEmpty() && !month.DailyUploads.isEmpty();
    for (qsizetype i = 0; i < month.DailyDates.size(); ++i) {
        LiteValue upload;
        if (uploads && element(month.DailyUploads, i) != -1.0f)
            upload = twoDecimalsParam(month.DailyUploads.at(i));
        run(conn, u"replace into DailyData(Date,Peak,Offpeak,Freezone,Upload) values(?,?,?,?,?)"_s,
            {dateParam(month.DailyDates.at(i)), twoDecimalsParam(element(month.DailyPeak, i)),
             twoDecimalsParam(element(month.DailyOffpeak, i)), twoDecimalsParam(element(month.DailyFreezone, i)),
             upload},
            header + u"failed to replace into DailyData table: "_s);
    }

    run(conn, u"commit transaction"_s, {}, header + u"failed to commit transaction: "_s);
}
