// A dimension's shapes: the picture block it draws through, and its definition points.
#include "shapes_internal.h"

namespace orv::core::detail {

namespace {
Vec2 xy(const db::Point3& p) { return {p.x, p.y}; }
}  // namespace

void describeDimension(const DescribeContext& ctx, const db::Dimension& dim, const Affine2& m,
                       std::string_view layer, int depth) {
  int codes[5];
  const int n = dim.definitionPointCodes(codes);
  const db::Point3 points[] = {dim.definitionPoint, dim.point13, dim.point14, dim.point15, dim.point16};
  auto pointOf = [&](int code) { return code == 10 ? points[0] : points[code - 12]; };
  for (int i = 0; i < n; ++i) ctx.sink.snapPoint(prompt::SnapKind::endpoint, m.apply(xy(pointOf(codes[i]))));
  if (depth < kMaxNesting && !dim.block.empty()) {
    if (auto block = ctx.d.findBlock(dim.block)) {
      const Affine2 ocs = planOf(dim.extrusion);
      describeBlock(ctx, *block, m.after(Affine2::translation(ocs.applyLinear(xy(dim.insertion)))), layer, depth + 1);
      return;
    }
  }
  for (int i = 0; i < n; ++i) {
    const Vec2 p = m.apply(xy(pointOf(codes[i])));
    ctx.sink.piece(Segment{p, p}, false);
  }
}

}  // namespace orv::core::detail
