// Connections over Winsock: non-blocking sockets waited on in short slices, so the
// cancel button and the menus keep working while a server takes its time.
#include "delivery/winsock_connection_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>
#include <string>
#include <utility>

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

}  // namespace qp
