// The link watcher's addresses and dropped files.
#include "app/browser_links_win.h"

#include "base/error_log.h"
#include "base/file_io.h"
#include "base/scope_guard.h"
#include "base/text_codec.h"
#include "base/url_coding.h"
#include "base/working_folder.h"
#include "capture/browser_page.h"
#include "capture/dde_grab_win.h"
#include "capture/favorites_win.h"
#include "capture/link_file.h"
#include "lang/language.h"
#include "request/request_lists.h"
#include "ui/message_loop_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {

BrowserLinks::BrowserLinks(Parts parts, UINT link_message) : parts_(std::move(parts)), link_message_(link_message) {}

void BrowserLinks::Start() {
  watcher_ = std::make_unique<LinkWatcher>(ProgramFile(kLinkFile), parts_.window.Hwnd(), link_message_);
  DragAcceptFiles(parts_.window.Hwnd(), TRUE);
}

bool BrowserLinks::HandleMessage(UINT msg, WPARAM wparam) {
  if (msg == link_message_) {
    TakeLinks();
    return true;
  }
  if (msg == WM_DROPFILES) {
    DropFiles(reinterpret_cast<HDROP>(wparam));
    return true;
  }
  return false;
}

std::optional<std::string> BrowserLinks::GrabBrowserAddress() {
  constexpr int kBrowserTimeoutMs = 10000;
  if (grabbing_) return std::nullopt;
  std::string reply;
  {
    FlagScope grabbing(grabbing_);
    reply = RequestWindowInfo(BrowserDdeService(parts_.browser()), kBrowserTimeoutMs, [this] {
      ui::PumpMessages();
      return !parts_.exit_pending();  // the user may end the program meanwhile
    });
  }
  if (parts_.exit_pending()) return std::nullopt;
  return AddressFromWindowInfo(reply);
}

void BrowserLinks::lbHookURLClick() {
  const std::optional<std::string> address = GrabBrowserAddress();
  if (!address) return;
  parts_.request_line.SetText(*address);
  parts_.lists.AppendToList1(parts_.request_line.Text());
}

void BrowserLinks::lbFavoritesClick(HWND label) {
  std::vector<std::string> paths;
  HMENU menu = BuildFavoritesMenu(ReadFavorites(FavoritesFolder()), paths);
  if (paths.empty()) AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, ui::Widen(LookupMessage("Избранное пусто", "textFavoritesEmpty")).c_str());
  RECT at{};
  GetWindowRect(label, &at);
  const UINT chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.left, at.bottom, 0, parts_.window.Hwnd(), nullptr);
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= paths.size()) parts_.request_line.SetText(ShortcutAddress(paths[chosen - 1]));
}

void BrowserLinks::TakeLinks() {
  if (!watcher_) return;
  HWND window = parts_.window.Hwnd();
  for (const std::string& line : watcher_->Take()) {
    parts_.request_line.SetText(parts_.auto_decode() ? UrlDecode(line, SystemCodec()) : line);
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
    ui::ForceForegroundWindow(window);
  }
}

void BrowserLinks::DropFiles(HDROP drop) {
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);  // the first file only
  std::wstring path(length + 1, L'\0');
  const bool got = length > 0 && DragQueryFileW(drop, 0, path.data(), length + 1) == length;
  DragFinish(drop);
  if (!got) return;
  path.resize(length);
  const std::string file = ui::Narrow(path);
  const TextFileState text = ReadTextFile(file, SystemCodec());
  if (!text.exists) {
    LogError("Error : " + CannotReadMessage(file));
    return;
  }
  for (const std::string& link : ImportLinks(text.text.utf8)) parts_.lists.AppendToBoth(link);
  const std::vector<std::string> list2 = parts_.lists.List2();
  if (!list2.empty()) parts_.request_line.SetText(list2.back());
}

}  // namespace qp
