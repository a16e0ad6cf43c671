// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// Whether the desktop's notification server reads a notification's body as markup, as it says
// when asked for its capabilities ("body-markup"). It is asked once a server runs, without waiting
// and without starting one, and again whenever another takes over; until one has answered the body
// counts as markup, as the common servers read it.
class NotificationServerWatch : public QObject
{
    Q_OBJECT
public:
    explicit NotificationServerWatch(QObject* parent = nullptr);

    bool readsMarkup() const { return m_markup; }

private:
    void ask();

    // Counts the questions asked: only the answer to the last one counts.
    int m_asks = 0;
    bool m_markup = true;
};
