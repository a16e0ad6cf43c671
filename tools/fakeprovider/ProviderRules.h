// SPDX-License-Identifier: MIT
#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// A test's override of the provider's default answer.
struct ProviderRule
{
    QString path = {};          // prefix of the request path; empty matches every request (CONNECT too)
    QString queryContains = {}; // part of the query, raw or decoded ("_USERNAME=bob"); empty matches any
    int status = 200;
    QByteArray reason = {}; // empty: the usual phrase
    QByteArray body = {};
    QByteArray contentType = {}; // empty: guessed from the body
    int delayMs = 0;
    bool neverAnswer = false;
    bool closeWithoutReply = false;
    QList<QPair<QByteArray, QByteArray>> headers = {};
    int times = -1;               // how many requests the rule serves; -1: all
    QByteArray unlessHeader = {}; // the rule passes over requests that carry this header (auth challenges)
    bool useDefaultReply = false; // answer as the provider would, but with delayMs and headers applied
};

// The overrides in the order they were added; the first that matches a request wins.
class ProviderRules
{
public:
    void add(const ProviderRule& rule) { m_rules.append(rule); }
    void clear() { m_rules.clear(); }

    // The rule for this request, its use counted; nothing when no rule matches.
    std::optional<ProviderRule> take(const HttpRequest& request);

private:
    QList<ProviderRule> m_rules;
};
