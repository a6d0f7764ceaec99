// The registry switches of browser integration.
#include "app/browser_registry_win.h"

#include "lang/language.h"
#include "ui/message_box_win.h"
#include "ui/module_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

bool SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void Tell(HWND owner, bool written) {
  if (written) {
    ui::ShowMessage(owner, LookupMessage("Изменения успешно внесены.", "IEOK"), MB_ICONINFORMATION | MB_OK);
  } else {
    ui::ShowMessage(owner, LookupMessage("Ошибка записи в реестр", "RegError"), MB_ICONERROR | MB_OK);
  }
}

std::wstring Program() { return ui::Widen(ui::ModulePath()); }

}  // namespace

bool SetRequestVerb(const std::wstring& protocol, bool on, const std::wstring& program) {
  HKEY shell = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (protocol + L"\\shell").c_str(), 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &shell) != ERROR_SUCCESS) {
    return false;
  }
  bool written = true;
  if (on) {
    HKEY command = nullptr;
    written = RegCreateKeyExW(shell, (std::wstring(kRequestVerb) + L"\\command").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &command,
                              nullptr) == ERROR_SUCCESS;
    if (written) {
      written = SetText(command, nullptr, L"\"" + program + L"\" \"%1\"");
      RegCloseKey(command);
    }
  }
  written = written && SetText(shell, nullptr, on ? kRequestVerb : L"");
  RegCloseKey(shell);
  return written;
}

bool AddContextMenuEntry(const std::wstring& folder) {
  HKEY entry = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\MenuExt\\Заказать при помощи Quillpost", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &entry, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::wstring page = folder;
  if (!page.empty() && page.back() != L'\\') page += L'\\';
  const bool written = SetText(entry, nullptr, page + L"getlink.htm") && SetText(entry, L"contexts", L"22");
  RegCloseKey(entry);
  return written;
}

void btON1Click(HWND owner) { Tell(owner, SetRequestVerb(L"http", true, Program())); }
void btOFF1Click(HWND owner) { Tell(owner, SetRequestVerb(L"http", false, Program())); }
void btONClick(HWND owner) { Tell(owner, SetRequestVerb(L"ftp", true, Program())); }
void btOFFClick(HWND owner) { Tell(owner, SetRequestVerb(L"ftp", false, Program())); }
void btAddMenuToIEClick(HWND owner) { Tell(owner, AddContextMenuEntry(ui::Widen(ui::ModuleFolder()))); }

}  // namespace qp
