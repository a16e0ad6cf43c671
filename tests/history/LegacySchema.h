// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// History databases as earlier releases of the program left them, made with the SQL of their
// time: version 0 is a file without SchemaHistory, 1.0 to 1.3 the recorded versions. Each holds
// a Status row, two months with three days each and the class names (a DailyData row dated
// 'names' before 1.2, Config rows from 1.2 on).
namespace LegacySchema {
void create(const QString& path, double version);

// What every fixture holds, as HistoryTestContext::rows() prints it.
QStringList monthlyRows(); // AnniversaryDate|LastUpdate|PeakQuota|OffpeakQuota|PlanType
QStringList dailyRows();   // Date|Peak|Offpeak|Freezone, without the names row
QString statusRow();       // IP|ConnectTime|PeakStatus|OffPeakStatus
} // namespace LegacySchema
