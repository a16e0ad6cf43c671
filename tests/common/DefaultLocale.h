// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>

// Qt's default locale, the user's locale of the figures and month names on screen, for the
// length of a scope.
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale& locale) : m_before(QLocale()) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_before); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

    static QLocale german() { return QLocale(QLocale::German, QLocale::Germany); }

private:
    QLocale m_before;
};
