// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// Whether the session bus has a StatusNotifier host (a panel that shows items), followed by what
// the bus and the panel's watcher announce: the watcher's name changing owner, and its signals
// when a host registers or goes. The watcher is asked only then, and never waited for: a panel
// that hangs leaves the last answer standing and the program's thread free, and its answer counts
// whenever it comes.
class StatusNotifierHostWatch : public QObject
{
    Q_OBJECT
public:
    static inline const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
    // How long the first answer may take before the host counts as absent until the watcher
    // answers after all.
    static constexpr int FirstAnswerLimitMs = 2000;

    explicit StatusNotifierHostWatch(QObject* parent = nullptr);

    bool hostPresent() const { return m_present; }
    // The first answer came, or its time ran out.
    bool isKnown() const { return m_known; }

signals:
    // The host came or went, or the first answer is in.
    void changed();

private slots:
    void readHost();

private:
    void settle(bool present);

    // Counts the questions asked: only the answer to the last one counts.
    int m_reads = 0;
    bool m_present = false;
    bool m_known = false;
};
