// POSIX sockets and child processes for the native tests.
#include "posix_connector.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace qp::test {
namespace {

class PosixConnection final : public Connection {
 public:
  PosixConnection(int fd, int timeout_ms, std::function<bool()> idle) : fd_(fd), timeout_ms_(timeout_ms), idle_(std::move(idle)) {}
  ~PosixConnection() override { Close(); }

  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0) throw SocketError(errno == ECONNRESET || errno == EPIPE ? kConnectionResetCode : errno, std::strerror(errno));
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  std::string Read() override {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms_);
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, idle_ ? 20 : timeout_ms_);
      if (ready < 0) throw SocketError(errno, std::strerror(errno));
      if (ready > 0) break;
      if (std::chrono::steady_clock::now() >= give_up) throw SocketError(kTimedOutCode, "Read timed out.");
      if (idle_ && !idle_()) throw SocketError(kCancelledCode, "Operation cancelled.");
    }
    char buffer[8192];
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n == 0) throw GracefulCloseError();
    if (n < 0) throw SocketError(errno == ECONNRESET ? kConnectionResetCode : errno, std::strerror(errno));
    return std::string(buffer, static_cast<size_t>(n));
  }

  bool EndedWhileIdle() override {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) != 0;  // closed, failed or spoken to unasked
  }

  void Close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  static constexpr int kCancelledCode = 10004;  // as Winsock says of a wait the window ended
  int fd_;
  int timeout_ms_;
  std::function<bool()> idle_;
};

// Starts the program with its standard output on a pipe; the read end goes to out.
int Spawn(const std::vector<std::string>& argv, int& out) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return -1;
  int pid = ::fork();
  if (pid == 0) {
    ::dup2(pipe_ends[1], 1);
    ::close(pipe_ends[0]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipe_ends[1]);
  out = pipe_ends[0];
  return pid;
}

}  // namespace

std::unique_ptr<Connection> PosixConnector::Connect(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    throw SocketError(11001, "Host not found.");
  }
  int fd = ::socket(found->ai_family, SOCK_STREAM, 0);
  int rc = ::connect(fd, found->ai_addr, found->ai_addrlen);
  ::freeaddrinfo(found);
  if (rc != 0) {
    int error = errno;
    ::close(fd);
    throw SocketError(error == ECONNREFUSED ? 10061 : error, std::strerror(error));
  }
  return std::make_unique<PosixConnection>(fd, timeout_ms_, idle_);
}

namespace {

sockaddr_in Ipv4(const std::string& address, int port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) throw SocketError(11001, "Not an IPv4 address: " + address);
  return to;
}

}  // namespace

PosixDnsTransport::PosixDnsTransport() {
  fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in any{};
  any.sin_family = AF_INET;  // port 0: the system picks one at random
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) throw SocketError(errno, std::strerror(errno));
}

PosixDnsTransport::~PosixDnsTransport() {
  if (fd_ >= 0) ::close(fd_);
}

void PosixDnsTransport::Send(const std::string& server, int port, std::string_view message) {
  const sockaddr_in to = Ipv4(server, port);
  if (::sendto(fd_, message.data(), message.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
    throw SocketError(errno, std::strerror(errno));
  }
}

std::optional<DnsTransport::Datagram> PosixDnsTransport::Receive(Deadline deadline) {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, MillisecondsUntil(deadline)) <= 0) return std::nullopt;
  char buffer[65536];
  sockaddr_in from{};
  socklen_t from_size = sizeof from;
  const ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
  if (n < 0) return Datagram{};  // an ICMP error of an earlier datagram: nothing of use
  char address[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &from.sin_addr, address, sizeof address);
  return Datagram{std::string(buffer, static_cast<std::size_t>(n)), address, ntohs(from.sin_port)};
}

std::string PosixDnsTransport::AskOverTcp(const std::string& server, int port, std::string_view message, Deadline deadline) {
  PosixConnector connector(std::max(MillisecondsUntil(deadline), 1));
  return ExchangeDnsOverTcp(*connector.Connect(server, port), message);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, int lines_to_read) {
  int out = -1;
  pid_ = Spawn(argv, out);
  if (pid_ < 0) return;
  std::string line;
  char c;
  while (static_cast<int>(lines_.size()) < lines_to_read && ::read(out, &c, 1) == 1) {
    if (c != '\n') {
      line += c;
      continue;
    }
    lines_.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines_.push_back(line);  // the program ended within it
  ::close(out);
}

void ChildProcess::Stop(int signal) {
  if (pid_ <= 0) return;
  ::kill(pid_, signal);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
}

namespace {

// A port free on 127.0.0.1 for both UDP and TCP just now.
int FreeDnsPort() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    int udp = ::socket(AF_INET, SOCK_DGRAM, 0), tcp = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    int port = 0;
    if (::bind(udp, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && ::getsockname(udp, reinterpret_cast<sockaddr*>(&at), &size) == 0 &&
        ::bind(tcp, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0) {
      port = ntohs(at.sin_port);
    }
    ::close(udp);
    ::close(tcp);
    if (port) return port;
  }
  return 0;
}

}  // namespace

Dnsmasq::Dnsmasq(const std::vector<std::string>& records) {
  port_ = FreeDnsPort();
  const passwd* user = ::getpwuid(::geteuid());
  std::vector<std::string> argv = {"/usr/sbin/dnsmasq",
                                   "--keep-in-foreground",
                                   "--conf-file=/dev/null",
                                   "--no-resolv",
                                   "--no-hosts",
                                   "--bind-interfaces",
                                   "--listen-address=127.0.0.1",
                                   "--port=" + std::to_string(port_),
                                   "--pid-file=",
                                   std::string("--user=") + (user ? user->pw_name : "root"),
                                   "--log-facility=/dev/null"};
  argv.insert(argv.end(), records.begin(), records.end());
  process_ = std::make_unique<ChildProcess>(argv, 0);
  // Ready once it takes a TCP connection; it takes UDP from the same moment.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < give_up) {
    try {
      PosixConnector(1000).Connect("127.0.0.1", port_);
      return;
    } catch (const SocketError&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

SmtpServer::SmtpServer(const std::vector<std::string>& flags) {
  std::vector<std::string> argv = {"/usr/bin/python3", QP_SOURCE_DIR "/tests/smtp_server.py", "--dir", dir_.Path().string()};
  argv.insert(argv.end(), flags.begin(), flags.end());
  process_ = std::make_unique<ChildProcess>(argv);
  port_ = std::stoi(process_->FirstLine());
}

std::vector<std::filesystem::path> SmtpServer::LetterPaths() const {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
    if (entry.path().extension() == ".eml") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());  // the server numbers them in arrival order
  return paths;
}

int SmtpServer::Marks(const std::string& prefix) const {
  int marks = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
    if (entry.path().filename().string().starts_with(prefix)) ++marks;
  }
  return marks;
}

bool SmtpServer::WaitForClosedConnections(int n) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    if (Marks("closed.") >= n) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::vector<std::string> SmtpServer::Letters() const {
  std::vector<std::string> letters;
  for (const auto& path : LetterPaths()) letters.push_back(ReadAll(path));
  return letters;
}

std::string RunAndRead(const std::vector<std::string>& argv) {
  int out = -1;
  const int pid = Spawn(argv, out);
  if (pid < 0) return {};
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(out, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  ::close(out);
  ::waitpid(pid, nullptr, 0);
  return text;
}

}  // namespace qp::test
