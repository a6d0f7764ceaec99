// Sticky screen edges and where a window may stand: the snap of the main window and the
// mini window to the work area's edges, and a stored position that no screen shows any more.
#pragma once

#include <vector>

#include "ui/screen_rect.h"

namespace qp::ui {

inline constexpr int kMainWindowSnap = 20;  // "Прилипание" of the main window
inline constexpr int kMiniWindowSnap = 10;  // the mini window docks closer

struct Snap {
  ScreenRect window;
  bool snapped = false;  // once set, the window stays inside the work area for the rest of the run
};

// Where a window goes that is about to move or resize to proposed while its sticky edges
// are on: an edge within distance of the work area's edge is pulled onto it. snapped says
// whether the window has been snapped before in this run.
Snap SnapToEdges(const ScreenRect& proposed, const ScreenRect& work_area, int distance, bool snapped);

// The window's place from its stored top-left corner: kept while it overlaps any monitor,
// otherwise (a monitor unplugged, a resolution lowered) the top-left of the primary work area.
ScreenRect PlaceOnAMonitor(const ScreenRect& stored, const std::vector<ScreenRect>& monitors, const ScreenRect& primary_work_area);

// A window of this size in the bottom-right corner of the work area, as the mini window opens.
ScreenRect BottomRightOf(const ScreenRect& work_area, int width, int height);

}  // namespace qp::ui
