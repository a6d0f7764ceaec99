// The request list 2 window.
#include "request/request_list_window_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include "base/error_log.h"
#include "base/file_io.h"
#include "base/lines.h"
#include "base/working_folder.h"
#include "lang/language.h"
#include "request/request_lists.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/module_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr char kListFile[] = "list.txt";

ui::FormDef RequestList2Def() {
  using ui::Kind;
  return ui::FormDef{
      .name = "fmRequestList2",
      .title = "Лист запросов 2",
      .client_width = 420,
      .client_height = 330,
      .controls = {
          {.name = "Memo1", .kind = Kind::Memo, .bounds = {4, 4, 412, 260}},
          // Scratch space while importing: never shown.
          {.name = "Memo2", .kind = Kind::Memo, .bounds = {4, 4, 10, 10}, .visible = false},
          {.name = "bbImport",
           .kind = Kind::Button,
           .caption = "&Импорт/Загрузить",
           .hint = "Импортировать ссылки из любого файла",
           .bounds = {4, 270, 132, 25}},
          {.name = "bbCopy",
           .kind = Kind::Button,
           .caption = "&Копировать",
           .hint = "Копировать выделение в строку запроса",
           .bounds = {140, 270, 90, 25}},
          {.name = "bbSave", .kind = Kind::Button, .caption = "&Сохранить", .bounds = {234, 270, 90, 25}},
          {.name = "bbClear", .kind = Kind::Button, .caption = "&Очистить", .bounds = {328, 270, 88, 25}},
          {.name = "cbAutoSave", .kind = Kind::CheckBox, .caption = "Автосохранение/Автозагрузка листа", .bounds = {4, 302, 300, 20}},
          {.name = "bbExit", .kind = Kind::Button, .caption = "&Выход", .bounds = {328, 300, 88, 25}},
      }};
}

// The file chosen in the system's open or save dialog; "" when none was.
std::string ChooseFile(HWND owner, bool save) {
  wchar_t name[MAX_PATH] = {};
  wcscpy(name, save ? L"list.txt" : L"*.*");
  const std::wstring folder = ui::Widen(WorkingFolder());
  OPENFILENAMEW dialog{sizeof dialog};
  dialog.hwndOwner = owner;
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrFilter = save ? L"TXT\0*.txt\0" : nullptr;
  dialog.Flags = OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  auto* run = ui::SystemFunction<BOOL WINAPI(OPENFILENAMEW*)>(L"comdlg32.dll", save ? "GetSaveFileNameW" : "GetOpenFileNameW");
  return run && run(&dialog) ? ui::Narrow(name) : std::string();
}

}  // namespace

TfmRequestList2::TfmRequestList2(std::function<void(const std::string&)> set_request_line, IniFile& settings)
    : Window(RequestList2Def()), set_request_line_(std::move(set_request_line)), settings_(settings) {
  Commands()
      .On("bbImport", [this] { bbImportClick(); })
      .On("bbCopy", [this] { bbCopyClick(); })
      .On("bbSave", [this] { bbSaveClick(); })
      .On("bbClear", [this] { bbClearClick(); })
      .On("bbExit", [this] { PostMessageW(Hwnd(), WM_CLOSE, 0, 0); });
}

bool TfmRequestList2::CreateHidden(HWND owner) {
  owner_ = owner;
  if (!Create(owner, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_ACCEPTFILES, CW_USEDEFAULT, CW_USEDEFAULT)) {
    return false;
  }
  return true;
}

void TfmRequestList2::ShowList() {
  // Centred on the main window, but whole on its screen: the list is wider than the main
  // window, which may stand at the screen's edge. Activated only by showing it: the first
  // activation loads list.txt once the check box has followed "Autoloadlist".
  ui::CenterWindow(Hwnd(), owner_);
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(Hwnd(), SW_SHOW);
  SetForegroundWindow(Hwnd());
}

void TfmRequestList2::ShowListModal() {
  ShowList();
  ui::RunModal(Hwnd(), owner_);
}

void TfmRequestList2::OnShow() {
  TranslateToCurrentLanguage(*this);
  if (settings_.ReadBool("Settings", "Autoloadlist", false)) Find("cbAutoSave")->SetChecked(true);
}

void TfmRequestList2::SetLines(const std::vector<std::string>& lines) { ui::SetText(ControlHwnd("Memo1"), JoinLines(lines, true)); }

void TfmRequestList2::Append(const std::string& line) {
  std::vector<std::string> lines = Entries();
  lines.push_back(line);
  SetLines(lines);
}

void TfmRequestList2::ImportFile(const std::string& file) {
  std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) {
    ui::ShowMessage(Hwnd(), CannotReadMessage(file), MB_ICONERROR | MB_OK);
    return;
  }
  std::vector<std::string> lines = Entries();
  for (std::string& link : ImportLinks(DecodeFileText(*bytes, SystemCodec()).utf8)) lines.push_back(std::move(link));
  SetLines(lines);
  set_request_line_(lines.empty() ? std::string() : lines.back());
}

void TfmRequestList2::LoadListFile() {
  const std::string file = ProgramFile(kListFile);
  const TextFileState state = ReadTextFile(file, SystemCodec());
  if (!state.exists) return;
  if (!state.whole) {
    // Said once: the box activates the window again when it closes.
    if (!list_file_unread_) {
      list_file_unread_ = true;
      ui::ShowMessage(Hwnd(), CannotReadMessage(file), MB_ICONERROR | MB_OK);
    }
    return;
  }
  list_file_unread_ = false;
  ui::SetText(ControlHwnd("Memo1"), state.text.utf8);
}

void TfmRequestList2::SaveTo(const std::string& file, bool as_it_is) {
  // The user's own file gets the list as a new text; "list.txt" keeps its encoding.
  const std::string text = JoinLines(Entries(), true);
  const bool written = as_it_is ? RewriteTextFile(file, text, SystemCodec())
                                : WriteFileAtomically(file, EncodeFileText(text, TextEncoding::CodePage, SystemCodec()));
  if (!written) ui::ShowMessage(Hwnd(), CannotWriteMessage(file), MB_ICONERROR | MB_OK);
}

void TfmRequestList2::bbImportClick() {
  if (std::string file = ChooseFile(Hwnd(), false); !file.empty()) ImportFile(file);
}

void TfmRequestList2::bbClearClick() {
  SetLines({});
  ui::SetText(ControlHwnd("Memo2"), "");
}

void TfmRequestList2::bbCopyClick() {
  HWND memo = ControlHwnd("Memo1");
  const auto [start, end] = Get("Memo1").GetSelection();
  if (end > start) {
    const std::wstring all = ui::Widen(ui::GetText(memo));
    set_request_line_(ui::Narrow(std::wstring_view(all).substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start))));
  } else {
    std::vector<std::string> lines = Entries();
    set_request_line_(lines.empty() ? std::string() : lines.back());
  }
}

void TfmRequestList2::bbSaveClick() {
  if (std::string file = ChooseFile(Hwnd(), true); !file.empty()) SaveTo(file, false);
}

LRESULT TfmRequestList2::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && Find("cbAutoSave")->Checked() && Entries().empty()) LoadListFile();
      break;
    case WM_DROPFILES: {
      // The first dropped file is imported; the others of the same drop are ignored.
      HDROP drop = reinterpret_cast<HDROP>(wparam);
      wchar_t name[MAX_PATH] = {};
      if (DragQueryFileW(drop, 0, name, MAX_PATH)) ImportFile(ui::Narrow(name));
      DragFinish(drop);
      return 0;
    }
    case WM_CLOSE:
      if (Find("cbAutoSave")->Checked()) {
        if (list_file_unread_) {
          LogError("Not saved, it could not be loaded : " + ProgramFile(kListFile));
        } else {
          SaveTo(ProgramFile(kListFile), true);
        }
      }
      settings_.WriteBool("Settings", "Autoloadlist", Find("cbAutoSave")->Checked());
      ShowWindow(Hwnd(), SW_HIDE);
      return 0;
    default: break;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp
