// A rectangle of the desktop by its edges, as the system reports screens, work areas, the
// taskbar and a window's place; the right and bottom edges lie just outside it.
#pragma once

namespace qp::ui {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  // The same size with its top-left corner at x, y.
  ScreenRect MovedTo(int x, int y) const { return {x, y, x + Width(), y + Height()}; }
  bool Overlaps(const ScreenRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool operator==(const ScreenRect&) const = default;
};

// A rectangle from a window's position and size, as a position change proposes them.
inline ScreenRect FromPlace(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

}  // namespace qp::ui
