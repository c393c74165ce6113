// What the drawing and modify commands remember from one use to the next within a
// session, as CAD programs do (the radius CIRCLE offers at Enter, FILLET's radius, ...).
// Each session keeps its own: two sessions in one process never see each other's.
#pragma once

#include <optional>

namespace orv::app {

struct CommandMemory {
  // CIRCLE: the radius of the last circle drawn (0: none yet, no default offered).
  double circleRadius = 0;
  // RECTANG: the fillet radius and the width the next rectangle starts with.
  double rectangleFillet = 0;
  double rectangleWidth = 0;
  // PLINE: the width the next polyline starts with.
  double polylineWidth = 0;
  // POLYGON: the number of sides and whether inscribed.
  int polygonSides = 4;
  bool polygonInscribed = true;
  // OFFSET: the distance (nullopt: through a point).
  std::optional<double> offsetDistance;
  // FILLET's radius; CHAMFER's two distances.
  double filletRadius = 0;
  double chamferFirst = 0;
  double chamferSecond = 0;
  // LENGTHEN: total or delta, and their lengths.
  bool lengthenTotal = false;
  double lengthenDelta = 0;
  double lengthenTotalLength = 1;
  // TEXT: the height Enter keeps (0: the drawing's) and the last rotation.
  double textHeight = 0;
  double textRotation = 0;
};

}  // namespace orv::app
