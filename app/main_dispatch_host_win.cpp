// What the dispatch asks of the main window.
#include "app/main_dispatch_host_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <wininet.h>

#include <ctime>

#include "app/main_form.h"
#include "base/status_line.h"
#include "delivery/mail_message.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/module_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr int kProgressEnd = 50;

}  // namespace

MainDispatchHost::MainDispatchHost(Parts parts, std::function<bool()> keep_waiting)
    : parts_(std::move(parts)), keep_waiting_(std::move(keep_waiting)), connector_(keep_waiting_) {}

DispatchOptions MainDispatchHost::Options() {
  ui::Window& w = parts_.window;
  DispatchOptions options;
  options.list1 = w.Get(fmMain::miRQList1).Checked();
  options.list2 = w.Get(fmMain::miRQList2).Checked();
  options.delay = w.Get(fmMain::miRLDelay).Checked();
  options.popups = w.Get(fmMain::miPopUps).Checked();
  options.hide_when_done = w.Get(fmMain::miHideWhenDone1).Checked();
  return options;
}

void MainDispatchHost::SetProgress(int position) { parts_.window.Get(fmMain::ProgressBar1).SetPosition(position); }

void MainDispatchHost::StepProgress() {
  ui::Component& bar = parts_.window.Get(fmMain::ProgressBar1);
  // Past the end the bar starts again from nothing.
  if (bar.Position() >= kProgressEnd) bar.SetPosition(0);
  bar.Step();
}

void MainDispatchHost::Status(const std::string& text) { ShowStatus(text); }

void MainDispatchHost::ErrorBox(const std::string& text) { ui::ShowMessage(parts_.window.Hwnd(), text, MB_ICONERROR | MB_OK); }

void MainDispatchHost::InfoBox(const std::string& text) { ui::ShowMessage(parts_.window.Hwnd(), text, MB_ICONINFORMATION | MB_OK); }

bool MainDispatchHost::TrustCertificate(const std::string& question, int server_entry, const CertificatePin& pin) {
  if (ui::ShowMessage(parts_.window.Hwnd(), question, MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2) != IDYES) return false;
  try {
    parts_.mailbox.TrustCertificate(server_entry, pin);
  } catch (const std::exception& e) {
    ErrorBox(e.what());
  }
  return true;
}

bool MainDispatchHost::ShellOpen(const std::string& target, const std::string& parameters) { return ui::ShellOpen(target, parameters); }

std::unique_ptr<DnsTransport> MainDispatchHost::DnsNetwork() {
  try {
    return std::make_unique<WinsockDnsTransport>(keep_waiting_);
  } catch (const SocketError&) {
    return nullptr;
  }
}

std::vector<std::string> MainDispatchHost::RequestList(int which) {
  if (which == 1) return parts_.window.Get(fmMain::JvmmList).Lines();
  return parts_.list2();
}

bool MainDispatchHost::Dial() {
  auto* dial = ui::SystemFunction<BOOL WINAPI(DWORD, HWND)>(L"wininet.dll", "InternetAutodial");
  return dial && dial(INTERNET_AUTODIAL_FORCE_UNATTENDED, nullptr) != FALSE;
}

void MainDispatchHost::HangUp() {
  if (auto* hang_up = ui::SystemFunction<BOOL WINAPI(DWORD)>(L"wininet.dll", "InternetAutodialHangup")) hang_up(0);
}

void MainDispatchHost::Pause50ms() {
  Sleep(50);
  ui::PumpMessages();
}

std::string MainDispatchHost::MailDate() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : kind == TIME_ZONE_ID_STANDARD ? zone.StandardBias : 0);
  return FormatMailDate(std::time(nullptr), -static_cast<int>(bias));
}

}  // namespace qp
