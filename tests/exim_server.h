// Debian's exim on loopback (tests/exim_server.py) for the length of a test: a strict, real
// mail server, its delivered letters and its logs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "posix_connector.h"
#include "test_support.h"

namespace qp::test {

class EximServer {
 public:
  // The flags of exim_server.py: --auth USER:PASS, --tls-cert CERT --tls-key KEY, --implicit-port.
  explicit EximServer(const std::vector<std::string>& flags = {});
  // Ends exim and every process it started before the folder goes.
  ~EximServer();
  EximServer(const EximServer&) = delete;
  EximServer& operator=(const EximServer&) = delete;

  int Port() const { return port_; }
  int ImplicitTlsPort() const { return implicit_port_; }  // 0 without --implicit-port

  // exim delivers each letter in a process of its own after it has answered the letter's
  // end: waits until n are delivered (one per recipient); false when they are not within 10 s.
  bool WaitForLetters(std::size_t n) const;
  // The delivered letters as stored (exim's Return-path, Envelope-to and Received first, CR LF
  // lines), in no particular order.
  std::vector<std::string> Letters() const;
  std::string MainLog() const;
  std::string RejectLog() const;

 private:
  TempDir dir_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
  int implicit_port_ = 0;
};

}  // namespace qp::test
