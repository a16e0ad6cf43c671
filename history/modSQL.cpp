// SPDX-License-Identifier: MIT
#include "modSQL.h"

modSQL::modSQL(const AppInfo& app, const Settings& settings, const RunState& run, LogFrontEnd& log)
    : m_ctx{app, settings, run, log, {}}, m_sql(log), m_schema(m_ctx, m_sql), m_store(m_ctx, m_sql, m_schema),
      m_reader(m_ctx, m_sql), m_queries(m_ctx, m_sql), m_totals(m_ctx, m_sql, m_queries)
{}

StoredMonthsReader modSQL::storedMonthsReader()
{
    return [this](QList<LocalDateTime>& months, QString& error) { return SQLGetMonths(months, error); };
}
