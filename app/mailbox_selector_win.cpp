// The mailbox choice on the main window.
#include "app/mailbox_selector_win.h"

#include <exception>
#include <stdexcept>

#include "app/main_form.h"
#include "lang/language.h"
#include "ui/component_win.h"
#include "ui/message_box_win.h"

namespace qp {
namespace {

constexpr int kLabelCount = 3;  // lb1..lb3 stand for profiles 1..3

}  // namespace

MailboxSelector::MailboxSelector(ui::Window& window, SettingsFile& settings) : window_(window), settings_(settings) {}

MailboxSelector::~MailboxSelector() {
  if (underlined_) DeleteObject(underlined_);
}

void MailboxSelector::Attach() {
  LOGFONTW font{};
  GetObjectW(window_.Font(), sizeof font, &font);
  font.lfUnderline = TRUE;
  underlined_ = CreateFontIndirectW(&font);
  ui::SetControlFont(window_.ControlHwnd(fmMain::lbMailBox), underlined_, false);
}

void MailboxSelector::LoadStartupProfile() { qp::LoadStartupProfile(settings_, profile_); }

void MailboxSelector::TrustCertificate(int server_entry, const CertificatePin& pin) {
  if (profile_.smtp_entry == server_entry && PinFits(pin, profile_.smtp_host, profile_.smtp_port)) {
    profile_.smtp_certificate = pin.fingerprint;
  }
  settings_.WriteString("SMTP", "Cert" + std::to_string(server_entry), PinText(pin));
  if (!settings_.UpdateFile()) throw std::runtime_error(CannotWriteMessage(settings_.Path()));
}

void MailboxSelector::Select(int n) {
  settings_.WriteInteger("Emails", "Active", n);
  if (!settings_.UpdateFile()) throw std::runtime_error(CannotWriteMessage(settings_.Path()));
  for (int label = 1; label <= kLabelCount; ++label) {
    ui::SetControlFont(window_.ControlHwnd(fmMain::Numbered(fmMain::lb, label)), label == n ? underlined_ : window_.Font(), true);
  }
  for (int i = 1; i <= kProfileCount; ++i) {
    window_.Get(fmMain::Numbered(fmMain::miEmail, i)).SetChecked(i == n);
    window_.Get(fmMain::Numbered(fmMain::mi2Email, i)).SetChecked(i == n);
  }
  LoadProfile(settings_, n, profile_);
}

void MailboxSelector::Click(int n) {
  if (held_) return;
  try {
    Select(n);
  } catch (const std::exception& e) {
    ui::ShowMessage(window_.Hwnd(), e.what(), MB_ICONERROR | MB_OK);
  }
}

void MailboxSelector::RefreshMenus() {
  for (int n = 1; n <= kProfileCount; ++n) {
    const MailboxEntry entry = RefreshMailboxEntry(settings_, n);
    for (const char* menu : {fmMain::miEmail, fmMain::mi2Email}) {
      if (!entry.caption.empty()) window_.Get(fmMain::Numbered(menu, n)).SetCaption(entry.caption);
    }
    if (entry.disable) SetEntryEnabled(n, false);
    if (n <= kLabelCount && !entry.label_hint.empty()) window_.Get(fmMain::Numbered(fmMain::lb, n)).SetHint(entry.label_hint);
  }
}

void MailboxSelector::ShowAddress(int n, const std::string& address) {
  for (const char* menu : {fmMain::miEmail, fmMain::mi2Email}) window_.Get(fmMain::Numbered(menu, n)).SetCaption(address);
  SetEntryEnabled(n, true);
}

void MailboxSelector::SetEnabled(bool enabled) {
  if (enabled == !held_) return;
  std::array<bool, kProfileCount> states{};
  if (enabled) states = *held_;
  for (int n = 1; n <= kProfileCount; ++n) {
    if (!enabled) states[n - 1] = window_.Get(fmMain::Numbered(fmMain::miEmail, n)).Enabled();
    for (const char* menu : {fmMain::miEmail, fmMain::mi2Email}) {
      window_.Get(fmMain::Numbered(menu, n)).SetEnabled(enabled && states[n - 1]);
    }
  }
  for (int label = 1; label <= kLabelCount; ++label) window_.Get(fmMain::Numbered(fmMain::lb, label)).SetEnabled(enabled);
  held_.reset();
  if (!enabled) held_ = states;
}

void MailboxSelector::SetEntryEnabled(int n, bool enabled) {
  if (held_) {
    (*held_)[n - 1] = enabled;
    return;
  }
  for (const char* menu : {fmMain::miEmail, fmMain::mi2Email}) window_.Get(fmMain::Numbered(menu, n)).SetEnabled(enabled);
}

int MailboxSelector::Checked() const {
  for (int n = 1; n <= kProfileCount; ++n) {
    if (window_.Get(fmMain::Numbered(fmMain::miEmail, n)).Checked()) return n;
  }
  return 0;
}

bool MailboxSelector::SetCursor(HWND control) {
  for (int n = 1; n <= kLabelCount; ++n) {
    if (control == window_.ControlHwnd(fmMain::Numbered(fmMain::lb, n))) {
      ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return true;
    }
  }
  // Hovering the mailbox label shows the active profile's address.
  if (control == window_.ControlHwnd(fmMain::lbMailBox)) window_.Get(fmMain::lbMailBox).SetHint(profile_.email);
  return false;
}

}  // namespace qp
