// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The second HTTP transport of the components: one request through the system's proxy settings,
// polled every 100 ms (events keep flowing meanwhile) until it completes or lngTimeout whole
// seconds have passed. Raises nothing; reports no Status lines.
namespace modMSXML {
// True for HTTP status 200 with the body in szResponse; false with the two error texts otherwise.
// componentName ("Pelborne" or "Sarnick") starts the detailed texts that name it. responseBody,
// when given, receives the body exactly as it arrived.
bool HTTPFetch(const QString& szMethod, const QString& szURL, const QString& szData, int32_t lngTimeout,
               const QString& szUserAgent, QString& szErrorString, QString& szErrorDetail, QString& szResponse,
               const QString& componentName, QByteArray* responseBody = nullptr);
} // namespace modMSXML
