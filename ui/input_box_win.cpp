// A small modal box asking for one line of text, built from an in-memory dialog template.
#include "ui/input_box_win.h"

#include <vector>

#include "ui/text_win.h"

namespace qp::ui {
namespace {

constexpr WORD kPromptId = 100, kEditId = 101;

struct InputState {
  std::wstring caption, prompt, value;
};

// Appends one dialog item: a DLGITEMTEMPLATE aligned to a DWORD, its class atom, its text.
void AddItem(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text) {
  if (t.size() % 2) t.push_back(0);
  DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy, id};
  const WORD* raw = reinterpret_cast<const WORD*>(&item);
  t.insert(t.end(), raw, raw + sizeof item / sizeof(WORD));
  t.push_back(0xFFFF);
  t.push_back(atom);
  for (; *text; ++text) t.push_back(*text);
  t.push_back(0);
  t.push_back(0);  // no creation data
}

INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputState*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetWindowTextW(dialog, state->caption.c_str());
      SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
      SetDlgItemTextW(dialog, kEditId, state->value.c_str());
      SendDlgItemMessageW(dialog, kEditId, EM_SETSEL, 0, -1);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        HWND edit = GetDlgItem(dialog, kEditId);
        state->value.assign(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        state->value.resize(static_cast<size_t>(GetWindowTextW(edit, state->value.data(), static_cast<int>(state->value.size()))));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default: break;
  }
  return FALSE;
}

}  // namespace

bool InputQuery(HWND owner, std::string_view caption, std::string_view prompt, std::string& value) {
  std::vector<WORD> t;
  DLGTEMPLATE head{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 4, 0, 0, 200, 62};
  const WORD* raw = reinterpret_cast<const WORD*>(&head);
  t.insert(t.end(), raw, raw + sizeof head / sizeof(WORD));
  t.push_back(0);  // no menu
  t.push_back(0);  // default class
  t.push_back(0);  // caption set at WM_INITDIALOG
  t.push_back(8);  // point size, then the face name
  for (const wchar_t* face = L"MS Shell Dlg"; *face; ++face) t.push_back(*face);
  t.push_back(0);
  AddItem(t, SS_LEFT, 7, 7, 186, 10, kPromptId, 0x0082, L"");
  AddItem(t, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 19, 186, 13, kEditId, 0x0081, L"");
  AddItem(t, WS_TABSTOP | BS_DEFPUSHBUTTON, 89, 40, 50, 14, IDOK, 0x0080, L"OK");
  AddItem(t, WS_TABSTOP | BS_PUSHBUTTON, 143, 40, 50, 14, IDCANCEL, 0x0080, L"Cancel");

  InputState state{Widen(caption), Widen(prompt), Widen(value)};
  INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), owner, Proc,
                                           reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return false;
  value = Narrow(state.value);
  return true;
}

}  // namespace qp::ui
