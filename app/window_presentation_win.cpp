// The main window's presentation.
#include "app/window_presentation_win.h"

#include <stdexcept>
#include <string>

#include "app/main_form.h"
#include "base/error_log.h"
#include "ui/edge_snap.h"
#include "ui/message_box_win.h"
#include "ui/placement_win.h"

namespace qp {
namespace {

constexpr ViewMode kModes[] = {ViewMode::Simple, ViewMode::Original, ViewMode::Special, ViewMode::Min, ViewMode::List, ViewMode::SuperView};
constexpr int kDefaultOpacity = 200;

// A control's place in the window's client area.
RECT PlaceOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

WindowPresentation::WindowPresentation(ui::Window& window, IniFile& settings)
    : window_(window), settings_(settings), hide_when_done_(window, {fmMain::miHideWhenDone1, fmMain::miHideWhenDone2}) {}

ViewLayout WindowPresentation::ReadLayout() const {
  RECT client{};
  GetClientRect(window_.Hwnd(), &client);
  ViewLayout layout{client.bottom, {}};
  for (const std::string& name : ViewModeControls()) {
    HWND control = window_.ControlHwnd(name);
    const RECT r = PlaceOf(control);
    layout.controls.push_back({name, r.top, r.bottom - r.top, (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0});
  }
  return layout;
}

void WindowPresentation::MoveControl(HWND control, int dy, int height, bool visible) {
  const RECT r = PlaceOf(control);
  SetWindowPos(control, nullptr, r.left, r.top + dy, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

// The panels' members are the window's own children here, not the panels': they follow
// their panel's moves and hiding, and a shrunk panel hides the members it no longer holds.
void WindowPresentation::ApplyLayout(const ViewLayout& before, const ViewLayout& after) {
  for (std::size_t i = 0; i < after.controls.size(); ++i) {
    const ViewControl& was = before.controls[i];
    const ViewControl& now = after.controls[i];
    MoveControl(window_.ControlHwnd(now.name), now.top - was.top, now.height, now.visible);
    for (std::size_t k = 0; k < window_.ComponentCount(); ++k) {
      const ui::ControlDef& member = window_.ComponentAt(k).Def();
      if (member.parent != now.name || ui::IsMenuKind(member.kind)) continue;
      const bool held = member.bounds.y + member.bounds.h <= now.height;
      const RECT r = PlaceOf(window_.ControlHwnd(member.name));
      MoveControl(window_.ControlHwnd(member.name), now.top - was.top, r.bottom - r.top, now.visible && held && member.visible);
    }
  }
  RECT outer{};
  GetWindowRect(window_.Hwnd(), &outer);
  SetWindowPos(window_.Hwnd(), nullptr, 0, 0, outer.right - outer.left,
               outer.bottom - outer.top + after.client_height - before.client_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowPresentation::ViewModeClick(ViewMode mode) {
  const ViewLayout before = ReadLayout();
  const qp::ViewModeClick click = ClickViewMode(mode_, mode, before);
  if (click.mode == mode_) return;  // an entry that cannot act now
  ApplyLayout(before, click.layout);
  mode_ = click.mode;
  for (ViewMode m : kModes) {
    ui::Component& entry = window_.Get(ViewModeEntry(m));
    entry.SetChecked(ViewModeEntryTicked(mode_, m));
    entry.SetEnabled(ViewModeEntryEnabled(mode_, m));
  }
}

void WindowPresentation::miStayOnTopClick() {
  ui::Component& entry = window_.Get(fmMain::miStayOnTop);
  entry.SetChecked(!entry.Checked());
  SetWindowPos(window_.Hwnd(), entry.Checked() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowPresentation::miSugarClick() {
  ui::Component& entry = window_.Get(fmMain::miSugar);
  entry.SetChecked(!entry.Checked());
}

void WindowPresentation::miTranspClick() {
  ui::Component& entry = window_.Get(fmMain::miTransp);
  HWND hwnd = window_.Hwnd();
  if (entry.Checked()) {
    entry.SetChecked(false);
    ui::SetWindowOpacity(hwnd, std::nullopt);
    return;
  }
  entry.SetChecked(true);
  const int opacity = settings_.ReadInteger("Settings", "Transp", kDefaultOpacity);
  if (opacity < 0 || opacity > 255) {  // the tick stays, the window keeps its opacity
    ui::ShowMessage(hwnd, "Transp " + std::to_string(opacity) + " is out of range 0..255", MB_ICONERROR | MB_OK);
    return;
  }
  ui::SetWindowOpacity(hwnd, opacity);
}

void WindowPresentation::Restore(const SavedState& state) {
  if (state.on_top) miStayOnTopClick();
  if (state.sticky) miSugarClick();
  if (const ViewMode mode = ViewModeFromSetting(state.view_mode); mode != ViewMode::Full) ViewModeClick(mode);
  if (state.hide) miHideWhenDone1Click();
  if (state.transparent) miTranspClick();
}

bool WindowPresentation::HandleMessage(UINT msg, LPARAM lparam) {
  if (msg != WM_WINDOWPOSCHANGING) return false;
  FilterPosition(*reinterpret_cast<WINDOWPOS*>(lparam));
  return false;  // the normal handling goes on
}

void WindowPresentation::FilterPosition(WINDOWPOS& pos) {
  if (window_.Get(fmMain::miSugar).Checked()) ui::SnapWindowPos(window_.Hwnd(), pos, ui::kMainWindowSnap, snapped_);
}

}  // namespace qp
