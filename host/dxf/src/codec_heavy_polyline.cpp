// The old-style POLYLINE's group codes, read and written in one place.
//
// A file holds it as several entities: `0 POLYLINE` with its own part (subclass marker
// AcDb2dPolyline, AcDb3dPolyline, AcDbPolygonMesh or AcDbPolyFaceMesh; 66 1, the dummy
// point 10/20/30 whose z is a 2D one's elevation, 70 flags, 40/41 default widths,
// 71..75 mesh counts and smoothing, 210 extrusion), one `0 VERTEX` per vertex (markers
// AcDbVertex and AcDb2dVertex, AcDb3dPolylineVertex, AcDbPolygonMeshVertex or
// AcDbPolyFaceMeshVertex, or AcDbFaceRecord alone; 10/20/30, 40, 41, 42 bulge, 70 flags,
// 50 tangent, 71..74 face indices) and `0 SEQEND`. Each keeps its handle; the vertices and
// the SEQEND are owned by the POLYLINE. Markers are written as they were read (those a
// file left out, as CAD programs write them); an optional code is written when its value
// is not the default or when the file gave it.
#include "codec_heavy_polyline.h"

#include "orv/dxf/tags.h"

namespace orv::dxf {

namespace {

Take real(double& field, std::string_view value) { return parseDouble(value, field) ? Take::used : Take::badNumber; }

Take int16(std::int16_t& field, std::string_view value) {
  std::int64_t n = 0;
  // A number out of the group's range could not be written back as it was read.
  if (!parseInt(value, n) || n < -32768 || n > 32767) return Take::badNumber;
  field = static_cast<std::int16_t>(n);
  return Take::used;
}

Take point(db::Point3& p, std::uint16_t& given, int code, std::string_view value) {
  if (code == 10 || code == 210) given |= code == 10 ? db::given::point : db::given::extrusion;
  if (code == 30) given |= db::given::z;
  const int axis = (code % 100) / 10 - 1;
  return real(axis == 0 ? p.x : axis == 1 ? p.y : p.z, value);
}

// The markers CAD programs write for a vertex of these flags.
void standardVertexMarkers(Emitter& out, const db::HeavyVertex& v, const db::HeavyPolyline& p) {
  if (v.isFaceRecord()) {
    out.raw(100, "AcDbFaceRecord");
    return;
  }
  out.raw(100, "AcDbVertex");
  if (p.isPolyface()) out.raw(100, "AcDbPolyFaceMeshVertex");
  else if (p.isPolygonMesh()) out.raw(100, "AcDbPolygonMeshVertex");
  else if (p.is3d()) out.raw(100, "AcDb3dPolylineVertex");
  else out.raw(100, "AcDb2dVertex");
}

const char* standardHeadMarker(const db::HeavyPolyline& p) {
  if (p.isPolyface()) return "AcDbPolyFaceMesh";
  if (p.isPolygonMesh()) return "AcDbPolygonMesh";
  if (p.is3d()) return "AcDb3dPolyline";
  return "AcDb2dPolyline";
}

void writePoint(Emitter& out, int code, const db::Point3& p, bool withZ) {
  if (withZ) out.point(code, p);
  else out.point(code, db::Point2{p.x, p.y});
}

// `0 TYPE` and the entity's common part.
void writeCommon(Emitter& out, const db::Database& drawing, const char* type, const db::SubEntity& s, db::Handle owner,
                 bool paperSpace) {
  out.raw(0, type);
  out.handle(5, s.handle);
  out.kept(&s.extras, slot::appData);
  out.handle(330, owner);
  out.raw(100, "AcDbEntity");
  if (paperSpace) out.raw(67, "1");
  out.text(8, drawing.name(s.layer));
  if (s.linetype != db::names::byLayer) out.text(6, drawing.name(s.linetype));
  if (s.color != db::color::byLayer) out.integer(62, s.color);
  out.kept(&s.extras, slot::common);
}

void writeVertex(Emitter& out, const db::Database& drawing, const db::HeavyPolyline& p, const db::HeavyVertex& v,
                 db::Handle owner, bool paperSpace) {
  writeCommon(out, drawing, "VERTEX", v.common, owner, paperSpace);
  if (v.common.extras.hasSlot(slot::subclassHead)) out.kept(&v.common.extras, slot::subclassHead);
  else standardVertexMarkers(out, v, p);
  const std::uint16_t g = v.given;
  writePoint(out, 10, v.point, (g & db::given::z) || v.point.z != 0.0);
  if ((g & db::given::startWidth) || v.startWidth != 0.0) out.real(40, v.startWidth);
  if ((g & db::given::endWidth) || v.endWidth != 0.0) out.real(41, v.endWidth);
  if ((g & db::given::bulge) || v.bulge != 0.0) out.real(42, v.bulge);
  if ((g & db::given::flags) || v.flags != 0) out.integer(70, v.flags);
  if ((g & db::given::tangent) || v.tangent != 0.0) out.real(50, v.tangent);
  for (int k = 0; k < 4; ++k)
    if ((g & db::given::count(71 + k)) || v.face[static_cast<std::size_t>(k)] != 0)
      out.integer(71 + k, v.face[static_cast<std::size_t>(k)]);
  out.kept(&v.common.extras, slot::subclass);
  out.kept(&v.common.extras, slot::xdata);
}

}  // namespace

Take takeHeavyHeadTag(db::HeavyPolyline& p, int code, std::string_view value) {
  switch (code) {
    case 10: case 20: case 30: return point(p.origin, p.given, code, value);
    case 210: case 220: case 230: return point(p.extrusion, p.given, code, value);
    case 40: p.given |= db::given::startWidth; return real(p.startWidth, value);
    case 41: p.given |= db::given::endWidth; return real(p.endWidth, value);
    case 66: {
      std::int64_t n = 0;
      if (!parseInt(value, n)) return Take::badNumber;
      p.given |= db::given::followFlag;  // vertices follow whatever it says: written as 1
      return Take::used;
    }
    case 70: p.given |= db::given::flags; return int16(p.flags, value);
    case 71: case 72: case 73: case 74: case 75:
      p.given |= db::given::count(code);
      return int16(p.counts[static_cast<std::size_t>(code - 71)], value);
    default: return Take::notMine;
  }
}

Take takeHeavyVertexTag(db::HeavyVertex& v, int code, std::string_view value) {
  switch (code) {
    case 10: case 20: case 30: return point(v.point, v.given, code, value);
    case 40: v.given |= db::given::startWidth; return real(v.startWidth, value);
    case 41: v.given |= db::given::endWidth; return real(v.endWidth, value);
    case 42: v.given |= db::given::bulge; return real(v.bulge, value);
    case 50: v.given |= db::given::tangent; return real(v.tangent, value);
    case 70: v.given |= db::given::flags; return int16(v.flags, value);
    case 71: case 72: case 73: case 74:
      v.given |= db::given::count(code);
      return int16(v.face[static_cast<std::size_t>(code - 71)], value);
    default: return Take::notMine;
  }
}

void writeHeavyPolyline(Emitter& out, const db::Database& drawing, const db::HeavyPolyline& p, const db::RawTags* x,
                        db::Handle handle, bool paperSpace) {
  if (x && x->hasSlot(slot::subclassHead)) out.kept(x, slot::subclassHead);
  else out.raw(100, standardHeadMarker(p));
  const std::uint16_t g = p.given;
  out.integer(66, 1);
  const db::Point3 o = p.origin;
  if ((g & db::given::point) || o.x != 0.0 || o.y != 0.0 || o.z != 0.0)
    writePoint(out, 10, o, (g & db::given::z) || o.z != 0.0);
  if ((g & db::given::flags) || p.flags != 0) out.integer(70, p.flags);
  if ((g & db::given::startWidth) || p.startWidth != 0.0) out.real(40, p.startWidth);
  if ((g & db::given::endWidth) || p.endWidth != 0.0) out.real(41, p.endWidth);
  for (int k = 0; k < 5; ++k)
    if ((g & db::given::count(71 + k)) || p.counts[static_cast<std::size_t>(k)] != 0)
      out.integer(71 + k, p.counts[static_cast<std::size_t>(k)]);
  const db::Point3 n = p.extrusion;
  if ((g & db::given::extrusion) || n.x != 0.0 || n.y != 0.0 || n.z != 1.0) out.point(210, n);
  out.kept(x, slot::subclass);
  out.kept(x, slot::xdata);
  for (const db::HeavyVertex& v : p.vertices) writeVertex(out, drawing, p, v, handle, paperSpace);
  writeCommon(out, drawing, "SEQEND", p.seqend, handle, paperSpace);
  out.kept(&p.seqend.extras, slot::subclass);
  out.kept(&p.seqend.extras, slot::xdata);
}

}  // namespace orv::dxf
