// The main window's life: creation, activation, closing, and the state it saves.
#include "app/main_window_win.h"

#include <commctrl.h>

#include <exception>

#include "app/error_log.h"
#include "app/file_io.h"
#include "app/main_form.h"
#include "app/status_line.h"
#include "app/working_folder.h"
#include "lang/language.h"
#include "ui/text_win.h"

namespace qp {
namespace {

std::filesystem::path ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
}

}  // namespace

void ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the main loop must still see it
      return;
    }
    if (!ui::Window::PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

TfmMain::TfmMain(std::string argument) : Window(MainFormDef()), argument_(std::move(argument)) {}

void TfmMain::OnCreate() {
  SetStatusSink([this](std::string_view text) {
    if (ui::Component* status = Find("StatusBar")) status->SetCaption(text);
    ProcessMessages();
  });
  FormCreate();
}

void TfmMain::FormCreate() {
  clipboard_ready_ = false;
  try {
    const std::filesystem::path folder = ExecutableFolder();
    SetWorkingFolder(folder);
    SetCurrentDirectoryW(folder.c_str());
    help_file_ = ProgramFile("quillpost.hlp");
    const std::filesystem::path recent = ProgramFile("recent.cfg");
    if (!std::filesystem::exists(recent)) AppendToFile(recent, "");
    ui::SetText(ControlHwnd("cbComboBox"), argument_);
    settings_ = SettingsFile(ProgramFile("settings.ini"), SystemCodec());
    state_ = ReadSavedState(settings_);
    SetWindowPos(Hwnd(), nullptr, state_.left, state_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ++state_.starts;
    SetCurrentLanguage(state_.language, OpenLanguageFile(state_.language));
  } catch (const std::exception& e) {
    LogError(std::string("MainFormCreate Error : ") + e.what());
  }
  // The first-run wizard and the link watcher join here when they exist.
  SetLastError(0);
  next_viewer_ = SetClipboardViewer(Hwnd());
  if (!next_viewer_ && GetLastError() != 0) {
    LogError("Error : " + std::to_string(GetLastError()));
  } else {
    in_clipboard_chain_ = true;
  }
}

void TfmMain::OnShow() {
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(*this, *file);
  TickLanguageItem();
}

void TfmMain::TickLanguageItem() {
  for (int n = 0; n < kLanguageCount; ++n) {
    if (ui::Component* item = Find(kLanguageItems[n])) item->SetChecked(n == CurrentLanguageNumber());
  }
}

void TfmMain::FormActivate() {
  try {
    if (!first_activation_done_) {
      close_to_tray_ = settings_.ReadBool("Settings", "Close2Tray", false);
      first_activation_done_ = true;
    }
    ShowStatus("");
    SetFocus(ControlHwnd("cbComboBox"));
    clipboard_ready_ = true;
    ShowStatus(kAuthorCredit);
  } catch (const std::exception& e) {
    LogError(std::string("MainFormActivate Error : ") + e.what());
  }
}

bool TfmMain::FormClose() {
  if (close_to_tray_) {
    ShowWindow(Hwnd(), SW_MINIMIZE);
    return false;
  }
  SaveProgramState();
  return true;
}

void TfmMain::miExitClick() {
  SaveProgramState();
  DestroyWindow(Hwnd());
}

void TfmMain::SaveProgramState() {
  // Read the file afresh so values other writers flushed meanwhile survive.
  settings_.Reload();
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  state_.top = frame.top;
  state_.left = frame.left;
  state_.language = CurrentLanguageNumber();
  CaptureMenuSwitches(*this, state_);
  WriteSavedState(settings_, state_);
  if (!settings_.UpdateFile()) {
    const std::wstring text = ui::Widen("Не удалось записать файл " + PathToUtf8(settings_.Path()));
    MessageBoxW(Hwnd(), text.c_str(), L"Quillpost", MB_ICONERROR | MB_OK);
  }
}

void TfmMain::LeaveClipboardChain() {
  if (!in_clipboard_chain_) return;
  in_clipboard_chain_ = false;
  if (!ChangeClipboardChain(Hwnd(), next_viewer_) && GetLastError() != 0) {
    LogError("Error : " + std::to_string(GetLastError()));
  }
}

void TfmMain::FormDestroy() { LeaveClipboardChain(); }

void TfmMain::miLangClick(int number) {
  SetCurrentLanguage(number, OpenLanguageFile(number));
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(*this, *file);
  TickLanguageItem();
}

void TfmMain::OnCommand(ui::Component& component, int /*notify*/) {
  const std::string& name = component.Name();
  if (name == "miExit" || name == "miExitQuillpost") return miExitClick();
  for (int n = 0; n < kLanguageCount; ++n) {
    if (name == kLanguageItems[n]) return miLangClick(n);
  }
}

LRESULT TfmMain::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ACTIVATE: {
      LRESULT result = Window::HandleMessage(msg, wparam, lparam);
      if (LOWORD(wparam) != WA_INACTIVE) FormActivate();
      return result;
    }
    case WM_CLOSE:
      if (FormClose()) DestroyWindow(Hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      SetStatusSink(nullptr);
      PostQuitMessage(0);
      return 0;
    case WM_QUERYENDSESSION:
      // Nothing is saved on this path: the session is ending now.
      LeaveClipboardChain();
      DestroyWindow(Hwnd());
      return TRUE;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wparam) == next_viewer_) {
        next_viewer_ = reinterpret_cast<HWND>(lparam);
      } else if (next_viewer_) {
        SendMessageW(next_viewer_, msg, wparam, lparam);
      }
      return 0;
    case WM_DRAWCLIPBOARD:
      if (next_viewer_) SendMessageW(next_viewer_, msg, wparam, lparam);
      return 0;
    default:
      return Window::HandleMessage(msg, wparam, lparam);
  }
}

}  // namespace qp
