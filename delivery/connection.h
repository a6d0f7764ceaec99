// The byte stream a mail client talks over, so the protocol code stays portable and a
// secure channel can later wrap the same interface in one place.
#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qp {

// A failure of the network itself (refused, reset, timed out, unreachable).
class SocketError : public std::runtime_error {
 public:
  SocketError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// The peer closed the connection in an orderly way.
class GracefulCloseError : public std::runtime_error {
 public:
  GracefulCloseError() : std::runtime_error("Connection Closed Gracefully.") {}
};

inline constexpr int kConnectionResetCode = 10054;
inline constexpr int kTimedOutCode = 10060;

class Connection {
 public:
  virtual ~Connection() = default;
  // Sends all bytes or throws SocketError.
  virtual void Write(std::string_view bytes) = 0;
  // Some bytes, waiting at most the time-out; throws SocketError on failure or time-out
  // and GracefulCloseError when the peer has closed.
  virtual std::string Read() = 0;
  // A kept connection's check, without waiting: whether the peer has closed it or has said
  // something while nothing was asked (a server ending an idle connection says "421" and
  // closes). Either way the connection cannot carry the next letter.
  virtual bool EndedWhileIdle() = 0;
  virtual void Close() = 0;
};

class Connector {
 public:
  virtual ~Connector() = default;
  // Throws SocketError when the host cannot be reached.
  virtual std::unique_ptr<Connection> Connect(const std::string& host, int port) = 0;
};

}  // namespace qp
