// The connection the native tests use: plain POSIX sockets with a time-out, the same
// contract the Windows build gets from Winsock.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "delivery/connection.h"
#include "delivery/dns_resolver.h"
#include "test_support.h"

namespace qp::test {

class PosixConnector final : public Connector {
 public:
  // idle, when given, runs between short waits of a read as the window's messages do, and
  // answers whether to go on waiting.
  explicit PosixConnector(int timeout_ms = 5000, std::function<bool()> idle = {}) : timeout_ms_(timeout_ms), idle_(std::move(idle)) {}
  std::unique_ptr<Connection> Connect(const std::string& host, int port) override;

 private:
  int timeout_ms_;
  std::function<bool()> idle_;
};

// The DNS transport the native tests use: one UDP socket on a port the system picks.
class PosixDnsTransport final : public DnsTransport {
 public:
  PosixDnsTransport();
  ~PosixDnsTransport() override;
  PosixDnsTransport(const PosixDnsTransport&) = delete;
  PosixDnsTransport& operator=(const PosixDnsTransport&) = delete;
  void Send(const std::string& server, int port, std::string_view message) override;
  std::optional<Datagram> Receive(Deadline deadline) override;
  std::string AskOverTcp(const std::string& server, int port, std::string_view message, Deadline deadline) override;

 private:
  int fd_ = -1;
};

// A helper program run for the length of a test: its first output lines are kept (the
// test servers print their ports there); it is killed when this object goes.
class ChildProcess {
 public:
  // Waits for that many lines of output (fewer when the program ends first); with 0 the
  // output is not waited for (a server that says nothing on standard output).
  explicit ChildProcess(const std::vector<std::string>& argv, int lines_to_read = 1);
  ~ChildProcess();
  const std::string& FirstLine() const { return lines_.empty() ? no_line_ : lines_.front(); }
  const std::vector<std::string>& Lines() const { return lines_; }
  // Asks the program to end with this signal and waits until it has; after 10 s it is
  // killed. For a program that has work of its own to end first.
  void Stop(int signal);

 private:
  int pid_ = -1;
  std::vector<std::string> lines_;
  std::string no_line_;
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
  // How many of the server's marks (files beside the letters) begin with the prefix.
  int Marks(const std::string& prefix) const;

 private:
  TempDir dir_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

// dnsmasq on a free port of 127.0.0.1 with the given records (its --mx-host and
// --host-record options), answering only from them; ready when constructed.
class Dnsmasq {
 public:
  explicit Dnsmasq(const std::vector<std::string>& records);
  int Port() const { return port_; }

 private:
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

// Runs a command and returns its standard output.
std::string RunAndRead(const std::vector<std::string>& argv);

}  // namespace qp::test
