// SPDX-License-Identifier: MIT
// Pelborne's reading of a reply, from its bytes to the daily arrays: the JSON reader, the service
// list of a sign-in reply, the account part of a usage reply and its days, in the order the
// component takes them. Run-time errors are answers; anything else that escapes is a fault.
#include "CachedMonth.h"
#include "DailyUsage.h"
#include "JsonParser.h"
#include "RunTimeError.h"
#include "ServiceList.h"
#include "UsageReply.h"

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {
// Lines are built as for the component's Status event, then dropped.
void dropLine(const QString&, int16_t) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    ServiceList services(dropLine);
    QString error;
    services.ParseServiceList(reply, error);

    JsonValue root;
    try {
        if (!JsonParse2(reply, root, error))
            return 0;
    } catch (const RunTimeError&) {
        return 0;
    }
    UsageDataState state;
    UsageReply account(state, dropLine);
    // Each step as the component guards it: a failed step is reported and the next one runs.
    const auto step = [](auto&& read) {
        try {
            read();
        } catch (const RunTimeError&) {
        }
    };
    step([&] {
        account.readProductAndPlan(root);
        account.readConnections(root);
    });
    step([&] { account.readAnniversary(root); });
    step([&] { account.readTrafficTypes(root); });
    step([&] { account.readOffpeakHours(root); });
    account.plausible();
    const JsonValue* days = &JsonValue::emptyValue();
    step([&] { days = &root[u"response"_s][u"usage"_s][u"data"_s]; });
    ParseDailyData(state, *days, dropLine);
    CachedMonth::mismatch(state, *LocalDateTime::fromParts(2024, 3, 1));
    return 0;
}
