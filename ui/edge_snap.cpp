// Sticky screen edges and where a window may stand.
#include "ui/edge_snap.h"

#include <algorithm>

namespace qp::ui {
namespace {

// One axis of the snap: the window's near edge at `near`, its size, the area's edges. The
// far edge is tested after the near one, so a window close to both ends on the far one.
struct Axis {
  int near, size, low, high;
  bool snapped;
};

Axis SnapAxis(Axis a, int distance) {
  if (a.near <= a.low + distance) a.near = a.low, a.snapped = true;
  if (a.near + a.size >= a.high - distance) a.near = a.high - a.size, a.snapped = true;
  return a;
}

// Held inside the area once snapped. A window larger than the area keeps its near edge
// inside, so its caption and system menu stay within reach.
Axis HoldAxis(Axis a) {
  if (!a.snapped) return a;
  if (a.near + a.size > a.high) a.near = a.high - a.size;
  if (a.near < a.low) a.near = a.low;
  return a;
}

}  // namespace

Snap SnapToEdges(const ScreenRect& proposed, const ScreenRect& work_area, int distance, bool snapped) {
  Axis x = SnapAxis({proposed.left, proposed.Width(), work_area.left, work_area.right, snapped}, distance);
  Axis y = SnapAxis({proposed.top, proposed.Height(), work_area.top, work_area.bottom, x.snapped}, distance);
  // A snap on either axis holds both.
  x.snapped = y.snapped;
  x = HoldAxis(x);
  y = HoldAxis(y);
  return {proposed.MovedTo(x.near, y.near), y.snapped};
}

ScreenRect PlaceOnAMonitor(const ScreenRect& stored, const std::vector<ScreenRect>& monitors, const ScreenRect& primary_work_area) {
  const bool seen = std::any_of(monitors.begin(), monitors.end(), [&](const ScreenRect& m) { return m.Overlaps(stored); });
  return seen ? stored : stored.MovedTo(primary_work_area.left, primary_work_area.top);
}

ScreenRect BottomRightOf(const ScreenRect& work_area, int width, int height) {
  return FromPlace(work_area.right - width, work_area.bottom - height, width, height);
}

}  // namespace qp::ui
