// The main window made in this process over a scratch program folder, for the tests of the
// window and its parts; and a way to act inside the modal loops its commands open.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "app/system_win.h"
#include "test_support.h"
#include "tray_keeper_win.h"
#include "ui/text_win.h"

namespace qp {

// A step waiting for a window of a class to show (WhenShown below).
struct WaitingStep {
  const wchar_t* cls = nullptr;
  std::function<void(HWND)> step;
  UINT_PTR timer = 0;
};
inline WaitingStep& Waiting() {
  static WaitingStep waiting;
  return waiting;
}
// A step whose window never came must not act in a later test.
inline void CancelWhenShown() {
  if (Waiting().timer) KillTimer(nullptr, Waiting().timer);
  Waiting() = {};
}

// The thread timer of WhenShown: a named function, as 32-bit callbacks are stdcall.
inline void CALLBACK WhenShownTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND shown = FindWindowW(Waiting().cls, nullptr);
  if (id != Waiting().timer || !shown || !IsWindowVisible(shown)) return;
  std::function<void(HWND)> step = std::move(Waiting().step);
  CancelWhenShown();
  step(shown);
}
// Runs `step` with the first visible window of class `cls` from inside the modal loop that
// shows it (a thread timer fires from that loop), trying again until the window is there.
// One at a time; a step may arm the next.
inline void WhenShown(const wchar_t* cls, std::function<void(HWND)> step) {
  CancelWhenShown();
  Waiting() = {cls, std::move(step), 0};
  Waiting().timer = SetTimer(nullptr, 0, 20, WhenShownTimer);
}

// Runs the window's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
  return true;
}

// The texts of a window's children of one class, in their order.
inline std::vector<std::string> ChildTexts(HWND parent, const wchar_t* cls) {
  std::vector<std::string> texts;
  for (HWND child = FindWindowExW(parent, nullptr, cls, nullptr); child; child = FindWindowExW(parent, child, cls, nullptr)) {
    texts.push_back(ui::GetText(child));
  }
  return texts;
}
// All a message box says, its texts joined.
inline std::string BoxText(HWND box) {
  std::string said;
  for (const std::string& text : ChildTexts(box, L"Static")) said += text;
  return said;
}

// The program's folder as the build lays it out: the executable and the shipped files.
inline std::filesystem::path ShippedFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  return std::filesystem::path(exe).parent_path().parent_path() / "app";
}

// Once per test program (tray_keeper_win.h).
inline void KeepTrayShown() { [[maybe_unused]] static const HWND keeper = test::HoldTrayIcon(99); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    InstallSystemServices();
    KeepTrayShown();
    test::WriteAll(dir / "Buttons.ini", "[Button 3]\r\nName=Page\r\nComment=Get a page\r\n");
    test::WriteAll(dir / "settings.ini", "[Emails]\r\nEM1=one@example.org\r\nEM5=five@example.org\r\nActive=2\r\n");
  }
  void TearDown() override {
    CancelWhenShown();
    if (window && window->Hwnd()) DestroyWindow(window->Hwnd());
    window.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }  // the quit the window posted
  }
  void Start(const std::string& argument = "") {
    window = std::make_unique<TfmMain>(dir.Path(), argument);
    ASSERT_TRUE(window->Create(nullptr, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 0));
  }
  void Activate() { SendMessageW(window->Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0); }
  void Command(const std::string& name, WORD code = 0) {
    // Menu entries and controls report their commands under their own identifiers.
    for (UINT id = 1000; id < 1000 + window->ComponentCount(); ++id) {
      if (window->ComponentAt(id - 1000).Name() == name) {
        SendMessageW(window->Hwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window->ControlHwnd(name)));
        return;
      }
    }
    FAIL() << "no component " << name;
  }
  std::string Caption(const std::string& name) { return window->Find(name)->Caption(); }

  test::TempDir dir;
  std::unique_ptr<TfmMain> window;
};

}  // namespace qp
