// Lengths and angles written in each of the drawing's unit formats.
#include "orv/core/units.h"

#include <gtest/gtest.h>

namespace orv::core {
namespace {

TEST(Units, lengthsAndAnglesInEveryFormatTheHeaderNames) {
  struct Length {
    int format, precision;
    double value;
    const char* text;
  } lengths[] = {
      {2, 4, 10, "10.0000"},      {2, 0, 2.5, "2"},         {2, 2, -0.001, "0.00"},  // no "-0.00"
      {1, 2, 1234.5, "1.23E+03"}, {3, 2, 30.25, "2'-6.25\""}, {4, 2, 30.25, "2'-6 1/4\""},
      {4, 1, 30.25, "2'-6 1/2\""}, {5, 3, 14.5, "14 1/2"},   {5, 2, 14.99, "15"},
      {4, 4, -13, "-1'-1\""},
  };
  for (const Length& c : lengths) {
    Units u;
    u.linear = c.format;
    u.linearPrecision = c.precision;
    EXPECT_EQ(formatLength(u, c.value), c.text) << c.format << " " << c.value;
  }
  struct Angle {
    int format, precision;
    double degrees;
    const char* text;
  } angles[] = {
      {0, 0, 53.13, "53"},        {0, 2, 53.13, "53.13"},     {0, 0, 359.7, "0"},  {0, 1, -90, "270.0"},
      {1, 0, 45.5, "46d"},        {1, 2, 45.5, "45d30'"},     {1, 4, 45.5125, "45d30'45\""},
      {2, 2, 90, "100.00g"},      {3, 4, 180, "3.1416r"},     {4, 0, 0, "E"},
      {4, 2, 135, "N 45d0' W"},   {4, 2, 300, "S 30d0' E"},
  };
  for (const Angle& c : angles) {
    Units u;
    u.angular = c.format;
    u.angularPrecision = c.precision;
    EXPECT_EQ(formatAngle(u, c.degrees), c.text) << c.format << " " << c.degrees;
  }
}

TEST(Units, readFromTheHeaderKeepingDefaultsForWhatIsMissingOrOutOfRange) {
  db::Database d = db::Database::newDrawing();
  for (auto [name, value] : {std::pair{"$LUNITS", "4"}, {"$LUPREC", "3"}, {"$AUNITS", "9"}, {"$AUPREC", "x"}}) {
    d.header.others.add(9, name);
    d.header.others.add(70, value);
  }
  const Units u = unitsOf(d);
  EXPECT_EQ(u.linear, 4);
  EXPECT_EQ(u.linearPrecision, 3);
  EXPECT_EQ(u.angular, 0);
  EXPECT_EQ(u.angularPrecision, 0);
  EXPECT_EQ(unitName(u), "毫米");
}

}  // namespace
}  // namespace orv::core
