// Sends a request list of N letters through the dispatch over one kept SMTP connection
// and prints letters per second. Usage: dispatch_bench PORT N
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/process.h"
#include "posix_connector.h"
#include "request/dispatch.h"

namespace {

class BenchHost final : public qp::DispatchHost {
 public:
  BenchHost(int port, int count) {
    profile_.email = "bench@example.org";
    profile_.smtp_host = "127.0.0.1";
    profile_.smtp_port = std::to_string(port);
    for (int i = 0; i < count; ++i) list_.push_back("http://example.com/page" + std::to_string(i) + ".html");
  }
  std::string RequestLine() override { return {}; }
  void SetRequestLine(const std::string&) override {}
  void AddToInputHistory(const std::string&) override {}
  void SetRequestButtonsEnabled(bool) override {}
  void SetProgress(int) override {}
  void StepProgress() override {}
  void Status(const std::string&) override {}
  void ErrorBox(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void OpenOptions() override {}
  int CheckedMailbox() override { return 1; }
  void SelectMailbox(int) override {}
  const qp::ActiveProfile& Profile() override { return profile_; }
  qp::DispatchOptions Options() override { return {.list1 = true}; }
  std::vector<std::string> RequestList(int which) override { return which == 1 ? list_ : std::vector<std::string>{}; }
  std::string SearchRequest() override { return {}; }
  void LetterCounted() override { ++letters; }
  void Pause50ms() override {}
  uint64_t Milliseconds() override { return 0; }
  qp::Connector& Network() override { return connector_; }
  std::string MailDate() override { return "Wed, 09 Dec 2026 07:10:00 +0000"; }
  int letters = 0;

 private:
  qp::ActiveProfile profile_;
  std::vector<std::string> list_;
  qp::test::PosixConnector connector_{10000};
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int port = std::atoi(argv[1]), count = std::atoi(argv[2]);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "qp-dispatch-bench";
  std::filesystem::create_directories(folder);
  qp::SetWorkingFolder(folder.string());
  const std::string buttons = (folder / "Buttons.ini").string();
  qp::WriteFileAtomically(buttons,
                          "[Button 1]\r\nName=Page\r\nService=www4mail@example.net\r\nSubject=%request%\r\n"
                          "[body 1]\r\nCount=0\r\n0=send %request%\r\n");
  std::filesystem::remove(folder / "history.log");
  BenchHost host(port, count);
  qp::IniFile settings;
  qp::RequestCounter counter;
  qp::Dispatcher dispatcher(host, settings, buttons, counter);
  const auto start = std::chrono::steady_clock::now();
  dispatcher.DispatchRequest(1);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("quillpost dispatch: %d letters in %.2f s, %.0f letters/s\n", host.letters, seconds, host.letters / seconds);
  return host.letters == count ? 0 : 1;
}
