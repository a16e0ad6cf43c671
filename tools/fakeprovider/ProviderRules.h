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
    QByteArray unlessValue = {};  // ... and only where the header has this value (a password check)
    QByteArray ifHeader = {};     // the rule serves only requests whose header of this name ...
    QByteArray ifPrefix = {};     // ... begins with this (one message of a handshake: "NTLM TlRMTVNTUAAB")
    bool useDefaultReply = false; // answer as the provider would, but with delayMs and headers applied
    // Accidents on the way. The body (the rule's or the default reply's) cut after this many bytes,
    // its Content-Length saying so: a whole HTTP response that holds part of a document.
    int cutBodyAt = -1;
    // Only this many bytes of the body go out, under the Content-Length of the whole body, and then
    // the connection ends (0: right after the headers): by a close, or by a reset when asked.
    int breakOffAfter = -1;
    bool breakOffWithReset = false;
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
