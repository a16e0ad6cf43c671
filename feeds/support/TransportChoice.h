// SPDX-License-Identifier: MIT
#pragma once

#include "StatusSink.h"

#include <QString>

#include <cstdint>
#include <memory>

class clsWinHTTP;

// The component a transport works for: its title names its registry key and starts its messages
// and detail texts; its version goes into the user agent.
struct TransportOwner
{
    QString title;              // "Pelborne" or "Sarnick"
    QString version;            // the component's major.minor.revision, e.g. "1.0.2"
    StatusSink status;          // the component's own Status event
    StatusSink transportStatus; // where the WinHTTP transport's lines go; empty drops them

    // "Software\<title>\Config" under the current user's hive.
    QString configKey() const { return QStringLiteral("Software\\") + title + QStringLiteral("\\Config"); }
};

// True selects the MSXML transport: a present "UseMSXML" DWORD above 0 does, one of 0 or less
// does not; without the value, running under Wine does. The messages start
// "<title>.<procedure>: ". Read afresh on every call.
bool UseMSXML(const TransportOwner& owner, const QString& procedure = QStringLiteral("UseMSXML"));

// "<host name> <host version> (<title> COM <version>; <OS>[ on Wine])".
QString BuildUserAgentString(const TransportOwner& owner);

// Creates the owner's WinHTTP transport on first need (with the proxy and the user agent) and
// keeps it; a later call changes nothing. False with the two error texts when the set-up failed.
bool SetupWinHTTP(const TransportOwner& owner, std::unique_ptr<clsWinHTTP>& transport, int16_t intTimeout,
                  const QString& proxyServer, const QString& proxyUser, const QString& proxyPassword,
                  QString& szLastError, QString& szLastErrorDetail);

// The proxy part of a WinHTTP set-up, with its messages under "<title>.<procedure>: ": without a
// server nothing is set; with one, the server, user and password all are (the password is never
// shown).
void ConfigureWinHTTPProxy(const TransportOwner& owner, const QString& procedure, clsWinHTTP& transport,
                           const QString& proxyServer, const QString& proxyUser, const QString& proxyPassword);
