// SPDX-License-Identifier: MIT
#include "UpDownControl.h"

#include "ConfigRules.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDownControl::UpDownControl(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, 11);
        layout->addWidget(button);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDownControl::setMinimum(int32_t minimum)
{
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
    if (m_value < m_minimum)
        setValue(m_minimum);
}

void UpDownControl::setMaximum(int32_t maximum)
{
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
    if (m_value > m_maximum)
        setValue(m_maximum);
}

void UpDownControl::setValue(int64_t value)
{
    m_value = ConfigRules::clampToRange(value, m_minimum, m_maximum);
    m_buddy->setText(QString::number(m_value));
}

void UpDownControl::step(int delta)
{
    // An arrow steps from the number the buddy shows, which may have been typed since the value
    // was last set; a text that is no number leaves the value held as the start.
    const int32_t from = ConfigRules::validatedNumber(m_buddy->text(), m_minimum, m_maximum).value_or(m_value);
    setValue(static_cast<int64_t>(from) + delta);
}
