// SPDX-License-Identifier: MIT
// Sarnick's reading of a feed reply, from its bytes to the daily arrays: the checks on the reply,
// the XML document and every part of it, in the order the component takes them.
#include "FeedDocument.h"
#include "FeedReplyCheck.h"
#include "XmlDocument.h"

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {
// Lines are built as for the component's Status event, then dropped.
void dropLine(const QString&, int16_t) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char*>(data), qsizetype(size));
    UsageDataState state;
    state.szAccountName = u"Quolla"_s;
    if (Sarnick::CheckFeedReply(XmlDocument::decodeText(reply), state.szAccountName))
        return 0;
    // A document that does not load is still read, as the component reads it: as an empty one.
    XmlDocument document;
    document.load(reply);
    // The time the retrieval gives the data before the days are read.
    state.szLastUpdate = u"2024-03-15 10:00:00"_s;
    Sarnick::FeedDocument feed(document, state, dropLine);
    if (feed.readParts())
        feed.ParseDailyData();
    return 0;
}
