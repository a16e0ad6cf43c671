// SPDX-License-Identifier: MIT
#pragma once

#include "StatusSink.h"

#include <QList>
#include <QString>

// The forms of a stored user name that the components need, and the filling of their URL
// templates. The same code in both components.

// The text before the first "@"; the whole name without one.
QString CleanUsername(const QString& user);

// Query-safe text: letters, digits and ". - _ *" stay, a space becomes "+", every other byte of
// the UTF-8 form becomes "%XX". Reports the length at level 12 without a component prefix.
QString URLEncode(const QString& text, const StatusSink& status);

// The mail domain of a brand word ("quolla", "brindle", "corvo", "dapple", "emberly"; any letter
// case); empty for anything else.
QString BrandDomain(const QString& accountName);

// How a component words the completion of a user name: the prefix of its lines
// ("Pelborne.FullUsername") and the feed it authenticates with ("JSON").
struct FullUsernameWording
{
    QString prefix;
    QString feed;
};

// A name with an "@" as it is (silently); otherwise the name and "@" and the brand's domain, or
// the name unchanged with a level-3 line when the account type names no brand.
QString FullUsername(const QString& user, const QString& szAccountName, const FullUsernameWording& wording,
                     const StatusSink& status);

// One placeholder of a URL template, matched without regard to letter case.
struct UrlPlaceholder
{
    QString name;  // "qoUID"
    QString value; // what replaces it, already encoded
    bool firstOnly = false;
};

// The template with its placeholders replaced in one pass from left to right: a value that was put
// in is never searched again, so a user name containing "qopwd" cannot receive the password.
QString FillUrlTemplate(const QString& urlTemplate, const QList<UrlPlaceholder>& placeholders);
