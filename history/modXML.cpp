// SPDX-License-Identifier: MIT
#include "modXML.h"

#include "AppInfo.h"
#include "BillingMonth.h"
#include "Dates.h"
#include "FileFunctions.h"
#include "LogFrontEnd.h"
#include "MonthStatus.h"
#include "Recordset.h"
#include "RunTimeError.h"
#include "TwoDecimals.h"
#include "qoMonth.h"

using namespace Qt::StringLiterals;

namespace {
struct SingleField
{
    QString name;
    float qoMonth::*value;
};

// Fields 1 to 12, in their order in the file.
const SingleField singleFields[] = {
    {u"PeakQuota"_s, &qoMonth::PeakQuota},         {u"OffPeakQuota"_s, &qoMonth::OffPeakQuota},
    {u"PeakQuotaLeft"_s, &qoMonth::PeakQuotaLeft}, {u"OffpeakQuotaLeft"_s, &qoMonth::OffpeakQuotaLeft},
    {u"TotalPeak"_s, &qoMonth::TotalPeak},         {u"TotalOffpeak"_s, &qoMonth::TotalOffpeak},
    {u"TotalFreezone"_s, &qoMonth::TotalFreezone}, {u"AvgPeak"_s, &qoMonth::AvgPeak},
    {u"AvgOffpeak"_s, &qoMonth::AvgOffpeak},       {u"AvgFreezone"_s, &qoMonth::AvgFreezone},
    {u"PercentPeak"_s, &qoMonth::PercentPeak},     {u"PercentOffPeak"_s, &qoMonth::PercentOffPeak},
};
} // namespace

QString modXML::fileName(const QString& dataDir, int16_t profileNumber)
{
    return dataDir + u"/data"_s + (profileNumber != 0 ? QString::number(profileNumber) : QString()) + u".xml"_s;
}

QString modXML::xmlText(const qoMonth& month, const AppInfo& app, LogFrontEnd& log)
{
    Recordset record;
    for (const SingleField& field : singleFields)
        record.Append(field.name, FieldType::Single);
    record.Append(u"ShapeStatus"_s, FieldType::VarChar, 30);
    record.Append(u"OffpeakShapeStatus"_s, FieldType::VarChar, 30);
    record.Append(u"AnniversaryDate"_s, FieldType::Integer);
    record.Append(u"LastUpdate"_s, FieldType::VarChar, 20);
    record.Append(u"TallyrooVer"_s, FieldType::VarChar, 10);

    record.AddNew();
    // Each amount goes in as its two-decimal text, so none carries more than two decimals.
    for (const SingleField& field : singleFields)
        record.setValue(field.name, TwoDecimals::text(month.*field.value));
    record.setValue(u"ShapeStatus"_s, GetShapingStatusText(month.PeakShapeStatus, month.ShapingSpeed));
    record.setValue(u"OffpeakShapeStatus"_s, GetShapingStatusText(month.OffpeakShapeStatus, month.ShapingSpeed));
    // The day of the month's first day, which readers build the first day from; the reset day
    // may be one the first day's calendar month does not have.
    record.setValue(u"AnniversaryDate"_s, QString::number(BillingMonth::keyOf(month).day()));
    // A text that is no time stamp ("unknown") goes as it is.
    LocalDateTime lastUpdate;
    QString dateErr;
    record.setValue(u"LastUpdate"_s, myCDate(month.LastUpdate, lastUpdate, dateErr, log.dateSink())
                                         ? lastUpdate.toString()
                                         : month.LastUpdate);
    record.setValue(u"TallyrooVer"_s, QString::number(app.Major) + u'.' + QString::number(app.Minor) + u'.' +
                                          QString::number(app.Revision));
    return record.toXml();
}

bool modXML::qoMonth2XML(const qoMonth& month, const QString& szFile, QString& szError)
{
    m_log.LogMessage(u"qoMonth2XML: exporting data to "_s + szFile, 3);
    if (month.DailyPeak.isEmpty()) {
        szError = u"qoMonth2XML: no valid data found, unable to generate XML"_s;
        return false;
    }
    const QString header = u"qoMonth2XML: failed to export to XML file:\r\n"_s;
    try {
        SaveFile(szFile, xmlText(month, m_app, m_log));
        return true;
    } catch (const RecordsetError& error) {
        szError = header + u'[' + QString::number(error.number()) + u"] "_s + error.description();
    } catch (const RunTimeError& error) {
        szError = header + error.text();
    }
    return false;
}
