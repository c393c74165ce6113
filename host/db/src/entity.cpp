// The lightweight polyline's vertex storage and the validation of entity geometry.
#include "orv/db/entity.h"

#include <algorithm>
#include <cstring>

namespace orv::db {

namespace {
double widthOrDefault(double w) { return w < 0.0 ? 0.0 : w; }
}  // namespace

Polyline::Polyline(const Polyline& other) { copyFrom(other); }

Polyline::Polyline(Polyline&& other) noexcept { moveFrom(other); }

void Polyline::moveFrom(Polyline& other) noexcept {
  extras_ = std::move(other.extras_);
  constantWidth_ = other.constantWidth_;
  elevation_ = other.elevation_;
  size_ = other.size_;
  capacity_ = other.capacity_;
  closed_ = other.closed_;
  if (other.capacity_ > kInline) {
    heap_ = other.heap_;
  } else {
    std::copy(other.inline_, other.inline_ + kInline, inline_);
  }
  other.capacity_ = kInline;
  other.size_ = 0;
}

Polyline& Polyline::operator=(const Polyline& other) {
  if (this != &other) {
    release();
    copyFrom(other);
  }
  return *this;
}

Polyline& Polyline::operator=(Polyline&& other) noexcept {
  if (this != &other) {
    release();
    moveFrom(other);
  }
  return *this;
}

Polyline::~Polyline() { release(); }

void Polyline::release() {
  if (capacity_ > kInline) delete[] heap_;
  capacity_ = kInline;
  size_ = 0;
  extras_.reset();
}

void Polyline::copyFrom(const Polyline& other) {
  constantWidth_ = other.constantWidth_;
  elevation_ = other.elevation_;
  closed_ = other.closed_;
  size_ = 0;
  capacity_ = kInline;
  if (other.size_ > kInline) {
    heap_ = new Point2[other.size_];
    capacity_ = other.size_;
  }
  std::copy(other.points(), other.points() + other.size_, points());
  size_ = other.size_;
  if (other.extras_) {
    extras_ = std::make_unique<Extra[]>(capacity_);
    std::copy(other.extras_.get(), other.extras_.get() + size_, extras_.get());
  }
}

void Polyline::grow(std::size_t minCapacity) {
  if (minCapacity <= capacity_) return;
  std::size_t capacity = std::max<std::size_t>(minCapacity, std::size_t{capacity_} * 2);
  auto* fresh = new Point2[capacity];
  std::copy(points(), points() + size_, fresh);
  if (capacity_ > kInline) delete[] heap_;
  heap_ = fresh;
  if (extras_) {
    auto more = std::make_unique<Extra[]>(capacity);
    std::copy(extras_.get(), extras_.get() + size_, more.get());
    extras_ = std::move(more);
  }
  capacity_ = static_cast<std::uint32_t>(capacity);
}

Polyline::Extra* Polyline::extras() {
  if (!extras_) extras_ = std::make_unique<Extra[]>(capacity_);
  return extras_.get();
}

void Polyline::reserve(std::size_t n) { grow(n); }

Vertex Polyline::vertex(std::size_t i) const {
  return Vertex{point(i), bulge(i), startWidth(i), endWidth(i)};
}

Status Polyline::addVertexAt(std::size_t index, Point2 p, double bulge, double startWidth,
                             double endWidth) {
  if (index > size_ || !isFinite(p) || !isFinite(bulge) || !isFinite(startWidth) ||
      !isFinite(endWidth))
    return Status::invalidInput;
  if (size_ == capacity_) grow(size_ + 1);
  Point2* pts = points();
  std::copy_backward(pts + index, pts + size_, pts + size_ + 1);
  pts[index] = p;
  startWidth = widthOrDefault(startWidth);
  endWidth = widthOrDefault(endWidth);
  if (extras_ || bulge != 0.0 || startWidth != 0.0 || endWidth != 0.0) {
    Extra* ex = extras();
    std::copy_backward(ex + index, ex + size_, ex + size_ + 1);
    ex[index] = Extra{bulge, startWidth, endWidth};
  }
  ++size_;
  return Status::ok;
}

Status Polyline::setPoint(std::size_t i, Point2 p) {
  if (i >= size_ || !isFinite(p)) return Status::invalidInput;
  points()[i] = p;
  return Status::ok;
}

Status Polyline::setBulge(std::size_t i, double bulge) {
  if (i >= size_ || !isFinite(bulge)) return Status::invalidInput;
  if (bulge != 0.0 || extras_) extras()[i].bulge = bulge;
  return Status::ok;
}

Status Polyline::setWidths(std::size_t i, double startWidth, double endWidth) {
  if (i >= size_ || !isFinite(startWidth) || !isFinite(endWidth)) return Status::invalidInput;
  startWidth = widthOrDefault(startWidth);
  endWidth = widthOrDefault(endWidth);
  if (startWidth != 0.0 || endWidth != 0.0 || extras_) {
    Extra* ex = extras();
    ex[i].startWidth = startWidth;
    ex[i].endWidth = endWidth;
  }
  return Status::ok;
}

Status Polyline::removeVertexAt(std::size_t i) {
  if (i >= size_) return Status::invalidInput;
  Point2* pts = points();
  std::copy(pts + i + 1, pts + size_, pts + i);
  if (extras_) std::copy(extras_.get() + i + 1, extras_.get() + size_, extras_.get() + i);
  --size_;
  return Status::ok;
}

Status Polyline::setConstantWidth(double width) {
  if (!isFinite(width)) return Status::invalidInput;
  constantWidth_ = widthOrDefault(width);
  return Status::ok;
}

Status Polyline::setElevation(double z) {
  if (!isFinite(z)) return Status::invalidInput;
  elevation_ = z;
  return Status::ok;
}

bool Polyline::operator==(const Polyline& other) const {
  if (size_ != other.size_ || closed_ != other.closed_ ||
      constantWidth_ != other.constantWidth_ || elevation_ != other.elevation_)
    return false;
  for (std::size_t i = 0; i < size_; ++i)
    if (vertex(i) != other.vertex(i)) return false;
  return true;
}

namespace {

struct Validator {
  Status operator()(const Line& l) const {
    return isFinite(l.start) && isFinite(l.end) ? Status::ok : Status::invalidInput;
  }
  Status operator()(const Circle& c) const {
    return isFinite(c.center) && isFinite(c.radius) && c.radius >= 0.0 ? Status::ok
                                                                          : Status::invalidInput;
  }
  Status operator()(const Arc& a) const {
    return isFinite(a.center) && isFinite(a.radius) && a.radius >= 0.0 &&
                   isFinite(a.startAngle) && isFinite(a.endAngle)
               ? Status::ok
               : Status::invalidInput;
  }
  Status operator()(const Polyline& p) const {
    if (!isFinite(p.constantWidth()) || !isFinite(p.elevation())) return Status::invalidInput;
    for (std::size_t i = 0; i < p.size(); ++i) {
      Vertex v = p.vertex(i);
      if (!isFinite(v.point) || !isFinite(v.bulge) || !isFinite(v.startWidth) ||
          !isFinite(v.endWidth))
        return Status::invalidInput;
    }
    return Status::ok;
  }
  Status operator()(const BlockReference& r) const {
    // A z scale of 0 is common (LibreCAD writes it) and harmless in the plane.
    bool scalesOk = isFinite(r.xScale) && isFinite(r.yScale) && isFinite(r.zScale) &&
                    r.xScale != 0.0 && r.yScale != 0.0;
    return isFinite(r.position) && scalesOk && isFinite(r.rotation) && !r.block.isNull()
               ? Status::ok
               : Status::invalidInput;
  }
  Status operator()(const UnknownEntity&) const { return Status::ok; }
  Status operator()(const Point& p) const { return described(descriptionOf(p), &p); }
  Status operator()(const Boxed<Solid>& s) const {
    return s.get() ? described(descriptionOf(*s), s.get()) : Status::invalidInput;
  }
  // A major axis of some length, a ratio in (0, 1].
  Status operator()(const Boxed<Ellipse>& b) const {
    if (!b.get() || described(descriptionOf(*b), b.get()) != Status::ok) return Status::invalidInput;
    const Ellipse& e = *b;
    const Point3 a = e.majorAxis;
    const bool axis = a.x != 0.0 || a.y != 0.0 || a.z != 0.0;
    return axis && e.ratio > 0.0 && e.ratio <= 1.0 + 1e-9 ? Status::ok : Status::invalidInput;
  }
  Status operator()(const Boxed<Hatch>& h) const {
    return h.get() && h->valid() ? Status::ok : Status::invalidInput;
  }
  // Every number finite, a height not below 0, an extrusion of some length.
  Status operator()(const Boxed<Text>& b) const {
    if (!b.get()) return Status::invalidInput;
    const Text& t = *b;
    const bool finite = isFinite(t.position) && isFinite(t.alignPoint) && isFinite(t.height) &&
                        isFinite(t.rotation) && isFinite(t.widthFactor) && isFinite(t.oblique) &&
                        isFinite(t.thickness) && isFinite(t.extrusion);
    const Point3 n = t.extrusion;
    return finite && t.height >= 0.0 && (n.x != 0.0 || n.y != 0.0 || n.z != 0.0) ? Status::ok
                                                                                : Status::invalidInput;
  }
  // Every number finite, a degree of at least 1, a normal of some length, and two control
  // points or two fit points.
  Status operator()(const Boxed<Spline>& b) const {
    if (!b.get()) return Status::invalidInput;
    const Spline& s = *b;
    auto finite = [](const auto& list) {
      for (const auto& v : list)
        if (!isFinite(v)) return false;
      return true;
    };
    const bool numbers = finite(s.knots) && finite(s.weights) && finite(s.controlPoints) && finite(s.fitPoints) &&
                         isFinite(s.extrusion) && (!s.startTangent || isFinite(*s.startTangent)) &&
                         (!s.endTangent || isFinite(*s.endTangent)) && isFinite(s.knotTolerance.value_or(0.0)) &&
                         isFinite(s.controlTolerance.value_or(0.0)) && isFinite(s.fitTolerance.value_or(0.0));
    const Point3 n = s.extrusion;
    const bool normal = n.x != 0.0 || n.y != 0.0 || n.z != 0.0;
    const bool points = s.controlPoints.size() >= 2 || s.fitPoints.size() >= 2;
    return numbers && normal && points && s.degree >= 1 ? Status::ok : Status::invalidInput;
  }
  Status operator()(const Boxed<HeavyPolyline>& b) const {
    return b.get() && !heavyPolylineFault(*b) ? Status::ok : Status::invalidInput;
  }
  // Every number finite, an extrusion of some length.
  Status operator()(const Boxed<Dimension>& b) const {
    if (!b.get()) return Status::invalidInput;
    const Dimension& d = *b;
    for (const DimensionFieldDescription& f : dimensionFields()) {
      if (f.real && !isFinite(d.*f.real)) return Status::invalidInput;
      if (f.point && !isFinite(d.*f.point)) return Status::invalidInput;
    }
    const Point3 n = d.extrusion;
    return n.x != 0.0 || n.y != 0.0 || n.z != 0.0 ? Status::ok : Status::invalidInput;
  }
  // Every number finite, a height and a width not below 0, an attachment of 1 to 9, a
  // line spacing factor above 0, an extrusion of some length.
  Status operator()(const Boxed<MText>& b) const {
    if (!b.get()) return Status::invalidInput;
    const MText& m = *b;
    for (const MTextFieldDescription& f : mtextFields()) {
      if (f.real && !isFinite(m.*f.real)) return Status::invalidInput;
      if (f.point && !isFinite(m.*f.point)) return Status::invalidInput;
    }
    const int attach = static_cast<int>(m.attachment);
    const Point3 n = m.extrusion;
    return m.height >= 0.0 && m.width >= 0.0 && attach >= 1 && attach <= 9 && m.lineSpacing > 0.0 &&
                   (n.x != 0.0 || n.y != 0.0 || n.z != 0.0)
               ? Status::ok
               : Status::invalidInput;
  }
  // Every number finite, a normal of some length, two vertices.
  Status operator()(const Boxed<Leader>& b) const {
    return b.get() && leaderSound(*b) ? Status::ok : Status::invalidInput;
  }
  static Status described(const KindDescription& description, const void* object) {
    if (!fieldsFinite(description, object)) return Status::invalidInput;
    const Point3 n = extrusionOf(description, object);
    return n.x != 0.0 || n.y != 0.0 || n.z != 0.0 ? Status::ok : Status::invalidInput;
  }
};

}  // namespace

Status validate(const Geometry& geometry) { return std::visit(Validator{}, geometry); }

void* describedObject(Geometry& g) {
  if (auto* p = std::get_if<Point>(&g)) return p;
  if (auto* s = std::get_if<Boxed<Solid>>(&g)) return s->get();
  if (auto* e = std::get_if<Boxed<Ellipse>>(&g)) return e->get();
  return nullptr;
}

const void* describedObject(const Geometry& g) { return describedObject(const_cast<Geometry&>(g)); }

const KindDescription* describedKind(const Geometry& g) {
  if (const auto* p = std::get_if<Point>(&g)) return &descriptionOf(*p);
  if (const auto* s = std::get_if<Boxed<Solid>>(&g); s && s->get()) return &descriptionOf(**s);
  if (const auto* e = std::get_if<Boxed<Ellipse>>(&g); e && e->get()) return &descriptionOf(**e);
  return nullptr;
}

const SharedString& standardStyleName() {
  static const SharedString name("Standard");
  return name;
}

void Text::moveAnchorTo(Point3 at) {
  const Point3 from = anchor();
  const Point3 d{at.x - from.x, at.y - from.y, at.z - from.z};
  position = {position.x + d.x, position.y + d.y, position.z + d.z};
  if (hasAlignPoint || placedByAlignPoint()) alignPoint = {alignPoint.x + d.x, alignPoint.y + d.y, alignPoint.z + d.z};
}

const char* describe(Status status) {
  switch (status) {
    case Status::ok: return "ok";
    case Status::invalidInput: return "invalid input";
    case Status::notFound: return "not found";
    case Status::duplicateName: return "duplicate name";
    case Status::wasErased: return "object was erased";
    case Status::selfReference: return "block would reference itself";
    case Status::nothingToUndo: return "nothing to undo";
  }
  return "unknown status";
}

}  // namespace orv::db
