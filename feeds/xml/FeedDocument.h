// SPDX-License-Identifier: MIT
#pragma once

#include "RunTimeError.h"
#include "StatusSink.h"
#include "UsageDataState.h"
#include "XmlDocument.h"

#include <QString>

#include <cstdint>

namespace Sarnick {

// Reads a loaded feed document into a UsageData state: the feed's error, the account, the
// connections, the reset day, the traffic types and the off-peak hours (readParts), then the days
// and the month's figures (ParseDailyData). Lines go out as "Sarnick.<procedure>: ...".
class FeedDocument
{
public:
    FeedDocument(const XmlDocument& document, UsageDataState& state, StatusSink status)
        : m_document(document), m(state), m_status(std::move(status))
    {}

    // False, with szLastError and szLastErrorDetail set, when the document holds the feed's error
    // or too little to be a month.
    bool readParts();
    // False, with the error texts set, when a day cannot be read; what was filled before stays.
    bool ParseDailyData();

private:
    bool feedError();
    // True when the document names the product or the plan.
    bool readAccount();
    void readConnections();
    void readAnniversary();
    // True when the document has an off-peak class.
    bool readTrafficTypes();
    bool readTrafficType(const XmlNode& type, qsizetype index);
    void reportQuotaDataError(const RunTimeError& error) const;
    // Whole megabytes of a quota text: 0 when it is no number, and 0 after reporting an overflow.
    double quotaOrNone(const QString& allocationText) const;
    void readOffpeakHours(bool offpeakNamed);
    void readOffpeakHour(const QString& xpath, const QString& which, int16_t& hour);
    bool tooManyMissing(bool accountNamed) const;

    void raise(const QString& procedure, const QString& text, int16_t level) const;
    void raiseRetrieve(const QString& text, int16_t level) const { raise(QStringLiteral("RetrieveData"), text, level); }
    void raisePlain(const QString& text, int16_t level) const;

    const XmlDocument& m_document;
    UsageDataState& m;
    StatusSink m_status;
};

} // namespace Sarnick
