// What the dispatch asks of the main window, answered from the window's parts: the request
// line, the buttons, the mailbox choice, the lists, the switches, progress and status.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/mailbox_selector_win.h"
#include "app/request_buttons_win.h"
#include "app/request_line_win.h"
#include "delivery/mapi_library_win.h"
#include "delivery/winsock_connection_win.h"
#include "request/dispatch.h"
#include "ui/window_win.h"

namespace qp {

class MainDispatchHost final : public DispatchHost {
 public:
  struct Parts {
    ui::Window& window;
    qp::RequestLine& request_line;
    RequestButtons& buttons;
    MailboxSelector& mailbox;
    std::function<std::vector<std::string>()> list2;  // request list 2's entries
    std::function<void()> letter_counted;
    std::function<void(bool)> send_enabled;                             // the mini window's send button
    std::function<void(const std::string&, const std::string&)> popup;  // address, text
    std::function<void()> options;                                      // the options dialog
  };
  // keep_waiting: runs between short waits on the network; false abandons the wait.
  MainDispatchHost(Parts parts, std::function<bool()> keep_waiting);

  // The search buttons' request, as the bookmark tree's search entries frame it.
  void SetSearchRequest(std::string text) { search_request_ = std::move(text); }

  DispatchOptions Options() override;
  std::string RequestLine() override { return parts_.request_line.Text(); }
  void SetRequestLine(const std::string& text) override { parts_.request_line.SetText(text); }
  void AddToInputHistory(const std::string& text) override { parts_.request_line.AddToHistory(text); }
  // The mailbox choice goes with the buttons: a run keeps the profile it started with.
  void SetRequestButtonsEnabled(bool enabled) override {
    parts_.buttons.SetEnabled(enabled);
    parts_.mailbox.SetEnabled(enabled);
    parts_.send_enabled(enabled);
  }
  void SetProgress(int position) override;
  void StepProgress() override;
  void Status(const std::string& text) override;
  void ErrorBox(const std::string& text) override;
  void InfoBox(const std::string& text) override;
  void OpenOptions() override { parts_.options(); }
  bool TrustCertificate(const std::string& question, int server_entry, const CertificatePin& pin) override;
  void Popup(const std::string& address, const std::string& text) override { parts_.popup(address, text); }
  int CheckedMailbox() override { return parts_.mailbox.Checked(); }
  void SelectMailbox(int n) override { parts_.mailbox.Select(n); }
  const ActiveProfile& Profile() override { return parts_.mailbox.Profile(); }
  std::vector<std::string> RequestList(int which) override;
  std::string SearchRequest() override { return search_request_; }
  // As the minimize box does: the window goes into the tray.
  void Minimize() override { SendMessageW(parts_.window.Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }
  bool Dial() override;
  void HangUp() override;
  void LetterCounted() override { parts_.letter_counted(); }
  void Pause50ms() override;
  uint64_t Milliseconds() override { return GetTickCount64(); }
  Connector& Network() override { return connector_; }
  std::unique_ptr<DnsTransport> DnsNetwork() override;
  bool ShellOpen(const std::string& target, const std::string& parameters) override;
  SimpleMapi* Mapi() override { return mapi_.Load() ? &mapi_ : nullptr; }
  std::string MapiUnavailableReason() override { return mapi_.WhyUnavailable(); }
  std::string MailDate() override;

 private:
  Parts parts_;
  std::function<bool()> keep_waiting_;
  WinsockConnector connector_;
  MapiLibrary mapi_;
  std::string search_request_;
};

}  // namespace qp
