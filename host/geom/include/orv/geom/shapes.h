// Reference arrays as decoded from their tags.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/geom/affine.h"
#include "orv/geom/kept.h"

namespace orv::geom {

// A block reference's array (MINSERT): columns along the reference's rotated x axis,
// rows along its y axis, spacings in drawing units (not scaled). From the extra tags the
// database keeps beside a modeled reference (or a kept INSERT's tags).
struct InsertArray {
  int columns = 1;             // 70
  int rows = 1;                // 71
  double columnSpacing = 0.0;  // 44
  double rowSpacing = 0.0;     // 45
  bool hasAttributes = false;  // 66 1: ATTRIB entities follow the reference
  bool isArray() const { return columns > 1 || rows > 1; }
};
// Counts are held to 1..32767; extras may be null.
InsertArray decodeInsertArray(const db::RawTags* extras);


}  // namespace orv::geom
