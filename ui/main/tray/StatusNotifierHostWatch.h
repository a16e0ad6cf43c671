// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// Whether the session bus has a StatusNotifier host (a panel that shows items), followed by what
// the bus and the panel's watcher announce: the watcher's name changing owner, and its signals
// when a host registers or goes. The watcher is asked only then, and never waited for: a panel
// that hangs leaves the last answer standing and the program's thread free, and its answer counts
// whenever it comes. While a question is out the watcher may be hanging, and Qt's own calls to it
// (it makes one whenever it makes or shows a StatusNotifier icon) would wait as long.
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
    // The watcher answered the last question (or has gone, or there is no bus): it is not hanging.
    bool isAnswered() const { return !m_asking; }

signals:
    // The host came or went, the first answer is in, or an answer came.
    void changed();

private slots:
    void readHost();

private:
    void settle(bool present);

    // Counts the questions asked: only the answer to the last one counts.
    int m_reads = 0;
    bool m_asking = false;
    bool m_present = false;
    bool m_known = false;
};
