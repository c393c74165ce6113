// Renaming and removing layers: what follows a renamed layer, what keeps a layer in the
// drawing, and undo and redo of both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::db {
namespace {

Entity on(Database& d, std::string_view layer, double x = 0) {
  Entity e(Line{{x, 0, 0}, {x + 1, 0, 0}});
  e.layer = d.intern(layer);
  return e;
}

void addLayers(Database& d, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    Layer l;
    l.name = n;
    ASSERT_TRUE(d.addLayer(l)) << n;
  }
}

// Every entity slot's layer name, every block's layer, the table and $CLAYER.
std::string snapshot(const Database& d) {
  std::string out;
  for (std::size_t b = 0; b < d.blockCount(); ++b) {
    const BlockDefinition& def = d.block(BlockId{static_cast<std::uint32_t>(b)});
    out += def.name + "@" + def.layer + "[";
    for (ObjectId id : def.entities) out += std::string(d.name(d.entity(id)->layer)) + (d.entity(id)->isErased() ? "x " : " ");
    out += "] ";
  }
  for (const Layer& l : d.layers()) out += l.name + "/" + std::to_string(l.color) + " ";
  return out + "current=" + d.header.currentLayer;
}

struct Drawing {
  Database d = Database::newDrawing();
  Drawing() {
    addLayers(d, {"DEFPOINTS", "PIPE", "WALL", "EMPTY", "BLOCKS", "GONE"});
    d.append(on(d, "PIPE", 1));
    d.append(on(d, "WALL", 2));
    d.appendRead(on(d, "pipe", 3), d.modelSpace(), 0, {});  // another spelling, as a file may have it
    const BlockId b = *d.addBlock("B", {});
    d.editBlock(b).layer = "BLOCKS";
    d.append(on(d, "PIPE", 4), b);
    const ObjectId erased = *d.append(on(d, "GONE", 5));
    d.erase(erased);
  }
};

TEST(LayerRename, refusesWhatCannotBeRenamed) {
  struct Case {
    const char* from;
    const char* to;
    Status expected;
  };
  const Case cases[] = {
      {"defpoints", "D", Status::invalidInput}, {"PIPE", "", Status::invalidInput},
      {"PIPE", "wall", Status::duplicateName},  {"PIPE", "PIPE", Status::ok},
  };
  for (const Case& c : cases) {
    Drawing w;
    const std::string before = snapshot(w.d);
    w.d.beginUndoGroup();
    EXPECT_EQ(w.d.renameLayer(*w.d.layers().find(c.from), c.to), c.expected) << c.from << " -> " << c.to;
    w.d.endUndoGroup();
    if (c.expected != Status::ok) {
      EXPECT_EQ(snapshot(w.d), before) << c.from << " -> " << c.to;
      EXPECT_EQ(w.d.undoGroupCount(), 0u) << "a refusal is no step";
    } else {
      EXPECT_TRUE(w.d.layers().get(c.to)) << c.to;
    }
  }
  Drawing w;
  EXPECT_EQ(w.d.renameLayer(w.d.layers().size(), "X"), Status::notFound);
}

TEST(LayerRename, everythingOnTheLayerFollowsAndUndoPutsItBack) {
  struct Case {
    const char* layer;
    const char* to;
    bool current;
    const char* expected;  // the snapshot after the renaming
  };
  const Case cases[] = {
      {"PIPE", "pipe", true,
       "*Model_Space@0[pipe WALL pipe GONEx ] *Paper_Space@0[] B@BLOCKS[pipe ] 0/7 DEFPOINTS/7 pipe/7 WALL/7 "
       "EMPTY/7 BLOCKS/7 GONE/7 current=pipe"},
      {"blocks", "BLK", false,
       "*Model_Space@0[PIPE WALL pipe GONEx ] *Paper_Space@0[] B@BLK[PIPE ] 0/7 DEFPOINTS/7 PIPE/7 WALL/7 "
       "EMPTY/7 BLK/7 GONE/7 current=0"},
      {"GONE", "G2", true,
       "*Model_Space@0[PIPE WALL pipe G2x ] *Paper_Space@0[] B@BLOCKS[PIPE ] 0/7 DEFPOINTS/7 PIPE/7 WALL/7 "
       "EMPTY/7 BLOCKS/7 G2/7 current=G2"},
  };
  for (const Case& c : cases) {
    Drawing w;
    if (c.current) {
      ASSERT_EQ(w.d.setCurrentLayer(c.layer), Status::ok);
    }
    const std::string before = snapshot(w.d);
    w.d.beginUndoGroup();
    ASSERT_EQ(w.d.renameLayer(*w.d.layers().find(c.layer), c.to), Status::ok) << c.layer;
    w.d.endUndoGroup();
    EXPECT_EQ(snapshot(w.d), c.expected) << c.layer;
    EXPECT_EQ(w.d.layers().get(c.layer) != nullptr, db::foldName(c.layer) == db::foldName(c.to)) << c.layer;
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(w.d.undo(), Status::ok);
      EXPECT_EQ(snapshot(w.d), before) << c.layer << " undone";
      ASSERT_EQ(w.d.redo(), Status::ok);
      EXPECT_EQ(snapshot(w.d), c.expected) << c.layer << " redone";
    }
  }
}

TEST(LayerRemove, onlyAnUnusedLayerGoesAndUndoPutsItBackInItsPlace) {
  using Use = Database::LayerUse;
  struct Case {
    const char* layer;
    const char* current;
    Use use;
  };
  const Case cases[] = {
      {"DEFPOINTS", "0", Use::fixed}, {"EMPTY", "empty", Use::current}, {"pipe", "WALL", Use::entities},
      {"BLOCKS", "0", Use::blocks},   {"EMPTY", "0", Use::unused},
      {"GONE", "0", Use::unused},  // only an erased entity on it
  };
  for (const Case& c : cases) {
    Drawing w;
    ASSERT_EQ(w.d.setCurrentLayer(c.current), Status::ok);
    const std::size_t i = *w.d.layers().find(c.layer);
    EXPECT_EQ(w.d.layerUse(i), c.use) << c.layer;
    const std::string before = snapshot(w.d);
    w.d.beginUndoGroup();
    const Status st = w.d.removeLayer(i);
    w.d.endUndoGroup();
    if (c.use != Use::unused) {
      EXPECT_EQ(st, Status::invalidInput) << c.layer;
      EXPECT_EQ(snapshot(w.d), before) << c.layer;
      continue;
    }
    ASSERT_EQ(st, Status::ok) << c.layer;
    const std::string after = snapshot(w.d);
    EXPECT_FALSE(w.d.layers().get(c.layer));
    ASSERT_EQ(w.d.layers().size(), 6u);
    for (std::size_t k = 0; k < w.d.layers().size(); ++k)
      EXPECT_EQ(w.d.layers().find(w.d.layers()[k].name), k) << "the layers after it move up, found there";
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(w.d.undo(), Status::ok);
      EXPECT_EQ(snapshot(w.d), before) << c.layer;
      EXPECT_EQ(w.d.layers().find(c.layer), i) << c.layer;
      ASSERT_EQ(w.d.redo(), Status::ok);
      EXPECT_EQ(snapshot(w.d), after) << c.layer;
    }
  }
  Drawing w;
  EXPECT_EQ(w.d.removeLayer(w.d.layers().size()), Status::notFound);
}

}  // namespace
}  // namespace orv::db
