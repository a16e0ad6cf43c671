// SPDX-License-Identifier: MIT
#pragma once

#include "GraphContext.h"

#include <QPointer>
#include <QString>

class frmTeeGraph;
struct qoMonth;

// The graph window's module: loads the window and rebuilds its two charts.
class modTeeGraph
{
public:
    explicit modTeeGraph(const GraphContext& context);
    ~modTeeGraph();
    modTeeGraph(const modTeeGraph&) = delete;
    modTeeGraph& operator=(const modTeeGraph&) = delete;

    bool isLoaded() const;
    // Loads the window when needed (a new window is shown), sets its caption and rebuilds both
    // charts. A month without days shows a message and leaves the window as it is.
    void RefreshTeeGraph(const qoMonth& month);
    // The main window's graph command: a loaded window comes to the front (restored when
    // minimised), then RefreshTeeGraph.
    void cmdTeeGraph(const qoMonth& month);
    bool RefreshDailyGraph(const qoMonth& month, QString& szErr);
    bool RefreshMonthlyGraph(QString& szErr);
    // Hides both charts of a loaded window.
    void hideCharts();
    // Closes a loaded window the way its Close button does.
    void unload();
    frmTeeGraph* window() const;

private:
    void load();
    // The main window's month list shows its newest month; an empty list shows none.
    static bool latestMonthShown();

    GraphContext m_ctx;
    QPointer<frmTeeGraph> m_form;
};
