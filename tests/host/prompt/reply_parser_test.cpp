// Tests of reading numbers, whole numbers and points from typed replies.
#include "orv/prompt/reply_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv::prompt {
namespace {

TEST(ParseReal, readsDecimalAndExponentFormsWithSignAndBlanks) {
  EXPECT_EQ(parseReal("12"), 12.0);
  EXPECT_EQ(parseReal("-1.5"), -1.5);
  EXPECT_EQ(parseReal("+4E2"), 400.0);
  EXPECT_EQ(parseReal("1e-3"), 0.001);
  EXPECT_EQ(parseReal(".5"), 0.5);
  EXPECT_EQ(parseReal("2."), 2.0);
  EXPECT_EQ(parseReal("  7.25\t"), 7.25);
  EXPECT_EQ(parseReal("0.1"), 0.1);  // the nearest double, not an approximation of it
}

TEST(ParseReal, refusesWhatIsNotAFiniteDecimalNumber) {
  for (const char* text : {"", " ", ".", "-", "+", "e5", "1e", "1e+", "1.2.3", "1 2", "- 1",
                           "12abc", "1,5", "0x10", "0x1p3", "nan", "NaN", "-nan", "inf", "-inf",
                           "infinity", "1e999", "-1e999", "1e400000000000000000000", "++1",
                           "+-1", "１２"}) {
    EXPECT_EQ(parseReal(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(ParseReal, readsNumbersTooSmallForADoubleAsZeroOfTheirSign) {
  const auto tiny = parseReal("1e-999");
  ASSERT_TRUE(tiny);
  EXPECT_EQ(*tiny, 0.0);
  const auto negativeTiny = parseReal("-0.0000001e-400");
  ASSERT_TRUE(negativeTiny);
  EXPECT_EQ(*negativeTiny, 0.0);
  EXPECT_TRUE(std::signbit(*negativeTiny));
  // The smallest subnormal still reads as itself; zero with a huge exponent is zero.
  EXPECT_EQ(parseReal("5e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(parseReal("0e99999"), 0.0);
  // Large but representable, and a long mantissa with a small exponent.
  EXPECT_EQ(parseReal("1.7976931348623157e308"), std::numeric_limits<double>::max());
  EXPECT_EQ(parseReal("123456789012345678901234567890e-20"), 1234567890.1234567890123456789);
}

TEST(ParseReal, keepsTheSignOfNegativeZero) {
  const auto z = parseReal("-0");
  ASSERT_TRUE(z);
  EXPECT_EQ(*z, 0.0);
  EXPECT_TRUE(std::signbit(*z));
}

TEST(ParseInt, readsWholeNumbersInRange) {
  int v = 0;
  EXPECT_EQ(parseInt("0", v), IntParse::Ok);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(parseInt(" -32768 ", v), IntParse::Ok);
  EXPECT_EQ(v, -32768);
  EXPECT_EQ(parseInt("+32767", v), IntParse::Ok);
  EXPECT_EQ(v, 32767);
  EXPECT_EQ(parseInt("-0", v), IntParse::Ok);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(parseInt("000042", v), IntParse::Ok);
  EXPECT_EQ(v, 42);
}

TEST(ParseInt, tellsOutOfRangeFromNotAWholeNumber) {
  int v = 7;
  for (const char* text : {"32768", "-32769", "99999", "100000", "-123456789012345678901234"}) {
    EXPECT_EQ(parseInt(text, v), IntParse::OutOfRange) << text;
  }
  for (const char* text : {"", " ", "-", "1.0", "1.", "1e2", "12a", "1 2", "0x10", "nan", "--1"}) {
    EXPECT_EQ(parseInt(text, v), IntParse::NotInteger) << '"' << text << '"';
  }
  EXPECT_EQ(v, 7) << "a refused reply must leave the value alone";
}

TEST(ParsePoint, readsAbsolutePointsInTwoAndThreeDimensions) {
  const Point3 last{100, 200, 300};
  EXPECT_EQ(parsePoint("1,2", last), (Point3{1, 2, 0}));
  EXPECT_EQ(parsePoint("1,2,3", last), (Point3{1, 2, 3}));
  EXPECT_EQ(parsePoint(" -1.5 , 2e1 ,\t3 ", last), (Point3{-1.5, 20, 3}));
}

TEST(ParsePoint, readsPointsRelativeToTheLastPoint) {
  const Point3 last{100, 200, 300};
  EXPECT_EQ(parsePoint("@", last), last);
  EXPECT_EQ(parsePoint("  @  ", last), last);
  EXPECT_EQ(parsePoint("@10,-5", last), (Point3{110, 195, 300}));
  EXPECT_EQ(parsePoint("@ 10 , -5 , 1", last), (Point3{110, 195, 301}));
  EXPECT_EQ(parsePoint("@0,0", last), last);
}

TEST(ParsePoint, readsPolarPointsInDegreesCounterClockwise) {
  const Point3 last{1, 1, 5};
  // Quarter turns land exactly, not a rounding error away.
  EXPECT_EQ(parsePoint("@10<0", last), (Point3{11, 1, 5}));
  EXPECT_EQ(parsePoint("@10<90", last), (Point3{1, 11, 5}));
  EXPECT_EQ(parsePoint("@10<180", last), (Point3{-9, 1, 5}));
  EXPECT_EQ(parsePoint("@10<-90", last), (Point3{1, -9, 5}));
  EXPECT_EQ(parsePoint("@10<450", last), (Point3{1, 11, 5}));
  EXPECT_EQ(parsePoint("@ 2 < 270 ", last), (Point3{1, -1, 5}));

  const auto p = parsePoint("@2<45", last);
  ASSERT_TRUE(p);
  EXPECT_NEAR(p->x, 1 + std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(p->y, 1 + std::sqrt(2.0), 1e-12);
  EXPECT_EQ(p->z, 5);
  const auto q = parsePoint("@1<30", Point3{});
  ASSERT_TRUE(q);
  EXPECT_NEAR(q->x, std::sqrt(3.0) / 2, 1e-12);
  EXPECT_NEAR(q->y, 0.5, 1e-12);

  // Without "@" the distance runs from the origin.
  EXPECT_EQ(parsePoint("3<90", last), (Point3{0, 3, 0}));
}

TEST(ParsePoint, refusesMalformedPoints) {
  const Point3 last{1, 2, 3};
  for (const char* text : {"", " ", "1", "1,", ",1", "1,,2", "1,2,", "1,2,3,4", "1,2,3,4,5",
                           "1;2", "1 2", "1,2x", "a,b", "1,nan", "inf,0", "1e999,0", "@1",
                           "@,", "@1,", "@@1,2", "1,2@", "@10<", "@<90", "@10<90<5", "@1,2<3",
                           "@10<nan", "10<", "x@1,2", "1.2.3,4"}) {
    EXPECT_EQ(parsePoint(text, last), std::nullopt) << '"' << text << '"';
  }
}

TEST(ParsePoint, refusesPointsThatOverflowWhenAdded) {
  const Point3 last{1e308, 0, 0};
  EXPECT_EQ(parsePoint("@1e308,0", last), std::nullopt);
  EXPECT_EQ(parsePoint("@1e308<0", last), std::nullopt);
}

}  // namespace
}  // namespace orv::prompt
