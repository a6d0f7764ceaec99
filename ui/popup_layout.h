// Where the popup reports stand and how they move: the taskbar's edge, the place of each
// report beside it, their stacking, the slide in and out, and the background gradient.
#pragma once

#include <optional>

#include "ui/screen_rect.h"

namespace qp::ui {

// The numbers are those the popup component keeps.
enum class TaskbarEdge { Unknown = -1, Left = 0, Top = 1, Right = 2, Bottom = 3 };

// The edge of a taskbar with this rectangle on the screen (monitor) it lies on.
TaskbarEdge TaskbarEdgeOf(const ScreenRect& taskbar, const ScreenRect& screen);

// The sizes a report is shown with; the defaults are the component's own.
struct PopupGeometry {
  int width = 148, height = 121;
  int start_x = 16, start_y = 2;  // distance of the first report from the work area's side and bottom (or top)
  int marge = 2;                  // gap between stacked reports
  bool cascade = true;            // a report opened while others are open goes beside them
};

inline constexpr int kPopupStepMs = 25;  // one step of the slide in or out
inline constexpr int kPopupMinSpeed = 1, kPopupMaxSpeed = 50;

// The full-size place of a report whose stack already holds offset pixels. An unknown edge
// places it as at the bottom.
ScreenRect PlacePopup(TaskbarEdge edge, const ScreenRect& work_area, const PopupGeometry& geometry, int offset);

// Whether a report at offset would still lie wholly inside the work area on the side the
// stack grows to (downwards with the taskbar at the top, upwards on every other edge).
bool PopupHasRoom(TaskbarEdge edge, const ScreenRect& work_area, const PopupGeometry& geometry, int offset);

struct PopupPlacement {
  ScreenRect window;     // full size
  int start_offset = 0;  // the stack's offset when it opened
  TaskbarEdge edge = TaskbarEdge::Unknown;
};

// The open reports of one popup component.
class PopupStack {
 public:
  // Where the next report goes, counted as open; nothing when there is no room for it.
  std::optional<PopupPlacement> Open(TaskbarEdge edge, const ScreenRect& work_area, const PopupGeometry& geometry);
  // A counted report has closed.
  void Closed();
  int OpenCount() const { return open_; }
  int Offset() const { return offset_; }

 private:
  int open_ = 0;
  int offset_ = 0;
  TaskbarEdge edge_ = TaskbarEdge::Left;  // seen at the last open
};

// The one-pixel strip a report slides in from, on the side of the taskbar.
ScreenRect CollapsedPopup(TaskbarEdge edge, const ScreenRect& full);
// Whether a report slides in at all; otherwise it opens full size and waits for its time-out.
bool PopupSlidesIn(TaskbarEdge edge, bool scrolling_allowed);

struct SlideStep {
  ScreenRect window;
  bool done = false;  // slid in: start the time-out; slid out: close the report
};
// One step of the slide, speed pixels a step (held to 1..50).
SlideStep SlideIn(TaskbarEdge edge, const ScreenRect& current, const ScreenRect& full, int speed);
SlideStep SlideOut(TaskbarEdge edge, const ScreenRect& current, int speed);

// The text label's place on the report's border panel: 15 pixels narrower than the panel
// and centred, halves going to the even neighbour. text_height follows from the word wrap.
ScreenRect PopupTextBounds(int panel_width, int panel_height, int text_height);

struct Rgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kPopupGradientColour1{153, 204, 255};
inline constexpr Rgb kPopupGradientColour2{255, 255, 255};

// The colour of row (or column) position of a gradient from `from` at 0 to `to` at extent.
Rgb GradientColour(Rgb from, Rgb to, int position, int extent);

}  // namespace qp::ui
