// Object snaps as the prompt engine knows them: their kinds, the names a reply gives
// them by, and the hook through which a point prompt asks the drawing for a snap point.
#pragma once

#include <optional>
#include <string_view>

#include "orv/prompt/console.h"

namespace orv::prompt {

enum class SnapKind : unsigned {
  endpoint,       // END
  midpoint,       // MID
  center,         // CEN
  intersection,   // INT
  perpendicular,  // PER
  nearest,        // NEA
  quadrant,       // QUA
  insertion,      // INS
};
inline constexpr int kSnapKindCount = 8;

// A set of snap kinds as bits (running snaps).
using SnapMask = unsigned;
inline constexpr SnapMask snapBit(SnapKind k) { return 1u << static_cast<unsigned>(k); }
inline constexpr SnapMask kAllSnaps = (1u << kSnapKindCount) - 1;

// "END", "MID", ... as typed at a prompt and as OSNAP lists them.
std::string_view snapName(SnapKind kind);
// The Chinese name a marker's tip and a list show ("端点").
std::string_view snapLabel(SnapKind kind);
// The snap a reply names: the three-letter name or a longer start of the English word
// ("END", "endp", "INTersection"), any case, blanks around it dropped.
std::optional<SnapKind> snapNamed(std::string_view reply);

// What the drawing answers when a point prompt is given a snap override.
class SnapProvider {
 public:
  virtual ~SnapProvider() = default;
  // The snap point of `kind` found at `at` (the point given at "于"), or nothing. The
  // base point is that of the prompt (for a perpendicular foot).
  virtual std::optional<Point3> snapPoint(SnapKind kind, const Point3& at,
                                          const std::optional<Point3>& basePoint) = 0;
  // The same for a clicked point, looked for within `reach` drawing units of it (the
  // pick box of the view it was clicked in); by default as snapPoint.
  virtual std::optional<Point3> snapPointWithin(SnapKind kind, const Point3& at,
                                                const std::optional<Point3>& basePoint, double reach) {
    (void)reach;
    return snapPoint(kind, at, basePoint);
  }
};

// What a point prompt says around a snap override.
namespace snapText {
inline constexpr std::string_view kAt = "\n于 ";
inline constexpr std::string_view kNotFound = "\n未找到捕捉点。";
}  // namespace snapText

}  // namespace orv::prompt
