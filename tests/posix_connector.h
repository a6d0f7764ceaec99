// The connection the native tests use: plain POSIX sockets with a time-out, the same
// contract the Windows build gets from Winsock.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "delivery/connection.h"
#include "test_support.h"

namespace qp::test {

class PosixConnector final : public Connector {
 public:
  explicit PosixConnector(int timeout_ms = 5000) : timeout_ms_(timeout_ms) {}
  std::unique_ptr<Connection> Connect(const std::string& host, int port) override;

 private:
  int timeout_ms_;
};

// A helper program run for the length of a test: its first output line is kept (the
// test servers print their port there); it is killed when this object goes.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  const std::string& FirstLine() const { return first_line_; }

 private:
  int pid_ = -1;
  std::string first_line_;
};

// The test SMTP server (tests/smtp_server.py, aiosmtpd on loopback) with a letter folder
// of its own, for the length of a test.
class SmtpServer {
 public:
  explicit SmtpServer(const std::vector<std::string>& flags = {});
  int Port() const { return port_; }
  std::vector<std::filesystem::path> LetterPaths() const;  // in arrival order
  std::vector<std::string> Letters() const;                // their raw text
  // Waits until the server has closed n connections by itself (--close-after); false when
  // it has not within 10 s.
  bool WaitForClosedConnections(int n) const;

 private:
  TempDir dir_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

// Runs a command and returns its standard output.
std::string RunAndRead(const std::vector<std::string>& argv);

}  // namespace qp::test
