// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <cstdint>

class QLineEdit;
class QToolButton;

// An up-down control with a buddy text box: it holds a value within its range, and setting the
// value (by code or by its arrows) rewrites the buddy's text. Text typed into the buddy does not
// change the value until someone hands it over or an arrow steps from it.
class UpDownControl : public QWidget
{
    Q_OBJECT

public:
    UpDownControl(QLineEdit* buddy, QWidget* parent);

    void setMinimum(int32_t minimum);
    void setMaximum(int32_t maximum);
    int32_t minimum() const { return m_minimum; }
    int32_t maximum() const { return m_maximum; }
    int32_t value() const { return m_value; }
    // Held within the range; the buddy shows the value held.
    void setValue(int64_t value);
    QLineEdit* buddy() const { return m_buddy; }

private:
    void step(int delta);

    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int32_t m_minimum = 0;
    int32_t m_maximum = 100;
    int32_t m_value = 0;
};
