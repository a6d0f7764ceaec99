// Connections over Winsock that keep the window alive while they wait.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "delivery/connection.h"
#include "delivery/dns_resolver.h"

struct addrinfo;  // the system's, of <ws2tcpip.h>

namespace qp {

class WinsockConnector final : public Connector {
 public:
  // How a host name becomes addresses: getaddrinfo's contract (0 and a list to free with
  // freeaddrinfo, or an error code). It runs on a thread of its own.
  using Resolver = std::function<int(const std::string& host, const std::string& port, addrinfo** found)>;

  // idle runs between short waits (the window's messages) and answers whether to go on
  // waiting: false abandons the wait (the user cancelled). Time-outs in milliseconds; the
  // name lookup shares the connect time-out.
  WinsockConnector(std::function<bool()> idle, int connect_timeout_ms = 30000, int read_timeout_ms = 60000, Resolver resolver = {});
  ~WinsockConnector() override;
  std::unique_ptr<Connection> Connect(const std::string& host, int port) override;
  // Through the system's Schannel.
  std::unique_ptr<Connection> Secure(std::unique_ptr<Connection> plain, const TlsPeer& peer) override;

 private:
  addrinfo* Resolve(const std::string& host, int port);

  Resolver resolver_;
  std::function<bool()> idle_;
  int connect_timeout_ms_, read_timeout_ms_;
  bool started_ = false;
};

// The MX lookup's UDP socket, on a random port of the dynamic range; its waits let the window run
// like the connections' do, and a cancel ends them.
class WinsockDnsTransport final : public DnsTransport {
 public:
  explicit WinsockDnsTransport(std::function<bool()> idle);  // throws SocketError
  ~WinsockDnsTransport() override;
  WinsockDnsTransport(const WinsockDnsTransport&) = delete;
  WinsockDnsTransport& operator=(const WinsockDnsTransport&) = delete;

  void Send(const std::string& server, int port, std::string_view message) override;
  std::optional<Datagram> Receive(Deadline deadline) override;
  std::string AskOverTcp(const std::string& server, int port, std::string_view message, Deadline deadline) override;
  bool Cancelled() const override { return cancelled_; }

 private:
  std::uintptr_t socket_;  // a SOCKET
  std::function<bool()> idle_;
  bool cancelled_ = false;
};

}  // namespace qp
