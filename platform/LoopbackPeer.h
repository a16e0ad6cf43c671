// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// Who is at the other end of a TCP connection over this machine's loopback interface (127.0.0.1).
// Anyone on the machine may connect to a loopback port; the system's table of connections says which
// of its sockets is whose.
namespace LoopbackPeer {

// Whether the connection from peerPort to port (both on 127.0.0.1) comes from a socket of this
// process. False when the system does not tell.
bool isOwnProcess(quint16 peerPort, quint16 port);

} // namespace LoopbackPeer
