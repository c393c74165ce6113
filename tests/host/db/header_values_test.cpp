// Header variables as kept, and the current colour, linetype and lineweight they give new
// entities: values no drawing may hold count as ByLayer.
#include <gtest/gtest.h>

#include "orv/db/header_values.h"

namespace orv::db {
namespace {

std::string codesAndValues(const HeaderVariables& h) {
  std::string out;
  for (RawTag t : h.others) out += std::to_string(t.code) + "=" + std::string(t.value) + " ";
  return out;
}

TEST(HeaderValues, aVariableIsReplacedWhereItStoodAndRemovedWithNoTags) {
  HeaderVariables h;
  setHeaderTags(h, "$LIMMIN", {{10, "0"}, {20, "0"}});
  setHeaderValue(h, "$CECOLOR", 62, "1");
  setHeaderTags(h, "$limmin", {{10, "5"}, {20, "6"}});  // any case names it
  EXPECT_EQ(codesAndValues(h), "9=$limmin 10=5 20=6 9=$CECOLOR 62=1 ");
  EXPECT_EQ(headerTags(h, "$LIMMIN"), (HeaderTags{{10, "5"}, {20, "6"}}));
  EXPECT_EQ(headerValue(h, "$CECOLOR"), "1");
  EXPECT_EQ(headerValue(h, "$CELTYPE"), std::nullopt);
  setHeaderTags(h, "$LIMMIN", {});
  EXPECT_EQ(codesAndValues(h), "9=$CECOLOR 62=1 ");
}

TEST(HeaderValues, theCurrentPropertiesReadAsAFileGivesThem) {
  const struct {
    const char* cecolor;  // null: none
    const char* celtype;
    const char* celweight;
    int color;
    const char* linetype;
    int lineweight;
  } cases[] = {
      {nullptr, nullptr, nullptr, 256, "ByLayer", -1},
      {" 1 ", "dashed", "35", 1, "DASHED", 35},
      {"0", "BYBLOCK", "-2", 0, "ByBlock", -2},
      {"256", "bylayer", "-3", 256, "ByLayer", -3},
      {"257", "NOSUCH", "17", 256, "ByLayer", -1},
      {"-1", "", "-4", 256, "ByLayer", -1},
      {"red", "Continuous", "2.5", 256, "Continuous", -1},
      {"1e3", "DASHED ", "99999", 256, "DASHED", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cecolor ? c.cecolor : "none");
    Database d = Database::newDrawing();
    if (c.cecolor) setHeaderValue(d.header, "$CECOLOR", 62, c.cecolor);
    if (c.celtype) setHeaderValue(d.header, "$CELTYPE", 6, c.celtype);
    if (c.celweight) setHeaderValue(d.header, "$CELWEIGHT", 370, c.celweight);
    Entity e(Line{{0, 0, 0}, {1, 0, 0}});
    giveCurrentColorAndLinetype(d, e);
    EXPECT_EQ(e.color, c.color);
    EXPECT_EQ(d.name(e.linetype), c.linetype);
    EXPECT_EQ(currentLineweight(d), c.lineweight);
    const ObjectId id = *d.append(e);
    EXPECT_TRUE(giveCurrentLineweight(d, id));
    EXPECT_EQ(d.entityExtras(id) != nullptr, c.lineweight != -1);
  }
}

}  // namespace
}  // namespace orv::db
