// The byte stream a mail client talks over, so the protocol code stays portable and a
// secure channel wraps the same interface in one place.
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

// How a connection to a mail server is secured, as a server entry's "TLSk" stores it.
enum class TlsMode { kNone = 0, kStartTlsWhenOffered = 1, kStartTlsRequired = 2, kImplicit = 3 };
inline constexpr int kTlsModeCount = 4;

// The secure channel could not be set up: the handshake failed, or the server went away in
// the middle of it. Never a reason to go on in plain text.
class TlsError : public std::runtime_error {
 public:
  // "host: the secure connection could not be set up (detail)".
  explicit TlsError(const std::string& host, const std::string& detail = "");
};

// The server's certificate did not pass the checks. The user may choose to trust this one
// certificate for the server, by its fingerprint.
class CertificateError : public std::runtime_error {
 public:
  CertificateError(const std::string& host, const std::string& reason, const std::string& fingerprint)
      : std::runtime_error(host + ": " + reason), host_(host), reason_(reason), fingerprint_(fingerprint) {}
  const std::string& Host() const { return host_; }
  const std::string& Reason() const { return reason_; }
  const std::string& Fingerprint() const { return fingerprint_; }  // SHA-256, "AB:CD:..."

 private:
  std::string host_, reason_, fingerprint_;
};

// Who a secure channel is for.
struct TlsPeer {
  std::string host;                 // the name the certificate must carry (and the one asked for)
  std::string trusted_certificate;  // a fingerprint the user chose to trust for this server, or ""
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
  // The same stream through TLS, once the handshake is done and the certificate has passed.
  // Throws TlsError or CertificateError; the plain connection is closed then.
  virtual std::unique_ptr<Connection> Secure(std::unique_ptr<Connection> plain, const TlsPeer& peer);
};

// Whether two fingerprints name the same certificate: hex digits compared without case,
// separators ignored.
bool SameFingerprint(std::string_view a, std::string_view b);

// A digest as a fingerprint is shown and stored: "AB:CD:...".
std::string FingerprintText(std::string_view digest);

}  // namespace qp
