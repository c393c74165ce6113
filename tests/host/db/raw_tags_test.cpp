// Tags kept verbatim: every code and value comes back as it went in, in order, whatever
// its size, and lists compare by content.
#include "orv/db/raw_tags.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace orv::db {
namespace {

struct Case {
  int code;
  std::uint8_t slot;
  std::string value;
};

std::vector<Case> listed(const RawTags& tags) {
  std::vector<Case> out;
  for (RawTag t : tags) out.push_back({t.code, t.slot, std::string(t.value)});
  return out;
}

TEST(RawTags, giveBackEveryCodeSlotAndValueInOrder) {
  const std::vector<Case> cases = {
      {0, 0, "LINE"},  {-1, 0, "7F"},  {-5, 3, ""},           {5, 0, "2A"},          {63, 255, "x"},
      {64, 1, "y"},    {-64, 0, "z"},  {-65, 0, "w"},         {330, 10, "1F"},       {1071, 2, "12"},
      {8191, 0, "a"},  {8192, 0, "b"}, {INT_MAX, 0, "max"},   {INT_MIN, 0, "min"},   {1000, 0, "中文"},
      {1, 0, std::string(127, 'p')},  {1, 0, std::string(128, 'q')}, {3, 0, std::string(16'384, 'r')},
      {7, 4, std::string("a\0b", 3)},
  };
  RawTags tags;
  for (const Case& c : cases) tags.add(c.code, c.value, c.slot);
  ASSERT_EQ(tags.size(), cases.size());
  const std::vector<Case> back = listed(tags);
  ASSERT_EQ(back.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back[i].code, cases[i].code);
    EXPECT_EQ(back[i].slot, cases[i].slot);
    EXPECT_EQ(back[i].value, cases[i].value);
  }
  EXPECT_TRUE(tags.hasSlot(255));
  EXPECT_FALSE(tags.hasSlot(9));

  // Appended lists read on as one; equal content compares equal, any difference not.
  RawTags first, second, whole;
  for (std::size_t i = 0; i < cases.size(); ++i) (i < 7 ? first : second).add(cases[i].code, cases[i].value, cases[i].slot);
  for (const Case& c : cases) whole.add(c.code, c.value, c.slot);
  first.append(second);
  EXPECT_EQ(first.size(), cases.size());
  EXPECT_TRUE(first == whole);
  EXPECT_TRUE(whole == tags);
  RawTags other = whole;
  other.add(0, "");
  EXPECT_FALSE(other == whole);
  RawTags slotDiffers, codeDiffers;
  slotDiffers.add(8, "0", 1);
  codeDiffers.add(9, "0", 0);
  RawTags plain;
  plain.add(8, "0", 0);
  EXPECT_FALSE(plain == slotDiffers);
  EXPECT_FALSE(plain == codeDiffers);
  plain.clear();
  EXPECT_TRUE(plain.empty());
  EXPECT_EQ(plain.begin(), plain.end());
}

}  // namespace
}  // namespace orv::db
