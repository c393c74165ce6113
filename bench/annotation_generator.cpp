// orv_bench_annotations: writes a building plan that is mostly text and hatches, for the picture benchmarks.
//
// A grid of rooms, each with a hatched floor (solid, or ANSI31 lines, with a column left
// out as an island) and ten texts: a Chinese room name, its number, its area, door and
// window tags and dimension-like figures, some turned, in two text styles.
//
//   orv_bench_annotations TEXTS HATCHES OUT.dxf
//
// TEXTS and HATCHES are rounded to what whole rooms hold: ten texts and one hatch a room,
// more texts in the last rooms if TEXTS asks for more than ten a hatch.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "orv/db/database.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace {

using namespace orv;

constexpr double kRoomWidth = 6000.0;
constexpr double kRoomDepth = 4500.0;
constexpr double kWall = 240.0;

int fail(const std::string& message) {
  std::fprintf(stderr, "orv_bench_annotations: %s\n", message.c_str());
  return 2;
}

std::string real(double v) {
  char buffer[40];
  return std::string(buffer, dxf::formatReal(v, buffer));
}

bool addKept(db::Database& d, db::NameId type, const db::RawTags& tags) {
  db::UnknownEntity u;
  u.type = type;
  u.tags = tags;
  return d.append(db::Entity(std::move(u))).ok();
}

db::RawTags text(double x, double y, double height, double rotation, const std::string& value,
                 const char* style, const char* layer, int color) {
  db::RawTags t;
  t.add(100, "AcDbEntity");
  t.add(8, layer);
  if (color != 256) t.add(62, std::to_string(color));
  t.add(100, "AcDbText");
  t.add(10, real(x));
  t.add(20, real(y));
  t.add(30, "0.0");
  t.add(40, real(height));
  t.add(1, value);
  if (rotation != 0.0) t.add(50, real(rotation));
  t.add(7, style);
  t.add(100, "AcDbText");
  return t;
}

void polylinePath(db::RawTags& t, int flags, double x0, double y0, double x1, double y1) {
  t.add(92, std::to_string(flags | 2));
  t.add(72, "0");
  t.add(73, "1");
  t.add(93, "4");
  for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}) {
    t.add(10, real(x));
    t.add(20, real(y));
  }
  t.add(97, "0");
}

db::RawTags hatch(double x, double y, bool solid, int color) {
  db::RawTags t;
  t.add(100, "AcDbEntity");
  t.add(8, "HATCH");
  t.add(62, std::to_string(color));
  t.add(100, "AcDbHatch");
  t.add(10, "0.0");
  t.add(20, "0.0");
  t.add(30, "0.0");
  t.add(210, "0.0");
  t.add(220, "0.0");
  t.add(230, "1.0");
  t.add(2, solid ? "SOLID" : "ANSI31");
  t.add(70, solid ? "1" : "0");
  t.add(71, "0");
  t.add(91, "2");
  polylinePath(t, 1, x + kWall, y + kWall, x + kRoomWidth - kWall, y + kRoomDepth - kWall);
  const double cx = x + kRoomWidth * 0.5, cy = y + kRoomDepth * 0.5;
  polylinePath(t, 16, cx - 300, cy - 300, cx + 300, cy + 300);  // a column
  t.add(75, "1");
  t.add(76, "1");
  if (!solid) {
    // ANSI31 at scale 50: lines at 45°, 158.75 apart.
    t.add(52, "0.0");
    t.add(41, "50.0");
    t.add(77, "0");
    t.add(78, "1");
    t.add(53, "45.0");
    t.add(43, "0.0");
    t.add(44, "0.0");
    t.add(45, real(-112.25));
    t.add(46, real(112.25));
    t.add(79, "0");
  }
  t.add(98, "0");
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return fail("usage: orv_bench_annotations TEXTS HATCHES OUT.dxf");
  long texts = 0, hatches = 0;
  for (auto [arg, out] : {std::pair{argv[1], &texts}, {argv[2], &hatches}}) {
    const char* end = arg + std::strlen(arg);
    if (std::from_chars(arg, end, *out).ptr != end || *out < 1 || *out > 100'000'000)
      return fail("TEXTS and HATCHES must be whole numbers from 1 to 100000000");
  }
  db::Database d = db::Database::newDrawing();
  for (auto [name, color] : {std::pair{"TEXT", 7}, {"HATCH", 8}, {"WALL", 1}}) {
    db::Layer layer;
    layer.name = name;
    layer.color = static_cast<std::int16_t>(color);
    if (!d.addLayer(layer)) return fail("cannot add the layers");
  }
  db::TextStyle chinese;
  chinese.name = "HZ";
  chinese.font = "gbenor.shx";
  chinese.bigFont = "gbcbig.shx";
  chinese.handle = d.newHandle();
  d.textStyles().add(chinese);
  const db::NameId textType = d.intern("TEXT"), hatchType = d.intern("HATCH");
  static const char* const kRooms[] = {"卧室", "客厅", "厨房", "卫生间", "阳台", "书房", "餐厅", "储藏间"};

  const long rooms = hatches;
  const long perRoom = std::max(1L, texts / rooms);
  const long columns = std::lround(std::ceil(std::sqrt(static_cast<double>(rooms))));
  long written = 0;
  for (long i = 0; i < rooms; ++i) {
    const double x = static_cast<double>(i % columns) * kRoomWidth;
    const double y = static_cast<double>(i / columns) * kRoomDepth;
    static constexpr int kFloors[] = {8, 9, 251, 252, 253, 254};  // greys the text shows on
    bool ok = addKept(d, hatchType, hatch(x, y, i % 3 == 0, kFloors[i % 6]));
    const long count = i + 1 == rooms ? texts - written : std::min(perRoom, texts - written);
    for (long k = 0; k < count && ok; ++k, ++written) {
      const double tx = x + 400 + static_cast<double>(k % 4) * 1300;
      const double ty = y + 600 + static_cast<double>(k / 4 % 6) * 600;
      std::string value;
      switch (k % 10) {
        case 0: value = kRooms[i % 8]; break;
        case 1: value = std::to_string(100 + i % 900); break;
        case 2:
          value = std::to_string(10 + i % 40);
          value += '.';
          value += std::to_string(i % 10);
          value += "m\xC2\xB2";
          break;
        case 3: value = 'M', value += std::to_string(1 + k % 3); break;
        case 4: value = 'C', value += std::to_string(2 + k % 4); break;
        default: value = std::to_string(600 + 30 * (k + i % 50)); break;
      }
      const bool cjk = k % 10 == 0;
      ok = addKept(d, textType, text(tx, ty, cjk ? 350 : 250, k % 7 == 6 ? 90 : 0, value, cjk ? "HZ" : "Standard",
                                     "TEXT", k % 10 == 1 ? 1 : 256));
    }
    if (!ok) return fail("the drawing refuses an entity");
  }
  const dxf::WriteResult r = dxf::saveDxfFile(d, argv[3]);
  if (!r) return fail(r.message);
  std::printf("%ld texts, %ld hatches\n", written, rooms);
  return 0;
}
