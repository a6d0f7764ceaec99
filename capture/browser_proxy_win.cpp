// The browser's proxy setting in the registry.
#include "capture/browser_proxy_win.h"

#include <windows.h>

#include "base/text_codec.h"
#include "lang/language.h"
#include "ui/message_box_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The existing key only: a missing one means there is no browser setting to change.
HKEY OpenKey(REGSAM access) {
  HKEY key = nullptr;
  return RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

// Writes "ProxyServer" (unless server is null) and "ProxyEnable"; false when any write failed.
bool Write(const std::string* server, bool enabled) {
  HKEY key = OpenKey(KEY_SET_VALUE);
  if (!key) return false;
  bool ok = true;
  if (server) {
    const std::wstring text = ui::Widen(*server);
    ok = RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  const DWORD flag = enabled ? 1 : 0;
  ok = RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flag), sizeof flag) == ERROR_SUCCESS && ok;
  RegCloseKey(key);
  return ok;
}

}  // namespace

BrowserProxy ReadBrowserProxy() {
  BrowserProxy saved;
  HKEY key = OpenKey(KEY_QUERY_VALUE);
  if (!key) return saved;
  // Sized first: a long value is still read, then cut.
  DWORD size = 0, type = 0;
  if (RegQueryValueExW(key, L"ProxyServer", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
    std::wstring server(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(server.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, L"ProxyServer", nullptr, &type, reinterpret_cast<BYTE*>(server.data()), &size) == ERROR_SUCCESS) {
      server.resize(wcsnlen(server.c_str(), server.size()));
      saved.server = std::string(CutChars(ui::Narrow(server), 255));
    }
  }
  DWORD flag = 0;
  size = sizeof flag;
  if (RegQueryValueExW(key, L"ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&flag), &size) == ERROR_SUCCESS && type == REG_DWORD) {
    saved.enabled = flag != 0;
  }
  RegCloseKey(key);
  return saved;
}

bool PointBrowserAtProxy(const std::string& port_text) {
  const std::string server = "127.0.0.1:" + port_text;
  return Write(&server, true);
}

bool RestoreBrowserProxy(const BrowserProxy& saved) { return Write(&saved.server, saved.enabled); }

bool DisableBrowserProxy() { return Write(nullptr, false); }

void ReportRegistryWrite(HWND owner, bool written) {
  const std::string text =
      written ? LookupMessage("Изменения успешно внесены.", "IEOK") : LookupMessage("Ошибка записи в реестр", "RegError");
  ui::ShowMessage(owner, text, (written ? MB_ICONINFORMATION : MB_ICONERROR) | MB_OK);
}

void bbSetIEClick(HWND owner, const std::string& port_text) { ReportRegistryWrite(owner, PointBrowserAtProxy(port_text)); }

void bbProxyDisableClick(HWND owner) { ReportRegistryWrite(owner, DisableBrowserProxy()); }

}  // namespace qp
