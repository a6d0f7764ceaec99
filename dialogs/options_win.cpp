// The options dialog.
#include "dialogs/options_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>

#include "app/browser_registry_win.h"
#include "base/error_log.h"
#include "capture/browser_proxy_win.h"
#include "delivery/dns_servers_win.h"
#include "delivery/mailbox_profiles.h"
#include "dialogs/options_form.h"
#include "lang/language.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/module_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {

using fmOptions::Numbered;

TfmOptions::TfmOptions(Program program) : Dialog(OptionsFormDef()), program_(std::move(program)) { BindCommands(); }

void TfmOptions::BindCommands() {
  using namespace fmOptions;
  ui::Commands& c = Commands();
  c.On(sbApply, [this] { sbApplyClick(); })
      .On(sbHelp, [this] { program_.help(); })
      .On(cbClose2Tray, [this] { program_.close_to_tray(Get(cbClose2Tray).Checked()); })
      .On(bbBrowse, [this] { bbBrowseClick(); })
      .On(btDNSAuto, [this] { btDNSAutoClick(); })
      .On(bbSetIE, [this] { bbSetIEClick(Hwnd(), Text(edProxy)); })
      .On(bbProxyDisable, [this] { bbProxyDisableClick(Hwnd()); })
      .On(btON1, [this] { qp::btON1Click(Hwnd()); })
      .On(btOFF1, [this] { qp::btOFF1Click(Hwnd()); })
      .On(btON, [this] { qp::btONClick(Hwnd()); })
      .On(btOFF, [this] { qp::btOFFClick(Hwnd()); })
      .On(btAddMenuToIE, [this] { qp::btAddMenuToIEClick(Hwnd()); });
  for (const char* box : {edSMTPPort, edUser}) {
    c.OnEach(box, 1, kOptionRows, [this](int k, int code) {
      if (code == EN_CHANGE) ServerChanged(k);
    });
  }
  for (const char* box : {seTrans, seTrans2}) {
    c.OnNotify(box, [this, box](int code) {
      if (code == EN_KILLFOCUS) HoldToByte(box);
    });
  }
}

bool TfmOptions::Open(HWND owner) {
  if (!Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 0, 0)) return false;
  ui::CenterWindow(Hwnd(), nullptr);
  ShowWindow(Hwnd(), SW_SHOW);
  // Loaded once, when it opens: a message box of one of its own buttons closing must not
  // wipe what was typed and not yet applied.
  try {
    Show(LoadOptions(program_.settings));
  } catch (const std::exception& e) {
    LogError(std::string("Options: ") + e.what());  // shows what it has
  }
  SetForegroundWindow(Hwnd());
  return true;
}

void TfmOptions::ShowModal(HWND owner) {
  if (!Open(owner)) return;
  RunModalAndDestroy(owner);
}

void TfmOptions::OnShow() {
  ShowPage(fmOptions::JvPageControl1, 0);
  Translate();
  ShowPage(fmOptions::JvPageControl1, 0);  // the tabs in the language's words
}

std::string TfmOptions::Text(const std::string& name) const { return ui::GetText(ControlHwnd(name)); }

void TfmOptions::SetText(const std::string& name, const std::string& text) { ui::SetText(ControlHwnd(name), text); }

void TfmOptions::Show(const OptionsValues& v) {
  using namespace fmOptions;
  for (int k = 1; k <= kOptionRows; ++k) {
    const OptionsValues::Server& server = v.servers[k - 1];
    SetText(Numbered(edSMTPName, k), server.host);
    SetText(Numbered(edSMTPPort, k), server.port);
    SetText(Numbered(edUser, k), server.user);
    SetText(Numbered(edPass, k), server.password);
    Get(Numbered(cbTLS, k)).SetItemIndex(static_cast<int>(server.tls));
    ports_[k - 1] = server.port;
    users_[k - 1] = server.user;
  }
  for (int n = 1; n <= kOptionRows; ++n) {
    const OptionsValues::Mailbox& mailbox = v.mailboxes[n - 1];
    SetText(Numbered(cbSMTP, n), mailbox.server);
    SetText(Numbered(edDSpass, n), mailbox.password);
    SetText(Numbered(edMail, n), mailbox.email);
    SetText(Numbered(edSize, n), mailbox.size);
    SetText(Numbered(edBatMailboxName, n), v.bat_accounts[n - 1]);
  }
  SetText(cbBrowser, v.browser);
  SetText(edProxy, v.proxy_port);
  SetText(seTrans, std::to_string(v.opacity));
  SetText(seTrans2, std::to_string(v.mini_opacity));
  Get(cbClose2Tray).SetChecked(v.close_to_tray);
  SetText(cbDNS, v.dns_ip);
  SetText(edtTimeOut, v.dns_timeout);
  SetText(edRLDelay, v.list_delay);
  SetText(leContentType, v.content_type);
  SetText(leCharSet, v.charset);
  SetText(leContentTransferEncoding, v.transfer_encoding);
  SetText(leXmailer, v.x_mailer);
  // Stored values tick boxes; they never untick what the user ticked.
  if (v.dialup) Get(cbAutodial).SetChecked(true);
  if (v.dont_disconnect) Get(cbDontDisconnect).SetChecked(true);
  if (v.dont_check) Get(cbDontCheck).SetChecked(true);
  if (v.error_popup) Get(cbErrorPopUp).SetChecked(true);
  Get(rgSendBy).SetItemIndex(v.send_by);
  Get(rgBatSend).SetItemIndex(v.bat_send);
  SetText(edBatPath, v.bat_path);
}

OptionsValues TfmOptions::Values() {
  using namespace fmOptions;
  OptionsValues v;
  for (int k = 1; k <= kOptionRows; ++k) {
    OptionsValues::Server& server = v.servers[k - 1];
    server.host = Text(Numbered(edSMTPName, k));
    server.port = Text(Numbered(edSMTPPort, k));
    server.user = Text(Numbered(edUser, k));
    server.password = Text(Numbered(edPass, k));
    // Nothing chosen (the settings could not be read) keeps the port's default.
    const int chosen = Get(Numbered(cbTLS, k)).ItemIndex();
    server.tls = TlsModeOf(chosen < 0 ? "" : std::to_string(chosen), server.port, server.user);
  }
  for (int n = 1; n <= kOptionRows; ++n) {
    OptionsValues::Mailbox& mailbox = v.mailboxes[n - 1];
    mailbox.server = Text(Numbered(cbSMTP, n));
    mailbox.password = Text(Numbered(edDSpass, n));
    mailbox.email = Text(Numbered(edMail, n));
    mailbox.size = Text(Numbered(edSize, n));
    v.bat_accounts[n - 1] = Text(Numbered(edBatMailboxName, n));
  }
  v.browser = Text(cbBrowser);
  v.proxy_port = Text(edProxy);
  v.opacity = OpacityOf(Text(seTrans));
  v.mini_opacity = OpacityOf(Text(seTrans2));
  v.close_to_tray = Get(cbClose2Tray).Checked();
  v.dns_ip = Text(cbDNS);
  v.dns_timeout = Text(edtTimeOut);
  v.list_delay = Text(edRLDelay);
  v.content_type = Text(leContentType);
  v.charset = Text(leCharSet);
  v.transfer_encoding = Text(leContentTransferEncoding);
  v.x_mailer = Text(leXmailer);
  v.dialup = Get(cbAutodial).Checked();
  v.dont_disconnect = Get(cbDontDisconnect).Checked();
  v.dont_check = Get(cbDontCheck).Checked();
  v.error_popup = Get(cbErrorPopUp).Checked();
  v.send_by = std::max(0, Get(rgSendBy).ItemIndex());
  v.bat_send = std::max(0, Get(rgBatSend).ItemIndex());
  v.bat_path = Text(edBatPath);
  return v;
}

void TfmOptions::sbApplyClick() {
  const OptionsValues values = Values();
  try {
    program_.settings.Reload();
    ApplyOptions(values, program_.settings);
    if (!program_.settings.UpdateFile()) throw std::runtime_error(CannotWriteMessage(program_.settings.Path()));
  } catch (const std::exception& e) {
    ui::ShowMessage(Hwnd(), e.what(), MB_ICONERROR | MB_OK);
    return;
  }
  for (int n = 1; n <= kOptionRows; ++n) {
    if (const std::string& address = values.mailboxes[n - 1].email; !address.empty()) program_.mailbox(n, address);
  }
}

void TfmOptions::ServerChanged(int k) {
  using namespace fmOptions;
  ui::Component& list = Get(Numbered(cbTLS, k));
  const int shown = list.ItemIndex();
  std::string port = Text(Numbered(edSMTPPort, k));
  std::string user = Text(Numbered(edUser, k));
  if (shown >= 0) {
    const TlsMode mode = TlsFollowingEntry(static_cast<TlsMode>(shown), {ports_[k - 1], users_[k - 1]}, {port, user});
    list.SetItemIndex(static_cast<int>(mode));
  }
  ports_[k - 1] = std::move(port);
  users_[k - 1] = std::move(user);
}

void TfmOptions::HoldToByte(const char* number_box) { SetText(number_box, std::to_string(OpacityOf(Text(number_box)))); }

void TfmOptions::bbBrowseClick() {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog{sizeof dialog};
  dialog.hwndOwner = Hwnd();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFilter = L"*.exe\0*.exe\0*.*\0*.*\0";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  // comdlg32 is loaded only by those who browse.
  auto* open = ui::SystemFunction<BOOL WINAPI(OPENFILENAMEW*)>(L"comdlg32.dll", "GetOpenFileNameW");
  if (open && open(&dialog)) SetText(fmOptions::edBatPath, ui::Narrow(path));
}

void TfmOptions::btDNSAutoClick() {
  try {
    FillDnsServerList(ControlHwnd(fmOptions::cbDNS));
  } catch (const std::exception& e) {
    ui::ShowMessage(Hwnd(), e.what(), MB_ICONERROR | MB_OK);
  }
}

// Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up to the one before,
// as in the system's own dialogs with pages.
bool TfmOptions::OnKeyPreview(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0) return false;
  int step = 0;
  if (msg.wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  if (msg.wParam == VK_NEXT) step = 1;
  if (msg.wParam == VK_PRIOR) step = -1;
  if (step == 0) return false;
  const int count = PageCount(fmOptions::JvPageControl1);
  const int current = CurrentPage(fmOptions::JvPageControl1);
  ShowPage(fmOptions::JvPageControl1, (current + step + count) % count);
  return true;
}
}  // namespace qp
