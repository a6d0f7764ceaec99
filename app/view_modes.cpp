// The main window's six view modes.
#include "app/view_modes.h"

#include <stdexcept>

#include "app/main_form.h"

namespace qp {
namespace {

constexpr int kLowerButtonRows = 125;  // the lower four rows of request buttons
constexpr int kListGap = 8;            // the list panel closes up to the buttons
constexpr int kLabelRow = 15;          // the top label row
constexpr int kSuperViewCut = 180;     // the buttons' panel and the label row (165 + 15)

// One control's part in a mode: moved up, shrunk and hidden on entering; the same undone
// in reverse on leaving.
struct Change {
  std::string control;
  int up = 0, shrink = 0;
  bool hide = false;
};

struct ModeChanges {
  int window = 0;  // the window shrinks by this much
  std::vector<Change> controls;
};

Change Hide(std::string control) { return {std::move(control), 0, 0, true}; }

const ViewControl& Required(const ViewLayout& layout, std::string_view name) {
  if (const ViewControl* c = layout.Find(name)) return *c;
  throw std::logic_error("view layout without " + std::string(name));
}

ViewControl& At(ViewLayout& layout, std::string_view name) { return layout.controls[&Required(layout, name) - layout.controls.data()]; }

std::vector<Change> SuperViewChanges() {
  std::vector<Change> changes;
  for (const char* label :
       {fmMain::lbHookURL, fmMain::lbMailBox, fmMain::lbDecode, fmMain::lbEncode, fmMain::lbFavorites, fmMain::lbAdd, fmMain::lbList}) {
    changes.push_back(Hide(label));
  }
  for (int n = 1; n <= 3; ++n) changes.push_back(Hide(fmMain::Numbered(fmMain::lb, n)));
  changes.push_back({fmMain::cbComboBox, kLabelRow});
  for (const char* panel : {fmMain::gbButtons, fmMain::gbSearch, fmMain::gbList}) changes.push_back(Hide(panel));
  return changes;
}

ModeChanges ChangesOf(ViewMode mode, const ViewLayout& layout) {
  const int s = Required(layout, fmMain::gbSearch).height, l = Required(layout, fmMain::gbList).height;
  ModeChanges m;
  switch (mode) {
    case ViewMode::Simple:
      m = {s + kLowerButtonRows + l, {{fmMain::gbButtons, 0, kLowerButtonRows}, Hide(fmMain::gbSearch), Hide(fmMain::gbList)}};
      break;
    case ViewMode::Original: m = {s + l, {Hide(fmMain::gbSearch), {fmMain::gbList, s + l, 0, true}}}; break;
    case ViewMode::Special:
      m = {s + kLowerButtonRows,
           {{fmMain::gbButtons, 0, kLowerButtonRows}, Hide(fmMain::gbSearch), {fmMain::gbList, s + kLowerButtonRows}}};
      break;
    case ViewMode::Min: m = {s + kListGap, {Hide(fmMain::gbSearch), {fmMain::gbList, s + kListGap}}}; break;
    case ViewMode::List: m = {l, {Hide(fmMain::gbList)}}; break;
    case ViewMode::SuperView: m = {s + l + kSuperViewCut, SuperViewChanges()}; break;
    case ViewMode::Full: break;
  }
  // Progress and cancel lie over the status bar, which follows the bottom edge by itself.
  m.controls.push_back({fmMain::ProgressBar1, m.window});
  m.controls.push_back({fmMain::btCsend, m.window});
  return m;
}

}  // namespace

ViewMode ViewModeFromSetting(int number) { return number >= 1 && number <= 6 ? static_cast<ViewMode>(number) : ViewMode::Full; }

std::string_view ViewModeEntry(ViewMode mode) {
  switch (mode) {
    case ViewMode::Simple: return fmMain::miSimple;
    case ViewMode::Original: return fmMain::miOriginal;
    case ViewMode::Special: return fmMain::miSpecial;
    case ViewMode::Min: return fmMain::miMin;
    case ViewMode::List: return fmMain::miList;
    case ViewMode::SuperView: return fmMain::miSuperView;
    case ViewMode::Full: break;
  }
  return {};
}

const ViewControl* ViewLayout::Find(std::string_view name) const {
  for (const ViewControl& c : controls) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

const std::vector<std::string>& ViewModeControls() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v = {fmMain::lbHookURL, fmMain::lbMailBox};
    for (int n = 1; n <= 3; ++n) v.push_back(fmMain::Numbered(fmMain::lb, n));
    for (const char* name : {fmMain::lbFavorites, fmMain::lbEncode, fmMain::lbDecode, fmMain::lbAdd, fmMain::lbList, fmMain::cbComboBox,
                             fmMain::gbButtons, fmMain::gbSearch, fmMain::gbList, fmMain::ProgressBar1, fmMain::btCsend}) {
      v.push_back(name);
    }
    return v;
  }();
  return names;
}

ViewLayout DesignViewLayout() {
  const ui::FormDef form = MainFormDef();
  ViewLayout layout{form.client_height, {}};
  for (const std::string& name : ViewModeControls()) {
    for (const ui::ControlDef& def : form.controls) {
      if (def.name == name) layout.controls.push_back({name, def.bounds.y, def.bounds.h, def.visible});
    }
  }
  return layout;
}

ViewLayout EnterViewMode(ViewLayout layout, ViewMode mode) {
  const ModeChanges m = ChangesOf(mode, layout);
  for (const Change& change : m.controls) {
    ViewControl& c = At(layout, change.control);
    c.top -= change.up;
    c.height -= change.shrink;
    if (change.hide) c.visible = false;
  }
  layout.client_height -= m.window;
  return layout;
}

ViewLayout LeaveViewMode(ViewLayout layout, ViewMode mode) {
  const ModeChanges m = ChangesOf(mode, layout);
  layout.client_height += m.window;
  for (auto change = m.controls.rbegin(); change != m.controls.rend(); ++change) {
    ViewControl& c = At(layout, change->control);
    if (change->hide) c.visible = true;
    c.top += change->up;
    c.height += change->shrink;
  }
  return layout;
}

ViewModeClick ClickViewMode(ViewMode current, ViewMode clicked, const ViewLayout& layout) {
  if (clicked == ViewMode::Full || !ViewModeEntryEnabled(current, clicked)) return {current, layout};
  if (clicked == current) return {ViewMode::Full, LeaveViewMode(layout, clicked)};
  return {clicked, EnterViewMode(layout, clicked)};
}

bool ViewModeEntryTicked(ViewMode current, ViewMode entry) { return entry != ViewMode::Full && entry == current; }

bool ViewModeEntryEnabled(ViewMode current, ViewMode entry) { return current == ViewMode::Full || current == entry; }

}  // namespace qp
