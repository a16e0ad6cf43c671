// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace Sarnick {

// A reply turned down, with the two error texts of the UsageData object.
struct ReplyFailure
{
    QString szLastError;
    QString szLastErrorDetail;
};

// The checks a feed reply goes through before it is read as XML, in this order: shorter than ten
// characters, the "denied" page, the meta-refresh page of a broken feed, the toolbox's maintenance
// page. Nothing when the reply passes. accountName names the provider in the texts.
std::optional<ReplyFailure> CheckFeedReply(const QString& reply, const QString& accountName);

// The message of a maintenance page: the line that holds "toolbox a routine check up", from just
// after the last ">" before it (and the line break right after that ">") up to the end of the line.
// Nothing when the reply is no such page or the line has no end.
std::optional<QString> MaintenanceMessage(const QString& reply);

// The texts for the text of a feed's <error> element; known tells whether it is one of the
// provider's three phrases (overloaded, no data, maintenance) rather than some other message.
ReplyFailure FeedErrorFailure(const QString& text, bool& known);

} // namespace Sarnick
