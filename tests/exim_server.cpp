// exim_server.py started and ended for a test, and what its exim left in the folder.
#include "exim_server.h"

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace qp::test {
namespace {

int PortOf(const std::vector<std::string>& lines, std::size_t index) {
  if (index >= lines.size() || lines[index].empty()) {
    throw std::runtime_error("tests/exim_server.py did not start; its message is on standard error");
  }
  return std::stoi(lines[index]);
}

std::string ReadIfThere(const std::filesystem::path& path) { return std::filesystem::exists(path) ? ReadAll(path) : std::string(); }

}  // namespace

EximServer::EximServer(const std::vector<std::string>& flags) {
  std::vector<std::string> argv = {"/usr/bin/python3", QP_SOURCE_DIR "/tests/exim_server.py", "--dir", dir_.Path().string()};
  argv.insert(argv.end(), flags.begin(), flags.end());
  const bool implicit = std::find(flags.begin(), flags.end(), "--implicit-port") != flags.end();
  process_ = std::make_unique<ChildProcess>(argv, implicit ? 2 : 1);
  port_ = PortOf(process_->Lines(), 0);
  if (implicit) implicit_port_ = PortOf(process_->Lines(), 1);
}

EximServer::~EximServer() { process_->Stop(SIGTERM); }

bool EximServer::WaitForLetters(std::size_t n) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  const std::filesystem::path arrived = dir_.Path() / "mail" / "new";  // maildir: complete once here
  for (;;) {
    std::size_t count = 0;
    if (std::filesystem::exists(arrived)) {
      for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(arrived)) ++count;
    }
    if (count >= n) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::vector<std::string> EximServer::Letters() const {
  std::vector<std::string> letters;
  const std::filesystem::path arrived = dir_.Path() / "mail" / "new";
  if (!std::filesystem::exists(arrived)) return letters;
  for (const auto& entry : std::filesystem::directory_iterator(arrived)) letters.push_back(ReadAll(entry.path()));
  return letters;
}

std::string EximServer::MainLog() const { return ReadIfThere(dir_.Path() / "log" / "mainlog"); }

std::string EximServer::RejectLog() const { return ReadIfThere(dir_.Path() / "log" / "rejectlog"); }

}  // namespace qp::test
