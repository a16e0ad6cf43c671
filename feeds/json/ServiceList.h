// SPDX-License-Identifier: MIT
#pragma once

#include "StatusSink.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Pelborne's list of an account's services, from the provider's sign-in reply: the login token
// and, for each service that offers the "Usage" action, its name and its service token.
class ServiceList
{
public:
    // Lines go out as "Pelborne.<procedure>: ...".
    explicit ServiceList(StatusSink status = {}) : m_status(std::move(status)) {}

    // Reads a sign-in reply. The list changes only when the whole reply was good; on false, error
    // says why ("Quolla said: ..." for a refused sign-in).
    bool ParseServiceList(const QString& reply, QString& error);

    // The token of the first service whose name equals name exactly, or begins with name and "@"
    // (letter case ignored there); empty when none matches.
    QString ServiceToken(const QString& name) const;

    const QString& loginToken() const { return m_loginToken; }
    const QStringList& names() const { return m_names; }
    const QStringList& tokens() const { return m_tokens; }
    // The number of services as the last successful fetch counted them.
    int16_t count() const { return m_count; }
    void setCount(int16_t count) { m_count = count; }

private:
    void raise(const QString& procedure, const QString& text, int16_t level) const;

    StatusSink m_status;
    QString m_loginToken;
    QStringList m_names;
    QStringList m_tokens;
    int16_t m_count = 0;
};
