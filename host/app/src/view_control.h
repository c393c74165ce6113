// What ZOOM and PAN ask of a presentation that shows the drawing (the window binds
// one on its session; the terminal and scripts have none).
#pragma once

#include "orv/core/geometry.h"

namespace orv::app {

class ViewControl {
 public:
  virtual ~ViewControl() = default;
  // The whole drawing (its extents, or the limits where those are larger).
  virtual void zoomAll() = 0;
  // The extents of what is drawn.
  virtual void zoomExtents() = 0;
  // The rectangle with these opposite corners, in drawing coordinates.
  virtual void zoomWindow(core::Vec2 corner, core::Vec2 opposite) = 0;
  // The view before the last zoom or pan; false when there is none.
  virtual bool zoomPrevious() = 0;
  // Magnified by `factor` about the centre of the view (2: twice as large).
  virtual void zoomScale(double factor) = 0;
  // The drawing moved by this displacement in drawing units.
  virtual void pan(core::Vec2 displacement) = 0;
  // The part of the drawing shown now, its lower-left and upper-right corners in drawing
  // coordinates (PLOT's 显示); false when the view shows nothing.
  virtual bool shownArea(core::Vec2& lowerLeft, core::Vec2& upperRight) const {
    (void)lowerLeft;
    (void)upperRight;
    return false;
  }
};

}  // namespace orv::app
