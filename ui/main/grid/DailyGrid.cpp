// SPDX-License-Identifier: MIT
#include "DailyGrid.h"

#include "AppInfo.h"
#include "GridFill.h"
#include "LocalDateTime.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "Settings.h"
#include "TextRoutines.h"
#include "qoMonth.h"

using namespace Qt::StringLiterals;

DailyGrid::DailyGrid(const AppInfo& app, RegistryAccess& registry, Settings& settings, const Clock& clock, LogSink log)
    : m_app(app), m_registry(registry), m_settings(settings), m_clock(clock), m_log(std::move(log))
{}

void DailyGrid::log(const QString& message, int16_t level) const
{
    if (m_log)
        m_log(message, level);
}

bool DailyGrid::ParseArrays(bool quiet, const qoMonth& month, QString& szErr)
{
    Q_UNUSED(szErr);
    log(u"calling ParseArrays"_s, 3);
    log(u"ParseArrays(quiet="_s + BooleanText(quiet) + u")"_s, 5);
    const bool commas = m_settings.hasOption(OptionFlag::CommaSeparators);
    const GridFill fill({commas, m_settings.hasOption(OptionFlag::EstShaping)}, m_clock.now().date(), m_log);
    m_model.setContents(fill.fill(month));

    m_today.reset();
    const int index = contents().todayIndex;
    if (index >= 0) {
        const auto text = [commas, index](const QList<float>& series) {
            return FormatTwoDecimals(singleText(index < series.size() ? series.at(index) : 0.0f), commas);
        };
        m_today = std::array<QString, 3>{text(month.DailyPeak), text(month.DailyFreezone), text(month.DailyOffpeak)};
    }
    if (m_settings.hasOption(OptionFlag::SortRemember))
        SortFlex(m_settings.SortCol);
    return true;
}

void DailyGrid::SortFlex(int column)
{
    const bool descending = m_settings.SortDir;
    // A remembered column that this month's grid lacks sorts by date, and stays remembered for a
    // month that has it again.
    if (m_model.sortFlex(column, descending, m_log) != column)
        return;
    m_settings.SortCol = column;
    if (!m_settings.hasOption(OptionFlag::SortRemember))
        return;
    QString szErr;
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"SortCol"_s, column, szErr);
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"SortDir"_s, descending ? 0 : 1, szErr);
}

void DailyGrid::headerClicked(int column)
{
    if (column == m_settings.SortCol)
        m_settings.SortDir = !m_settings.SortDir;
    SortFlex(column);
}

QString DailyGrid::addUpText(int row, int rowSel) const
{
    return GridSelection::addUpText(contents(), row, rowSel, m_settings.hasOption(OptionFlag::CommaSeparators));
}

QList<std::optional<int32_t>> DailyGrid::storedColumnWidths() const
{
    QList<std::optional<int32_t>> widths(contents().columnCount());
    for (int c = 1; c < widths.size(); ++c) {
        int32_t twips = 0;
        if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"Col"_s + QString::number(c), twips))
            widths[c] = twips;
    }
    return widths;
}

QList<int32_t> DailyGrid::columnWidths() const
{
    const QList<std::optional<int32_t>> stored = storedColumnWidths();
    QList<int32_t> widths(stored.size(), DefaultColumnWidth);
    if (!widths.isEmpty())
        widths[0] = 0;
    for (int c = 1; c < widths.size(); ++c)
        if (stored.at(c))
            widths[c] = *stored.at(c);
    return widths;
}

void DailyGrid::SaveGridColumnWidths(const QList<int32_t>& widthsInTwips)
{
    log(u"frmMain: saving grid column widths"_s, 6);
    for (int c = 1; c < widthsInTwips.size(); ++c) {
        QString szErr;
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"Col"_s + QString::number(c),
                                     widthsInTwips.at(c), szErr);
    }
}
