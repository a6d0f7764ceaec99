// The browser's proxy setting in the registry.
#include "capture/browser_proxy_win.h"

#include <windows.h>

#include "app/text_codec.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The existing key only: a missing one means there is no browser setting to change.
HKEY OpenKey(REGSAM access) {
  HKEY key = nullptr;
  return RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

bool Write(const std::string& server, bool enabled) {
  HKEY key = OpenKey(KEY_SET_VALUE);
  if (!key) return false;
  const std::wstring text = ui::Widen(server);
  const DWORD flag = enabled ? 1 : 0;
  bool ok = RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  ok = RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flag), sizeof flag) == ERROR_SUCCESS && ok;
  RegCloseKey(key);
  return ok;
}

}  // namespace

BrowserProxy ReadBrowserProxy() {
  BrowserProxy saved;
  HKEY key = OpenKey(KEY_QUERY_VALUE);
  if (!key) return saved;
  wchar_t server[1024] = {};
  DWORD size = sizeof server - sizeof(wchar_t), type = 0;
  if (RegQueryValueExW(key, L"ProxyServer", nullptr, &type, reinterpret_cast<BYTE*>(server), &size) == ERROR_SUCCESS && type == REG_SZ) {
    saved.server = std::string(CutChars(ui::Narrow(server), 255));
  }
  DWORD flag = 0;
  size = sizeof flag;
  if (RegQueryValueExW(key, L"ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&flag), &size) == ERROR_SUCCESS && type == REG_DWORD) {
    saved.enabled = flag != 0;
  }
  RegCloseKey(key);
  return saved;
}

bool PointBrowserAtProxy(const std::string& port_text) { return Write("127.0.0.1:" + port_text, true); }

bool RestoreBrowserProxy(const BrowserProxy& saved) { return Write(saved.server, saved.enabled); }

}  // namespace qp
