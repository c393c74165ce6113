// Builds the sample drawing used by the writer tests and by the ezdxf check.
#include "sample_drawing.h"

#include <cstdlib>

namespace orv::dxf::testing {

namespace {

template <class T>
T must(db::Result<T> r) {
  if (!r) std::abort();
  return *r;
}

// A 4 x 2 pixel, 1 bit per pixel bitmap without file header.
std::vector<std::uint8_t> tinyBitmap() {
  std::vector<std::uint8_t> b = {40, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0,
                                 0,  0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 2,  0, 0, 0, 2, 0, 0, 0};
  for (std::uint8_t c : {0, 0, 0, 0, 255, 255, 255, 0}) b.push_back(c);
  for (std::uint8_t c : {0x90, 0, 0, 0, 0x60, 0, 0, 0}) b.push_back(c);
  return b;
}

}  // namespace

db::Database sampleDrawing() {
  db::Database d = db::Database::newDrawing();
  db::Layer pipe;
  pipe.name = "管道";
  pipe.color = 1;
  pipe.linetype = "CENTER";
  must(d.addLayer(pipe));
  const db::NameId pipeLayer = d.intern("管道");

  const db::BlockId wheel = must(d.addBlock("手轮", {0, 0, 0}));
  db::Entity rim(db::Circle{{0, 0, 0}, 5.0});
  rim.color = db::color::byBlock;
  must(d.append(rim, wheel));

  const db::BlockId valve = must(d.addBlock("阀门", {0, 0, 0}));
  d.editBlock(valve).preview = tinyBitmap();
  db::Polyline body;
  body.addVertex({0, -109.5});
  body.addVertex({300, 109.5});
  body.addVertex({300, -109.5});
  body.addVertex({0, 109.5});
  body.setClosed(true);
  must(d.append(db::Entity(body), valve));
  must(d.append(db::Entity(db::BlockReference{wheel, {150, 0, 0}}), valve));

  db::Entity line(db::Line{{0, 0, 0}, {1000.25, 0, 0}});
  line.layer = pipeLayer;
  line.linetype = d.intern("DASHED");
  line.color = 3;
  must(d.append(line));

  db::Entity arc(db::Arc{{100, 100, 0}, 75.0, 180.0, 270.0});
  arc.color = 1;
  must(d.append(arc));

  db::Entity circle(db::Circle{{50, 60, 0}, 0.1});
  circle.linetype = d.intern("HIDDEN");
  must(d.append(circle));

  db::Polyline bent;
  bent.addVertex({0, 0}, 0.41421356237309503, 1.0, 2.0);
  bent.addVertex({100, 0});
  bent.addVertex({100, 100}, -1.0);
  bent.setClosed(true);
  db::Entity bentEntity(bent);
  bentEntity.color = 256;
  bentEntity.linetype = d.intern("ByBlock");
  must(d.append(bentEntity));

  db::Polyline straight;
  straight.addVertex({1e-7, -3.5e20});
  straight.addVertex({0.1, 1.0 / 3.0});
  db::Entity straightEntity(straight);
  straightEntity.layer = pipeLayer;
  straightEntity.color = 5;
  must(d.append(straightEntity));

  must(d.append(db::Entity(db::BlockReference{valve, {0, 0, 0}})));
  db::Entity placed(db::BlockReference{valve, {600, 0, 0}, 2.0, 100.0 / 219.0, 1.0, 90.0});
  placed.layer = pipeLayer;
  placed.color = 2;
  must(d.append(placed));
  d.thumbnail = tinyBitmap();
  return d;
}

}  // namespace orv::dxf::testing
