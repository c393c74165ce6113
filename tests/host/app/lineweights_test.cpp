// The lineweight display as a drawing's header holds it, however a file wrote it (the
// current lineweight is read where the other current properties are).
#include <gtest/gtest.h>

#include <string>

#include "lineweights.h"
#include "orv/core/drafting_styles.h"

namespace orv::app {
namespace {

TEST(Lineweights, theDisplayIsOnOnlyForANumberOtherThanZero) {
  const struct {
    const char* lwdisplay;  // null: none
    bool shown;
  } cases[] = {{nullptr, false}, {"1", true}, {"0", false}, {" 1 ", true}, {"2", true}, {"abc", false}, {"1e400", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lwdisplay ? c.lwdisplay : "none");
    db::Database d = db::Database::newDrawing();
    if (c.lwdisplay) core::setHeaderValue(d.header, "$LWDISPLAY", 290, c.lwdisplay);
    EXPECT_EQ(lineweightDisplay(d), c.shown);
  }
}

}  // namespace
}  // namespace orv::app
