// What the shapes of modeled and kept entities share inside the core.
#pragma once

#include "orv/core/shapes.h"

namespace orv::core::detail {

inline constexpr int kMaxNesting = 16;
// Block array copies described at most (a larger array is described by fewer copies
// at its corners).
inline constexpr long kMaxArrayCopies = 4096;

struct DescribeContext {
  const db::Database& d;
  ShapeSink& sink;
  const ShapeOptions& options;
};

// A kept entity: its tags read by its type.
void describeKept(const DescribeContext& ctx, db::ObjectId id, const db::Entity& e,
                  const db::UnknownEntity& kept, const Affine2& toWorld,
                  std::string_view inheritedLayer, int depth);
// The contents of a block seen through `toWorld`.
void describeBlock(const DescribeContext& ctx, db::BlockId block, const Affine2& toWorld,
                   std::string_view layer, int depth);

// A dimension: its picture block drawn at its insertion point (its definition points
// alone when the block is missing), the definition points as snap points.
void describeDimension(const DescribeContext& ctx, const db::Dimension& dim, const Affine2& toWorld,
                       std::string_view layer, int depth);

// The plan view of an object coordinate system (an extrusion) as a core map.
Affine2 planOf(db::Point3 extrusion, double elevation = 0);

// A hatch: its boundary paths, and its vertices to snap to.
void describeHatch(const DescribeContext& ctx, const db::Hatch& h, const Affine2& toWorld);

// The estimated advance of a line of text in character heights.
double textAdvance(std::string_view text, bool mtext);

// A text's box, estimated: its reference point, the direction of its lines and the box
// in (along, up) coordinates about that point.
struct TextFrame {
  Vec2 origin;
  Vec2 along;
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
};
// The box as a region, its reference point as the insertion snap.
void emitTextFrame(const DescribeContext& ctx, const TextFrame& f, const Affine2& m);
// TEXT, ATTRIB, ATTDEF: placed by their alignment (shapes_text.cpp).
void describeText(const DescribeContext& ctx, const db::Text& t, const Affine2& m);
// MTEXT: its box by its attachment, lines at paragraph ends and where they wrap.
void describeMText(const DescribeContext& ctx, const db::MText& t, const Affine2& m);

}  // namespace orv::core::detail
