// TLS through the system's own Schannel, over an open connection: the program needs no
// library of its own for it, and the system's trusted roots judge the server.
#pragma once

#include <memory>

#include "delivery/connection.h"

namespace qp {

// Does the handshake over the plain connection and checks the server's certificate against
// the system's trusted roots and the peer's host name, unless it is the one the user chose to
// trust. Throws TlsError (handshake failed, the server went away), CertificateError or
// SocketError (a time-out or a cancel of the connection's own waits).
std::unique_ptr<Connection> SecureWithSchannel(std::unique_ptr<Connection> plain, const TlsPeer& peer);

}  // namespace qp
