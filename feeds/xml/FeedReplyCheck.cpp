// SPDX-License-Identifier: MIT
#include "FeedReplyCheck.h"

using namespace Qt::StringLiterals;

namespace Sarnick {

namespace {

const QString CRLF = u"\r\n"_s;
const QString WebsitePrefix = u"Sarnick.RetrieveData: error retrieving data from website:\r\n"_s;
const QString MaintenancePhrase = u"toolbox a routine check up"_s;

ReplyFailure website(const QString& shortText, const QString& detail)
{
    return {u"Error retrieving data: "_s + shortText, WebsitePrefix + detail};
}

// The message with its first sentence on a line of its own and the rest indented below it.
QString firstSentenceApart(QString message)
{
    const qsizetype point = message.indexOf(u'.');
    if (point >= 0)
        message.replace(point, 1, u"."_s + CRLF + u"   "_s);
    return message;
}

} // namespace

std::optional<QString> MaintenanceMessage(const QString& reply)
{
    const qsizetype phrase = reply.indexOf(MaintenancePhrase, 0, Qt::CaseInsensitive);
    if (phrase < 0 || !reply.contains(u"<html"_s, Qt::CaseInsensitive))
        return std::nullopt;
    qsizetype start = reply.lastIndexOf(u'>', phrase) + 1;
    // The tag's own line break is not part of the message.
    if (QStringView(reply).mid(start, 2) == u"\r\n")
        start += 2;
    else if (QStringView(reply).mid(start, 1) == u"\n")
        start += 1;
    const qsizetype lineFeed = reply.indexOf(u'\n', start);
    if (lineFeed < 0)
        return std::nullopt;
    QString message = reply.mid(start, lineFeed - start);
    if (message.endsWith(u'\r'))
        message.chop(1);
    return message;
}

std::optional<ReplyFailure> CheckFeedReply(const QString& reply, const QString& accountName)
{
    if (reply.size() < 10)
        return website(u"empty response"_s, u"empty response received from "_s + accountName);
    if (reply.left(17).toLower() == u"<div>denied</div>")
        return website(u"XML request denied"_s, u"XML request denied"_s);
    if (reply.left(26).toLower() == u"<meta http-equiv='refresh'")
        return website(u"XML feed is broken"_s, u"XML feed is broken because toolbox is overloaded"_s);
    if (const std::optional<QString> message = MaintenanceMessage(reply)) {
        return website(u"toolbox is down for a routine check up"_s,
                       accountName + u" said: \""_s + firstSentenceApart(*message) + u'"');
    }
    return std::nullopt;
}

ReplyFailure FeedErrorFailure(const QString& text, bool& known)
{
    known = true;
    if (text.contains(u"large number of customers attempting"_s, Qt::CaseInsensitive))
        return website(u"toolbox overloaded, try again later"_s,
                       u"the toolbox server is overloaded, please try again later"_s);
    if (text.contains(u"no data was found for your account"_s, Qt::CaseInsensitive))
        return website(u"no data found for your account"_s, u"no data found for your account"_s);
    if (text.contains(MaintenancePhrase, Qt::CaseInsensitive))
        return website(u"toolbox is down for maintenance"_s, u"toolbox is down for maintenance"_s);
    known = false;
    return website(text, text);
}

} // namespace Sarnick
