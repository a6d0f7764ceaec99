// Connections over Winsock: non-blocking sockets waited on in short slices, so the
// cancel button and the menus keep working while a server takes its time.
#include "delivery/winsock_connection_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "delivery/schannel_connection_win.h"

namespace qp {
namespace {

constexpr int kSliceMs = 50;

std::string ErrorText(int code) {
  switch (code) {
    case WSAECONNREFUSED: return "Connection refused.";
    case WSAECONNRESET: return "Connection reset by peer.";
    case WSAETIMEDOUT: return "Connection timed out.";
    case WSAEHOSTUNREACH: return "No route to host.";
    case WSAHOST_NOT_FOUND: return "Host not found.";
    default: return "Socket Error # " + std::to_string(code);
  }
}

// Waits until the socket is ready (read or write), letting the window run meanwhile.
bool WaitReady(SOCKET s, bool for_write, int timeout_ms, const std::function<bool()>& idle) {
  const DWORD start = GetTickCount();
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    fd_set errors;
    FD_ZERO(&errors);
    FD_SET(s, &errors);
    timeval slice{0, kSliceMs * 1000};
    int n = select(0, for_write ? nullptr : &set, for_write ? &set : nullptr, &errors, &slice);
    if (n == SOCKET_ERROR) throw SocketError(WSAGetLastError(), ErrorText(WSAGetLastError()));
    if (n > 0) {
      if (FD_ISSET(s, &errors)) {
        int code = 0, size = sizeof code;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
        throw SocketError(code ? code : WSAECONNREFUSED, ErrorText(code ? code : WSAECONNREFUSED));
      }
      return true;
    }
    if (idle && !idle()) throw SocketError(WSAEINTR, "Operation cancelled.");
    if (static_cast<int>(GetTickCount() - start) >= timeout_ms) return false;
  }
}

class WinsockConnection final : public Connection {
 public:
  WinsockConnection(SOCKET s, int timeout_ms, const std::function<bool()>& idle) : s_(s), timeout_ms_(timeout_ms), idle_(idle) {}
  ~WinsockConnection() override { Close(); }

  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      if (s_ == INVALID_SOCKET) throw GracefulCloseError();
      if (!WaitReady(s_, true, timeout_ms_, idle_)) throw SocketError(WSAETIMEDOUT, ErrorText(WSAETIMEDOUT));
      if (s_ == INVALID_SOCKET) throw GracefulCloseError();
      int n = send(s_, bytes.data(), static_cast<int>(std::min<size_t>(bytes.size(), 65536)), 0);
      if (n == SOCKET_ERROR) {
        int code = WSAGetLastError();
        if (code == WSAEWOULDBLOCK) continue;
        throw SocketError(code, ErrorText(code));
      }
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  std::string Read() override {
    for (;;) {
      if (s_ == INVALID_SOCKET) throw GracefulCloseError();
      if (!WaitReady(s_, false, timeout_ms_, idle_)) throw SocketError(kTimedOutCode, "Read timed out.");
      if (s_ == INVALID_SOCKET) throw GracefulCloseError();
      char buffer[8192];
      int n = recv(s_, buffer, sizeof buffer, 0);
      if (n == 0) throw GracefulCloseError();
      if (n == SOCKET_ERROR) {
        int code = WSAGetLastError();
        if (code == WSAEWOULDBLOCK) continue;
        throw SocketError(code, ErrorText(code));
      }
      return std::string(buffer, static_cast<size_t>(n));
    }
  }

  bool EndedWhileIdle() override {
    if (s_ == INVALID_SOCKET) return true;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s_, &set);
    timeval none{0, 0};
    // Readable means closed, failed or spoken to unasked: none of them leaves it usable.
    return select(0, &set, nullptr, nullptr, &none) != 0;
  }

  void Close() override {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = INVALID_SOCKET;
  }

 private:
  SOCKET s_;
  int timeout_ms_;
  std::function<bool()> idle_;
};

// One name lookup on a thread of its own. The thread and the waiting side share it; whoever
// lets go last frees it, so a wait the user abandoned leaves nothing behind and nothing
// the thread still uses.
struct NameLookup {
  WinsockConnector::Resolver resolve;
  std::string host, port;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  int result = EAI_FAIL;
  addrinfo* found = nullptr;
  ~NameLookup() {
    if (found) freeaddrinfo(found);
    if (done) CloseHandle(done);
  }
};

DWORD WINAPI RunLookup(void* parameter) {
  std::unique_ptr<std::shared_ptr<NameLookup>> owner(static_cast<std::shared_ptr<NameLookup>*>(parameter));
  NameLookup& lookup = **owner;
  lookup.result = lookup.resolve(lookup.host, lookup.port, &lookup.found);
  SetEvent(lookup.done);
  return 0;
}

}  // namespace

WinsockConnector::WinsockConnector(std::function<bool()> idle, int connect_timeout_ms, int read_timeout_ms, Resolver resolver)
    : resolver_(std::move(resolver)), idle_(std::move(idle)), connect_timeout_ms_(connect_timeout_ms), read_timeout_ms_(read_timeout_ms) {
  if (!resolver_) {
    resolver_ = [](const std::string& host, const std::string& port, addrinfo** found) {
      addrinfo hints{};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      return getaddrinfo(host.c_str(), port.c_str(), &hints, found);
    };
  }
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

addrinfo* WinsockConnector::Resolve(const std::string& host, int port) {
  auto lookup = std::make_shared<NameLookup>();
  lookup->resolve = resolver_;
  lookup->host = host;
  lookup->port = std::to_string(port);
  auto* for_thread = new std::shared_ptr<NameLookup>(lookup);
  HANDLE thread = lookup->done ? CreateThread(nullptr, 0, RunLookup, for_thread, 0, nullptr) : nullptr;
  if (!thread) {
    delete for_thread;
    throw SocketError(WSAHOST_NOT_FOUND, ErrorText(WSAHOST_NOT_FOUND));
  }
  CloseHandle(thread);
  // A slow or absent name server must not freeze the window: it answers between slices,
  // and a cancel ends the wait at once.
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(lookup->done, kSliceMs) == WAIT_TIMEOUT) {
    if (idle_ && !idle_()) throw SocketError(WSAEINTR, "Operation cancelled.");
    if (static_cast<int>(GetTickCount() - start) >= connect_timeout_ms_) throw SocketError(WSAETIMEDOUT, ErrorText(WSAETIMEDOUT));
  }
  if (lookup->result != 0 || !lookup->found) throw SocketError(WSAHOST_NOT_FOUND, ErrorText(WSAHOST_NOT_FOUND));
  return std::exchange(lookup->found, nullptr);
}

WinsockConnector::~WinsockConnector() {
  if (started_) WSACleanup();
}

std::unique_ptr<Connection> WinsockConnector::Connect(const std::string& host, int port) {
  addrinfo* found = Resolve(host, port);
  int last_error = WSAECONNREFUSED;
  for (addrinfo* a = found; a; a = a->ai_next) {
    SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) continue;
    u_long non_blocking = 1;
    ioctlsocket(s, FIONBIO, &non_blocking);
    // Each write is a whole command or a whole part of the letter: it goes out at once, not
    // after the peer's delayed acknowledgement of the one before.
    const BOOL no_delay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay), sizeof no_delay);
    try {
      if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) {
        throw SocketError(WSAGetLastError(), ErrorText(WSAGetLastError()));
      }
      if (!WaitReady(s, true, connect_timeout_ms_, idle_)) throw SocketError(WSAETIMEDOUT, ErrorText(WSAETIMEDOUT));
      int code = 0, size = sizeof code;
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
      if (code != 0) throw SocketError(code, ErrorText(code));
      freeaddrinfo(found);
      return std::make_unique<WinsockConnection>(s, read_timeout_ms_, idle_);
    } catch (const SocketError& e) {
      last_error = e.Code();
      closesocket(s);
    }
  }
  freeaddrinfo(found);
  throw SocketError(last_error, ErrorText(last_error));
}

std::unique_ptr<Connection> WinsockConnector::Secure(std::unique_ptr<Connection> plain, const TlsPeer& peer) {
  return SecureWithSchannel(std::move(plain), peer);
}

namespace {

sockaddr_in Ipv4(const std::string& address, int port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<u_short>(port));
  if (InetPtonA(AF_INET, address.c_str(), &to.sin_addr) != 1) throw SocketError(WSAEFAULT, "Not an IPv4 address: " + address);
  return to;
}

}  // namespace

WinsockDnsTransport::WinsockDnsTransport(std::function<bool()> idle) : idle_(std::move(idle)) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  // A source port nobody can guess, from the dynamic range (the system's own choice may
  // be the next one up); the system picks when every try is taken.
  std::random_device random;
  bool bound = false;
  for (int attempt = 0; attempt < 16 && s != INVALID_SOCKET && !bound; ++attempt) {
    any.sin_port = htons(static_cast<u_short>(49152 + random() % 16384));
    bound = bind(s, reinterpret_cast<sockaddr*>(&any), sizeof any) == 0;
  }
  any.sin_port = 0;
  if (s == INVALID_SOCKET || (!bound && bind(s, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0)) {
    const int code = WSAGetLastError();
    if (s != INVALID_SOCKET) closesocket(s);
    WSACleanup();
    throw SocketError(code, ErrorText(code));
  }
  socket_ = s;
}

WinsockDnsTransport::~WinsockDnsTransport() {
  closesocket(static_cast<SOCKET>(socket_));
  WSACleanup();
}

void WinsockDnsTransport::Send(const std::string& server, int port, std::string_view message) {
  const sockaddr_in to = Ipv4(server, port);
  if (sendto(static_cast<SOCKET>(socket_), message.data(), static_cast<int>(message.size()), 0, reinterpret_cast<const sockaddr*>(&to),
             sizeof to) == SOCKET_ERROR) {
    throw SocketError(WSAGetLastError(), ErrorText(WSAGetLastError()));
  }
}

std::optional<DnsTransport::Datagram> WinsockDnsTransport::Receive(Deadline deadline) {
  const SOCKET s = static_cast<SOCKET>(socket_);
  for (;;) {
    const int left = MillisecondsUntil(deadline);
    if (left <= 0) return std::nullopt;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval slice{0, std::min(left, kSliceMs) * 1000};
    const int n = select(0, &set, nullptr, nullptr, &slice);
    if (n == SOCKET_ERROR) throw SocketError(WSAGetLastError(), ErrorText(WSAGetLastError()));
    if (n > 0) {
      char buffer[65536];
      sockaddr_in from{};
      int from_size = sizeof from;
      const int got = recvfrom(s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
      // An ICMP "port unreachable" of an earlier datagram shows as an error here: nothing of use.
      if (got == SOCKET_ERROR) return Datagram{};
      char address[INET_ADDRSTRLEN] = {};
      InetNtopA(AF_INET, &from.sin_addr, address, sizeof address);
      return Datagram{std::string(buffer, static_cast<std::size_t>(got)), address, ntohs(from.sin_port)};
    }
    if (idle_ && !idle_()) {
      cancelled_ = true;
      return std::nullopt;
    }
  }
}

std::string WinsockDnsTransport::AskOverTcp(const std::string& server, int port, std::string_view message, Deadline deadline) {
  const int timeout = std::max(MillisecondsUntil(deadline), 1);
  WinsockConnector connector(idle_, timeout, timeout);
  return ExchangeDnsOverTcp(*connector.Connect(server, port), message);
}

}  // namespace qp
