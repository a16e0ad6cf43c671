// SPDX-License-Identifier: MIT
#pragma once

#include "MonthDescription.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The JSON API's replies: the sign-in with its service list, a month's usage, and the error reply.
class MonthJsonRenderer
{
public:
    struct Service
    {
        QString name;  // "pk_v"
        QString token; // "s_token"
        QStringList actions;
    };

    static QByteArray signIn(const QString& token, const QList<Service>& services);
    // numbersAsText sends allocation, anniversary, period and value as numeric text instead of numbers,
    // as some of the provider's servers do.
    static QByteArray usage(const MonthDescription& month, bool numbersAsText);
    static QByteArray error(const QString& text);
};
