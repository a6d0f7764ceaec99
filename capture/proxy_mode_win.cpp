// Proxy mode.
#include "capture/proxy_mode_win.h"

#include <cstdint>

#include "base/error_log.h"
#include "base/integer_text.h"
#include "base/text_codec.h"
#include "capture/proxy_request.h"
#include "lang/language.h"
#include "ui/message_box_win.h"

namespace qp {

ProxyMode::ProxyMode(HWND window, UINT event, UINT_PTR timer, SettingsFile& settings, std::function<void(const std::string&)> captured,
                     std::function<void(bool on)> shown)
    : window_(window),
      event_(event),
      timer_(timer),
      settings_(settings),
      captured_(std::move(captured)),
      shown_(std::move(shown)),
      server_(std::make_unique<ProxyServer>(window, event)) {
  SetTimer(window_, timer_, 1000, nullptr);
}

ProxyMode::~ProxyMode() { KillTimer(window_, timer_); }

void ProxyMode::Show(bool on) {
  on_ = on;
  shown_(on);
}

void ProxyMode::Toggle() {
  if (on_) {
    SwitchOff(true);
  } else {
    SwitchOn(true);
  }
}

namespace {

constexpr std::string_view kSection = "Settings", kServerKey = "UserProxyServer", kEnableKey = "UserProxyEnable";

// Only the program writes this into the browser's setting.
bool PointsHere(const BrowserProxy& proxy) { return proxy.server.starts_with("127.0.0.1:"); }

}  // namespace

void ProxyMode::RestoreAtStart(bool stored_on) {
  saved_ = ReadBrowserProxy();
  // Never the program's own loopback address taken for the user's setting.
  if (PointsHere(saved_) && settings_.ValueExists(kSection, kServerKey)) {
    saved_.server = settings_.ReadString(kSection, kServerKey, "");
    saved_.enabled = settings_.ReadBool(kSection, kEnableKey, false);
  }
  if (stored_on) SwitchOn(false);
}

void ProxyMode::KeepUsersSetting(bool write_now) {
  settings_.WriteString(kSection, kServerKey, saved_.server);
  settings_.WriteBool(kSection, kEnableKey, saved_.enabled);
  if (write_now && !settings_.UpdateFile()) LogError("Error : the browser's own proxy setting could not be kept in " + settings_.Path());
}

bool ProxyMode::SwitchOn(bool ask) {
  const std::string port_text = settings_.ReadString("Settings", "pport", "8080");
  // A port that is no number stops here, before anything is asked or written.
  int32_t port = 0;
  if (!ParseInteger(port_text, port)) {
    ui::ShowMessage(window_, NotAnIntegerMessage(port_text), MB_ICONERROR | MB_OK);
    Show(false);
    return false;
  }
  if (ask) {
    const std::string question = LookupMessage("Настроить Internet Exporer для работы через Quillpost прокси?", "textQuestion2");
    if (ui::ShowMessage(window_, question, MB_ICONQUESTION | MB_YESNO) != IDYES) {
      Show(false);
      return false;
    }
  }
  // At start the first activation writes the file moments later, with the mailbox it selects.
  KeepUsersSetting(ask);
  const bool written = PointBrowserAtProxy(port_text);
  if (ask) ReportRegistryWrite(window_, written);
  if (!server_->Listen(port)) {
    ui::ShowMessage(window_, LookupMessage("Порт используется.", "PortInUse"), MB_ICONERROR | MB_OK);
    Show(false);
    // The browser keeps pointing here for now, so another port can be tried; at exit it
    // gets its own setting back.
    left_pointing_ = true;
    return false;
  }
  left_pointing_ = false;
  Show(true);
  return true;
}

void ProxyMode::SwitchOff(bool ask) {
  if (ask) {
    const std::string question = LookupMessage("Выключить работу Internet Exporer через Quillpost прокси?", "textQuestion3");
    if (ui::ShowMessage(window_, question, MB_ICONQUESTION | MB_YESNO) != IDYES) {
      Show(true);
      return;
    }
  }
  const bool restored = RestoreBrowserProxy(saved_);
  left_pointing_ = false;
  if (ask) ReportRegistryWrite(window_, restored);
  server_->Stop();
  Show(false);
}

void ProxyMode::RestoreBrowserAtExit() {
  if (on_ || left_pointing_) RestoreBrowserProxy(saved_);
}

void ProxyMode::Stop() { server_->Stop(); }

bool ProxyMode::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == event_) {
    server_->OnEvent(wparam, lparam, [this](const std::string& address) {
      // Anything but a page request is refused and taken nowhere.
      if (address.empty()) return ProxyReply(LookupMessage("Запрос не принят.", "textProxyRefused"), true, SystemCodec());
      // The browser gets its answer first; the address is taken in right after, so a
      // letter sent in automatic mode does not keep the browser waiting.
      captured_(address);
      return ProxyReply(ProxyReplyText(LookupMessage("Запрос %s отправлен программе Quillpost.", "BroswerText"), address), false,
                        SystemCodec());
    });
    return true;
  }
  if (msg == WM_TIMER && wparam == timer_) {
    server_->CloseIdle();
    return true;
  }
  return false;
}

}  // namespace qp
