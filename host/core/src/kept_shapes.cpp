// The shapes of entities kept as read, from their tags: text and attributes (by an
// estimate of their box), points, ellipses, splines, solids, faces, hatch boundaries,
// dimensions (through their picture block), old-style polylines and leaders.
#include <algorithm>

#include "kept_tags.h"
#include "shapes_internal.h"

namespace orv::core::detail {

namespace {

using kept::Tags;

// Decoding one code point of UTF-8; advances i.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  const auto c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  char32_t cp = c & (0x3F >> extra);
  while (extra-- > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  return cp;
}

double glyphWidth(char32_t cp) { return cp >= 0x1100 ? 1.0 : cp == ' ' ? 0.5 : 0.7; }

struct TextFrame {
  Vec2 origin;      // the reference point
  Vec2 along;       // unit direction of the text line
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;  // the box in (along, up) coordinates
};

void emitFrame(const DescribeContext& ctx, const TextFrame& f, const Affine2& m) {
  const Vec2 up = perp(f.along);
  auto at = [&](double x, double y) { return m.apply(f.origin + x * f.along + y * up); };
  ctx.sink.region({at(f.x0, f.y0), at(f.x1, f.y0), at(f.x1, f.y1), at(f.x0, f.y1)});
  ctx.sink.snapPoint(prompt::SnapKind::insertion, m.apply(f.origin));
}

// TEXT, ATTRIB, ATTDEF: justification 72 and 73 (74 for attributes), points 10 and 11.
void describeText(const DescribeContext& ctx, const Tags& t, bool attribute, const Affine2& m) {
  if (attribute && (static_cast<long>(t.number(70, 0)) & 1)) return;  // invisible
  const auto p10 = t.point(10);
  if (!p10) return;
  const auto p11 = t.point(11);
  const double h = std::max(t.number(40, 2.5), 0.0);
  const double width = t.number(41, 1.0) > 0 ? t.number(41, 1.0) : 1.0;
  const long hj = static_cast<long>(t.number(72, 0));
  const long vj = static_cast<long>(t.number(attribute ? 74 : 73, 0));
  const long flags = static_cast<long>(t.number(71, 0));
  double w = h * width * textAdvance(t.text(attribute ? 1 : 1), false);
  TextFrame f;
  f.along = unitAtDegrees(t.number(50, 0));
  f.origin = *p10;
  if ((hj == 3 || hj == 5) && p11 && *p11 != *p10) {
    f.along = (1 / distance(*p10, *p11)) * (*p11 - *p10);
    w = distance(*p10, *p11);
  } else if ((hj != 0 || vj != 0) && p11) {
    f.origin = *p11;
  }
  f.x0 = hj == 1 || hj == 4 ? -w / 2 : hj == 2 ? -w : 0;
  f.y0 = hj == 4 || vj == 2 ? -h / 2 : vj == 3 ? -h : 0;
  f.x1 = f.x0 + w, f.y1 = f.y0 + h;
  if (flags & 2) std::swap(f.x0, f.x1), f.x0 = -f.x0, f.x1 = -f.x1;  // backward
  if (flags & 4) std::swap(f.y0, f.y1), f.y0 = -f.y0, f.y1 = -f.y1;  // upside down
  emitFrame(ctx, f, m.after(kept::objectToWorld(kept::planeOf(t))));
}

void describeMText(const DescribeContext& ctx, const Tags& t, const Affine2& m) {
  const auto p10 = t.point(10);
  if (!p10) return;
  const double h = std::max(t.number(40, 2.5), 0.0);
  std::string text;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (!t.inGroup(i) && (t[i].code == 3 || t[i].code == 1)) text += t[i].value;
  // Lines at "\P"; each line's advance; wrapped where the reference width is given.
  const double refWidth = t.number(41, 0);
  double widest = 0;
  long lines = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\\P", start);
    if (end == std::string::npos) end = text.size();
    double adv = h * textAdvance(std::string_view(text).substr(start, end - start), true);
    long wraps = 1;
    if (refWidth > 0 && adv > refWidth) {
      wraps = static_cast<long>(std::ceil(adv / refWidth));
      adv = refWidth;
    }
    widest = std::max(widest, adv);
    lines += wraps;
    start = end + 2;
  }
  const double w = refWidth > 0 ? std::max(refWidth, 0.0) : widest;
  const double height = h * (1 + (lines - 1) * 5.0 / 3.0);
  const long attach = std::clamp(static_cast<long>(t.number(71, 1)), 1L, 9L);
  TextFrame f;
  f.origin = *p10;
  if (const auto dir = t.point(11); dir && (dir->x != 0 || dir->y != 0))
    f.along = (1 / length(*dir)) * *dir;
  else
    f.along = unitAtDegrees(t.number(50, 0) / kDegree);
  const long col = (attach - 1) % 3, row = (attach - 1) / 3;
  f.x0 = col == 0 ? 0 : col == 1 ? -w / 2 : -w;
  f.y1 = row == 0 ? 0 : row == 1 ? height / 2 : height;
  f.x1 = f.x0 + w, f.y0 = f.y1 - height;
  emitFrame(ctx, f, m);
}

void describeEllipse(const DescribeContext& ctx, const Tags& t, const Affine2& m) {
  const auto c = t.point(10), major = t.point(11);
  if (!c || !major || (major->x == 0 && major->y == 0)) return;
  const double ratio = t.number(40, 1);
  const bool flipped = kept::planeOf(t) == kept::Plane::flipped;
  const Vec2 minor = (flipped ? -ratio : ratio) * perp(*major);
  const double t0 = t.number(41, 0), t1 = t.number(42, kTwoPi);
  double sweep = normalizeRadians(t1 - t0);
  if (sweep == 0 || std::abs(t1 - t0) >= kTwoPi - 1e-12) sweep = kTwoPi;
  ctx.sink.piece(transformed(EllipticArc{*c, *major, minor, t0, sweep}, m), true);
}

// A point of a B-spline by de Boor's algorithm (rational with weights).
Vec2 splinePoint(int degree, const std::vector<double>& knots, const std::vector<Vec2>& ctrl,
                 const std::vector<double>& weights, double u) {
  const int n = static_cast<int>(ctrl.size());
  int k = degree;
  while (k < n - 1 && u >= knots[k + 1]) ++k;
  std::vector<double> wx(degree + 1), wy(degree + 1), ww(degree + 1);
  for (int j = 0; j <= degree; ++j) {
    const int i = k - degree + j;
    const double w = weights.size() == ctrl.size() ? weights[i] : 1.0;
    wx[j] = ctrl[i].x * w, wy[j] = ctrl[i].y * w, ww[j] = w;
  }
  for (int r = 1; r <= degree; ++r)
    for (int j = degree; j >= r; --j) {
      const int i = k - degree + j;
      const double den = knots[i + degree - r + 1] - knots[i];
      const double a = den == 0 ? 0 : (u - knots[i]) / den;
      wx[j] = (1 - a) * wx[j - 1] + a * wx[j];
      wy[j] = (1 - a) * wy[j - 1] + a * wy[j];
      ww[j] = (1 - a) * ww[j - 1] + a * ww[j];
    }
  return ww[degree] == 0 ? Vec2{wx[degree], wy[degree]} : Vec2{wx[degree] / ww[degree], wy[degree] / ww[degree]};
}

void describeSpline(const DescribeContext& ctx, const Tags& t, const Affine2& m) {
  std::vector<double> knots, weights;
  std::vector<Vec2> ctrl, fit;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t.inGroup(i)) continue;
    const int code = t[i].code;
    if (code == 40) knots.push_back(kept::parseNumber(t[i].value).value_or(0));
    if (code == 41) weights.push_back(kept::parseNumber(t[i].value).value_or(1));
    if (code == 10 || code == 11)
      if (auto p = t.pointAt(i)) (code == 10 ? ctrl : fit).push_back(*p);
  }
  const int degree = static_cast<int>(t.number(71, 3));
  std::vector<Vec2> points;
  if (degree >= 1 && ctrl.size() >= static_cast<std::size_t>(degree) + 1 &&
      knots.size() == ctrl.size() + degree + 1 && std::is_sorted(knots.begin(), knots.end())) {
    const double u0 = knots[degree], u1 = knots[ctrl.size()];
    const int steps = std::clamp(static_cast<int>(ctrl.size()) * 8, 16, 512);
    for (int s = 0; s <= steps; ++s)
      points.push_back(splinePoint(degree, knots, ctrl, weights, u0 + (u1 - u0) * s / steps));
  } else {
    points = fit.size() >= 2 ? fit : ctrl;
  }
  for (std::size_t i = 1; i < points.size(); ++i)
    ctx.sink.piece(Segment{m.apply(points[i - 1]), m.apply(points[i])}, false);
  if (!points.empty()) {
    ctx.sink.snapPoint(prompt::SnapKind::endpoint, m.apply(points.front()));
    ctx.sink.snapPoint(prompt::SnapKind::endpoint, m.apply(points.back()));
  }
}

void describeCorners(const DescribeContext& ctx, const Tags& t, bool solid, const Affine2& m) {
  auto p = [&](int code) { return t.point(code); };
  const auto a = p(10), b = p(11), c = p(12);
  if (!a || !b || !c) return;
  const Vec2 d = p(13).value_or(*c);
  if (solid) {
    const Affine2 w = m.after(kept::objectToWorld(kept::planeOf(t)));
    ctx.sink.region({w.apply(*a), w.apply(*b), w.apply(d), w.apply(*c)});
    return;
  }
  const Vec2 corners[4] = {*a, *b, *c, d};
  const int n = d == *c ? 3 : 4;
  for (int i = 0; i < n; ++i) ctx.sink.piece(Segment{m.apply(corners[i]), m.apply(corners[(i + 1) % n])}, true);
}

void describeHatch(const DescribeContext& ctx, const Tags& t, const Affine2& m) {
  const auto roles = kept::classifyHatch(t);
  if (roles.empty()) return;
  const Affine2 w = m.after(kept::objectToWorld(kept::planeOf(t)));
  auto emit = [&](const Piece& p) { ctx.sink.piece(transformed(p, w), false); };
  using R = kept::HatchRole;
  // Polyline paths: vertices with bulges, closed.
  std::vector<std::pair<Vec2, double>> ring;
  std::uint16_t ringEdge = 0;
  auto flushRing = [&] {
    for (std::size_t i = 0; i < ring.size() && ring.size() > 1; ++i)
      emit(bulgePiece(ring[i].first, ring[(i + 1) % ring.size()].first, ring[i].second));
    ring.clear();
  };
  Vec2 start, center, major;
  double radius = 0, a0 = 0, a1 = 0, ratio = 1;
  std::vector<Vec2> controls;
  for (std::size_t i = 0; i < roles.size(); ++i) {
    const kept::HatchTag& r = roles[i];
    if (r.role == R::other || r.role == R::elevation) continue;
    if (r.role == R::vertex) {
      if (r.edge != ringEdge) flushRing(), ringEdge = r.edge;
      if (auto p = t.pointAt(i)) ring.push_back({*p, 0});
      continue;
    }
    const double v = kept::parseNumber(t[i].value).value_or(0);
    switch (r.role) {
      case R::bulge: if (!ring.empty()) ring.back().second = v; break;
      case R::lineStart: start = t.pointAt(i).value_or(Vec2{}); break;
      case R::lineEnd: emit(Segment{start, t.pointAt(i).value_or(start)}); break;
      case R::arcCenter: center = t.pointAt(i).value_or(Vec2{}); break;
      case R::majorAxis: major = t.pointAt(i).value_or(Vec2{1, 0}); break;
      case R::radius: radius = v; break;
      case R::ratio: ratio = v; break;
      case R::startAngle: a0 = v; break;
      case R::endAngle: a1 = v; break;
      case R::ccw: {
        // Clockwise edges keep 360 less their angles, ends swapped.
        double s = a0, e = a1;
        if (v == 0) s = 360 - a1, e = 360 - a0;
        double sweep = normalizeDegrees(e - s) * kDegree;
        if (sweep == 0 || std::abs(e - s) >= 360) sweep = kTwoPi;
        if (r.edgeType == 2)
          emit(CircularArc{center, radius, normalizeDegrees(s) * kDegree, sweep});
        else
          emit(EllipticArc{center, major, ratio * perp(major), s * kDegree, sweep});
        break;
      }
      case R::control:
        if (!controls.empty() && i > 0 && roles[i - 1].edge != r.edge) controls.clear();
        if (auto p = t.pointAt(i)) {
          if (!controls.empty() && controls.size() > 0) emit(Segment{controls.back(), *p});
          controls.push_back(*p);
        }
        break;
      default: break;
    }
  }
  flushRing();
}

// An old-style POLYLINE with the VERTEX entities that follow it in its block.
void describeOldPolyline(const DescribeContext& ctx, db::ObjectId id, const Tags& head, const Affine2& m) {
  struct V {
    Vec2 p;
    double bulge;
    long flags;
    long index[4];
  };
  std::vector<V> vertices;
  for (std::uint32_t i = id.index + 1; i < ctx.d.entitySlotCount(); ++i) {
    const db::Entity* e = ctx.d.entity(db::ObjectId{i});
    const auto* u = e ? e->as<db::UnknownEntity>() : nullptr;
    if (!u || e->owner() != ctx.d.entity(id)->owner() || ctx.d.name(u->type) != "VERTEX") break;
    if (e->isErased()) continue;
    const Tags t(u->tags);
    V v{t.point(10).value_or(Vec2{}), t.number(42, 0), static_cast<long>(t.number(70, 0)), {}};
    for (int k = 0; k < 4; ++k) v.index[k] = static_cast<long>(t.number(71 + k, 0));
    vertices.push_back(v);
  }
  const long flags = static_cast<long>(head.number(70, 0));
  const Affine2 w = (flags & (8 | 16 | 64)) ? m : m.after(kept::objectToWorld(kept::planeOf(head)));
  auto seg = [&](Vec2 a, Vec2 b) { ctx.sink.piece(Segment{w.apply(a), w.apply(b)}, true); };
  if (flags & 64) {  // polyface mesh: points, then faces naming them
    std::vector<Vec2> points;
    for (const V& v : vertices)
      if ((v.flags & 64) && (v.flags & 128)) points.push_back(v.p);
    for (const V& v : vertices) {
      if (!(v.flags & 128) || (v.flags & 64)) continue;
      int n = 0;
      long face[4];
      for (long k : v.index)
        if (k != 0) face[n++] = k;
      for (int k = 0; k < n; ++k) {
        const long a = std::abs(face[k]), b = std::abs(face[(k + 1) % n]);
        if (face[k] > 0 && a <= static_cast<long>(points.size()) && b <= static_cast<long>(points.size()))
          seg(points[a - 1], points[b - 1]);
      }
    }
    return;
  }
  if (flags & 16) {  // polygon mesh of M by N vertices
    const long rows = static_cast<long>(head.number(71, 0)), cols = static_cast<long>(head.number(72, 0));
    if (rows * cols != static_cast<long>(vertices.size()) || rows <= 0) return;
    auto at = [&](long r, long c) { return vertices[r * cols + c].p; };
    for (long r = 0; r < rows; ++r)
      for (long c = 0; c < cols; ++c) {
        if (c + 1 < cols || (flags & 32)) seg(at(r, c), at(r, (c + 1) % cols));
        if (r + 1 < rows || (flags & 1)) seg(at(r, c), at((r + 1) % rows, c));
      }
    return;
  }
  std::vector<V> chain;
  for (const V& v : vertices)
    if (!(v.flags & 16)) chain.push_back(v);  // spline frame points are not drawn
  const std::size_t n = chain.size();
  if (n == 1) seg(chain[0].p, chain[0].p);
  const std::size_t count = (flags & 1) ? n : (n == 0 ? 0 : n - 1);
  for (std::size_t i = 0; i < count && n > 1; ++i)
    ctx.sink.piece(transformed(bulgePiece(chain[i].p, chain[(i + 1) % n].p, chain[i].bulge), w), true);
}

void describeDimension(const DescribeContext& ctx, const db::Entity& e, const Tags& t,
                       const Affine2& m, std::string_view layer, int depth) {
  if (auto block = drawnBlock(ctx.d, e)) {
    const Vec2 at = t.point(12).value_or(Vec2{});
    describeBlock(ctx, *block, m.after(Affine2::translation(at)), layer, depth + 1);
    return;
  }
  for (int code : {10, 13, 14})
    if (auto p = t.point(code)) ctx.sink.piece(Segment{m.apply(*p), m.apply(*p)}, false);
}

// Any other kind: the points it names, so that a window or a pick can find it.
void describePoints(const DescribeContext& ctx, const Tags& t, const Affine2& m, bool chained) {
  std::vector<Vec2> points;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (!t.inGroup(i) && t[i].code >= 10 && t[i].code <= 18)
      if (auto p = t.pointAt(i)) points.push_back(m.apply(*p));
  if (chained && points.size() > 1) {
    for (std::size_t i = 1; i < points.size(); ++i) ctx.sink.piece(Segment{points[i - 1], points[i]}, true);
    return;
  }
  for (Vec2 p : points) ctx.sink.piece(Segment{p, p}, false);
}

}  // namespace

double textAdvance(std::string_view text, bool mtext) {
  double adv = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!mtext && text.compare(i, 2, "%%") == 0 && i + 2 < text.size()) {
      const char c = static_cast<char>(text[i + 2] | 0x20);
      i += 3;
      if (c == 'd' || c == 'p' || c == 'c' || c == '%') adv += 0.7;
      continue;
    }
    if (mtext && text[i] == '\\' && i + 1 < text.size()) {
      const char c = text[i + 1];
      if (c == '\\' || c == '{' || c == '}' || c == '~') {
        adv += 0.7;
        i += 2;
      } else if (std::string_view("LlOoKkNnPX").find(c) != std::string_view::npos) {
        i += 2;
      } else {
        const std::size_t end = text.find(';', i);
        i = end == std::string_view::npos ? text.size() : end + 1;
      }
      continue;
    }
    if (mtext && (text[i] == '{' || text[i] == '}')) {
      ++i;
      continue;
    }
    adv += glyphWidth(nextCodePoint(text, i));
  }
  return adv;
}

void describeKept(const DescribeContext& ctx, db::ObjectId id, const db::Entity& e,
                  const db::UnknownEntity& kept, const Affine2& m, std::string_view layer, int depth) {
  const std::string_view type = ctx.d.name(kept.type);
  const Tags t(kept.tags);
  if (type == "VERTEX" || type == "SEQEND") return;
  if (type != "ELLIPSE" && type != "SPLINE" && type != "MTEXT" && type != "3DFACE" && type != "POINT" &&
      type != "LEADER" && type != "DIMENSION" && kept::planeOf(t) == kept::Plane::tilted)
    return;  // drawn in a plane the host does not follow
  if (type == "TEXT") return describeText(ctx, t, false, m);
  if (type == "ATTRIB" || type == "ATTDEF") return describeText(ctx, t, true, m);
  if (type == "MTEXT") return describeMText(ctx, t, m);
  if (type == "ELLIPSE") return describeEllipse(ctx, t, m);
  if (type == "SPLINE") return describeSpline(ctx, t, m);
  if (type == "SOLID" || type == "TRACE") return describeCorners(ctx, t, true, m);
  if (type == "3DFACE") return describeCorners(ctx, t, false, m);
  if (type == "HATCH") return describeHatch(ctx, t, m);
  if (type == "POLYLINE") return describeOldPolyline(ctx, id, t, m);
  if (type == "DIMENSION") return describeDimension(ctx, e, t, m, layer, depth);
  if (type == "INSERT") {
    if (auto p = t.point(10)) ctx.sink.snapPoint(prompt::SnapKind::insertion, m.apply(*p));
    return describePoints(ctx, t, m, false);
  }
  describePoints(ctx, t, m, type == "LEADER");
}

}  // namespace orv::core::detail
