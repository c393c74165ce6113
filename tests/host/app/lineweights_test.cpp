// The current lineweight and the lineweight display as a drawing's header holds them,
// however a file wrote them.
#include <gtest/gtest.h>

#include <string>

#include "lineweights.h"
#include "orv/core/drafting_styles.h"
#include "property_commands.h"

namespace orv::app {
namespace {

TEST(Lineweights, aHeaderValueNoDrawingMayHoldIsByLayerAndOff) {
  const struct {
    const char* celweight;  // null: none
    std::int16_t current;
    const char* lwdisplay;
    bool shown;
  } cases[] = {
      {nullptr, -1, nullptr, false}, {"35", 35, "1", true},     {"-2", -2, "0", false},     {"-3", -3, " 1 ", true},
      {"-4", -1, "2", true},         {"17", -1, "abc", false},  {"abc", -1, "1e400", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.celweight ? c.celweight : "none");
    db::Database d = db::Database::newDrawing();
    if (c.celweight) core::setHeaderValue(d.header, "$CELWEIGHT", 370, c.celweight);
    if (c.lwdisplay) core::setHeaderValue(d.header, "$LWDISPLAY", 290, c.lwdisplay);
    EXPECT_EQ(currentLineweight(d), c.current);
    EXPECT_EQ(lineweightDisplay(d), c.shown);
    // A new entity gets what the header says, and nothing when that is ByLayer.
    const db::ObjectId id = *d.append(db::Entity(db::Line{{0, 0, 0}, {1, 0, 0}}));
    EXPECT_TRUE(giveCurrentLineweight(d, id));
    EXPECT_EQ(propertiesOf(d, id).lineweight, c.current);
    EXPECT_EQ(d.entityExtras(id) != nullptr, c.current != -1);
  }
}

}  // namespace
}  // namespace orv::app
