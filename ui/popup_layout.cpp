// Where the popup reports stand and how they move.
#include "ui/popup_layout.h"

#include <algorithm>
#include <cstdint>

namespace qp::ui {
namespace {

int Speed(int speed) { return std::clamp(speed, kPopupMinSpeed, kPopupMaxSpeed); }

// The system's MulDiv: multiply, then divide rounding halves away from zero.
int MulDiv(int number, int numerator, int denominator) {
  if (denominator < 0) number = -number, denominator = -denominator;
  const int64_t product = int64_t{number} * numerator;
  return static_cast<int>(product >= 0 ? (product + denominator / 2) / denominator : (product - denominator / 2) / denominator);
}

// n / 2, a half going to the even neighbour.
int HalfToEven(int n) {
  if (n % 2 == 0) return n / 2;
  const int below = (n - 1) / 2;
  return below % 2 == 0 ? below : below + 1;
}

}  // namespace

TaskbarEdge TaskbarEdgeOf(const ScreenRect& taskbar, const ScreenRect& screen) {
  if (taskbar.Width() <= 0 || taskbar.Height() <= 0) return TaskbarEdge::Unknown;
  // Measured from the screen's own corner, so a taskbar on a monitor left of or above the
  // primary one is judged as it would be there.
  const int left = taskbar.left - screen.left, top = taskbar.top - screen.top;
  const int right = taskbar.right - screen.left, bottom = taskbar.bottom - screen.top;
  if (left == top && bottom > right) return TaskbarEdge::Left;
  if (left == top && bottom < right) return TaskbarEdge::Top;
  if (left < top) return TaskbarEdge::Bottom;
  return TaskbarEdge::Right;
}

ScreenRect PlacePopup(TaskbarEdge edge, const ScreenRect& work_area, const PopupGeometry& g, int offset) {
  const int right_aligned = work_area.right - g.width - g.start_x;
  const int from_bottom = work_area.bottom - g.start_y - g.height - offset;
  switch (edge) {
    case TaskbarEdge::Left: return FromPlace(work_area.left + g.start_x, from_bottom, g.width, g.height);
    case TaskbarEdge::Top: return FromPlace(right_aligned, work_area.top + g.start_y + offset, g.width, g.height);
    default: return FromPlace(right_aligned, from_bottom, g.width, g.height);
  }
}

bool PopupHasRoom(TaskbarEdge edge, const ScreenRect& work_area, const PopupGeometry& g, int offset) {
  const ScreenRect place = PlacePopup(edge, work_area, g, offset);
  return edge == TaskbarEdge::Top ? place.bottom <= work_area.bottom : place.top >= work_area.top;
}

std::optional<PopupPlacement> PopupStack::Open(TaskbarEdge edge, const ScreenRect& work_area, const PopupGeometry& g) {
  // Reports still open on the old edge no longer stand in the new stack's way.
  if (edge != edge_) edge_ = edge, open_ = 0;
  if (open_ <= 0) {
    offset_ = 0;
  } else if (!PopupHasRoom(edge, work_area, g, offset_)) {
    return std::nullopt;
  }
  ++open_;
  const PopupPlacement placement{PlacePopup(edge, work_area, g, offset_), offset_, edge};
  offset_ = g.cascade ? offset_ + g.height + g.marge : 0;
  return placement;
}

void PopupStack::Closed() {
  if (open_ > 0) --open_;
}

ScreenRect CollapsedPopup(TaskbarEdge edge, const ScreenRect& full) {
  switch (edge) {
    case TaskbarEdge::Left: return {full.left, full.top, full.left + 1, full.bottom};
    case TaskbarEdge::Top: return {full.left, full.top, full.right, full.top + 1};
    case TaskbarEdge::Right: return {full.right, full.top, full.right + 1, full.bottom};
    case TaskbarEdge::Bottom: return {full.left, full.bottom, full.right, full.bottom + 1};
    default: return full;
  }
}

bool PopupSlidesIn(TaskbarEdge edge, bool scrolling_allowed) { return scrolling_allowed && edge != TaskbarEdge::Unknown; }

SlideStep SlideIn(TaskbarEdge edge, const ScreenRect& current, const ScreenRect& full, int speed) {
  const int s = Speed(speed);
  ScreenRect w = current;
  switch (edge) {
    case TaskbarEdge::Left:
      if (w.Width() + s < full.Width()) return {{w.left, w.top, w.right + s, w.bottom}, false};
      return {{w.left, w.top, w.left + full.Width(), w.bottom}, true};
    case TaskbarEdge::Top:
      if (w.Height() + s < full.Height()) return {{w.left, w.top, w.right, w.bottom + s}, false};
      return {{w.left, w.top, w.right, w.top + full.Height()}, true};
    case TaskbarEdge::Right:
      if (w.Width() + s < full.Width()) return {{w.left - s, w.top, w.right, w.bottom}, false};
      return {{full.left, w.top, full.right, w.bottom}, true};
    case TaskbarEdge::Bottom:
      if (w.Height() + s < full.Height()) return {{w.left, w.top - s, w.right, w.bottom}, false};
      return {{w.left, full.top, w.right, full.bottom}, true};
    default: return {w, true};
  }
}

SlideStep SlideOut(TaskbarEdge edge, const ScreenRect& current, int speed) {
  const int s = Speed(speed);
  const ScreenRect& w = current;
  switch (edge) {
    case TaskbarEdge::Left: return {{w.left, w.top, w.right - s, w.bottom}, w.Width() - s <= 0};
    case TaskbarEdge::Top: return {{w.left, w.top, w.right, w.bottom - s}, w.Height() - s <= 0};
    case TaskbarEdge::Right: return {{w.left + s, w.top, w.right, w.bottom}, w.Width() - s <= 0};
    case TaskbarEdge::Bottom: return {{w.left, w.top + s, w.right, w.bottom}, w.Height() - s <= 0};
    // Nowhere to slide to: the time-out closes the report at once.
    default: return {w, true};
  }
}

ScreenRect PopupTextBounds(int panel_width, int panel_height, int text_height) {
  const int width = std::max(0, panel_width - 15);
  return FromPlace(HalfToEven(panel_width - width), HalfToEven(panel_height - text_height), width, text_height);
}

Rgb GradientColour(Rgb from, Rgb to, int position, int extent) {
  if (extent <= 0) return from;
  auto channel = [&](int a, int b) { return a + MulDiv(position, b - a, extent); };
  return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}

}  // namespace qp::ui
