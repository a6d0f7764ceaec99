// The Win32 helpers every window shares, and the main window's intake queue, under the
// real window manager: placement on the screen, the modal loop, waiting captures.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "capture/intake_queue_win.h"
#include "ui/message_loop_win.h"
#include "ui/placement_win.h"

namespace qp {
namespace {

// A plain top-level window whose messages go to a function of the test.
class TestWindow {
 public:
  TestWindow(int width, int height, HWND owner = nullptr) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QpTestWindow";
    RegisterClassW(&wc);  // once; later calls fail harmlessly
    hwnd = CreateWindowExW(0, L"QpTestWindow", L"test", WS_POPUP, 0, 0, width, height, owner, nullptr, wc.hInstance, this);
  }
  ~TestWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  RECT Rect() const {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
  }
  HWND hwnd = nullptr;
  std::function<bool(UINT, WPARAM, LPARAM)> on_message;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->on_message && self->on_message(msg, wparam, lparam)) return 0;
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
};

RECT WorkArea(HWND window) {
  MONITORINFO screen{sizeof screen};
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &screen);
  return screen.rcWork;
}

TEST(Placement, AWindowIsCentredOnItsOwnerButStaysWholeOnTheScreen) {
  TestWindow owner(200, 100);
  const RECT work = WorkArea(owner.hwnd);
  SetWindowPos(owner.hwnd, nullptr, work.left + 300, work.top + 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  TestWindow narrow(100, 50);
  ui::CenterWindow(narrow.hwnd, owner.hwnd);
  EXPECT_EQ(narrow.Rect().left, work.left + 350);
  EXPECT_EQ(narrow.Rect().top, work.top + 225);

  // The owner at the screen's right edge, and a window wider than it: moved in, not cut.
  SetWindowPos(owner.hwnd, nullptr, work.right - 200, work.top + 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  TestWindow wide(420, 50);
  ui::CenterWindow(wide.hwnd, owner.hwnd);
  EXPECT_EQ(wide.Rect().right, work.right);

  TestWindow alone(100, 50);
  ui::CenterWindow(alone.hwnd, nullptr);
  EXPECT_EQ(alone.Rect().left, work.left + (work.right - work.left - 100) / 2);
  EXPECT_EQ(alone.Rect().top, work.top + (work.bottom - work.top - 50) / 2);
}

TEST(ModalLoop, RunsUntilTheWindowHidesAndGivesTheOwnerBack) {
  TestWindow owner(100, 100), dialog(50, 50, owner.hwnd);
  int seen = 0;
  dialog.on_message = [&](UINT msg, WPARAM, LPARAM) {
    if (msg != WM_APP) return false;
    if (++seen == 2) ShowWindow(dialog.hwnd, SW_HIDE);
    return true;
  };
  ShowWindow(dialog.hwnd, SW_SHOWNOACTIVATE);
  PostMessageW(dialog.hwnd, WM_APP, 0, 0);
  PostMessageW(dialog.hwnd, WM_APP, 0, 0);
  ui::RunModal(dialog.hwnd, owner.hwnd);
  EXPECT_EQ(seen, 2);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}

TEST(ModalLoop, AQuitEndsTheLoopAndStaysForTheMainLoop) {
  TestWindow owner(100, 100), dialog(50, 50, owner.hwnd);
  ShowWindow(dialog.hwnd, SW_SHOWNOACTIVATE);
  PostQuitMessage(7);
  ui::RunModal(dialog.hwnd, owner.hwnd);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(IntakeQueue, AddressesWaitWhileALetterGoesOutAndComeInTheirOrder) {
  TestWindow window(10, 10);
  bool sending = true;
  std::vector<std::string> taken;
  IntakeQueue queue(
      window.hwnd, WM_APP + 11, 2, [&] { return sending; }, [&](const std::string& a) { taken.push_back(a); });
  window.on_message = [&](UINT msg, WPARAM wparam, LPARAM) { return queue.HandleMessage(msg, wparam); };
  queue.Push("http://one.example/");
  queue.Push("http://two.example/");
  ui::PumpMessages();
  EXPECT_TRUE(taken.empty());
  sending = false;  // the letter has gone: the retry timer takes both in
  const DWORD start = GetTickCount();
  while (taken.size() < 2 && GetTickCount() - start < 5000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    ui::PumpMessages();
  }
  EXPECT_EQ(taken, (std::vector<std::string>{"http://one.example/", "http://two.example/"}));
}

}  // namespace
}  // namespace qp
