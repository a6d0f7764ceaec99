// The main window's six view modes: which panels each hides, how far it moves the controls
// below them and shrinks the window, and which mode entries of "Панели" can be clicked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qp {

// The numbers are those of the "ViewMode" setting; 0 is the full view.
enum class ViewMode { Full = 0, Simple, Original, Special, Min, List, SuperView };
inline constexpr ViewMode kViewModes[] = {ViewMode::Simple, ViewMode::Original, ViewMode::Special,
                                          ViewMode::Min,    ViewMode::List,     ViewMode::SuperView};

// A stored "ViewMode": 1 to 6 is that mode, anything else the full view.
ViewMode ViewModeFromSetting(int number);
// The menu entry of a mode ("miSimple"); empty for the full view.
std::string_view ViewModeEntry(ViewMode mode);

// What a view mode changes of one control, as the window has it now.
struct ViewControl {
  std::string name;
  int top = 0, height = 0;  // client pixels, within the control's parent
  bool visible = true;
  bool operator==(const ViewControl&) const = default;
};

struct ViewLayout {
  int client_height = 0;              // the window's height changes by the same amounts
  std::vector<ViewControl> controls;  // those of ViewModeControls(), in that order
  const ViewControl* Find(std::string_view name) const;
  bool operator==(const ViewLayout&) const = default;
};

// The controls a view mode may move, shrink or hide: the window reads them into a
// ViewLayout and writes back whatever a click returns.
const std::vector<std::string>& ViewModeControls();
// The layout of the window's design, in the full view.
ViewLayout DesignViewLayout();

// The layout after entering a mode from the full view, and after leaving it again. The
// heights of the search and list panels are read from the layout given.
ViewLayout EnterViewMode(ViewLayout layout, ViewMode mode);
ViewLayout LeaveViewMode(ViewLayout layout, ViewMode mode);

struct ViewModeClick {
  ViewMode mode = ViewMode::Full;  // the mode now active
  ViewLayout layout;
};
// A click on the entry of `clicked` while `current` is active: enters it from the full
// view, leaves it when it is the active one. Modes never combine: a click on a disabled
// entry changes nothing.
ViewModeClick ClickViewMode(ViewMode current, ViewMode clicked, const ViewLayout& layout);

// The tick and the enabled state of a mode's entry while `current` is active.
bool ViewModeEntryTicked(ViewMode current, ViewMode entry);
bool ViewModeEntryEnabled(ViewMode current, ViewMode entry);

}  // namespace qp
