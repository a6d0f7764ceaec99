// The registry switches of browser integration, for the options dialog's buttons: the http
// and ftp protocol handlers' "Request by Email" verb, and Internet Explorer's context-menu
// entry. Each button says "IEOK" or "RegError" in a box.
#pragma once

#include <windows.h>

#include <string>

namespace qp {

inline constexpr wchar_t kRequestVerb[] = L"Request by Email";

// Makes "Request by Email" the verb of `protocol`'s "shell" key (on), or the system's own
// again (off). The key is not created: a protocol without it is an error. Switching on also
// puts the verb's command in place (the program with the address as its argument), so the
// verb leads somewhere. false when anything could not be written.
bool SetRequestVerb(const std::wstring& protocol, bool on, const std::wstring& program);
// The entry "Заказать при помощи Quillpost": getlink.htm of the program folder, for images,
// controls and selected text ("contexts" 22).
bool AddContextMenuEntry(const std::wstring& folder);

// The buttons.
void btON1Click(HWND owner);   // http on
void btOFF1Click(HWND owner);  // http off
void btONClick(HWND owner);    // ftp on
void btOFFClick(HWND owner);   // ftp off
void btAddMenuToIEClick(HWND owner);

}  // namespace qp
