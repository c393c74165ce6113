// The entity store's array: elements that never move, found by index across its chunks,
// each destroyed once.
#include "orv/db/stable_vector.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace orv::db {
namespace {

// As large as an entity, and counting its lives.
struct Counted {
  static inline int alive = 0;
  explicit Counted(std::uint64_t v) : value(v) { ++alive; }
  Counted(Counted&& other) noexcept : value(other.value) { ++alive; }
  ~Counted() { --alive; }
  std::uint64_t value;
  std::array<std::uint64_t, 11> padding{};
};

TEST(StableVector, findsEveryElementByIndexAcrossChunks) {
  StableVector<std::uint32_t> v;
  for (std::uint32_t i = 0; i < 300'000; ++i) v.push_back(i * 7u);
  ASSERT_EQ(v.size(), 300'000u);
  for (std::uint32_t i = 0; i < 300'000; ++i) ASSERT_EQ(v[i], i * 7u) << i;
}

TEST(StableVector, elementsStayWhereTheyWereAsItGrows) {
  StableVector<Counted> v;
  std::vector<const Counted*> first;
  for (std::uint64_t i = 0; i < 200; ++i) first.push_back(&v.emplace_back(i));
  // Far enough for chunks of several megabytes, which come from the system.
  for (std::uint64_t i = 200; i < 150'000; ++i) v.emplace_back(i);
  for (std::uint64_t i = 0; i < 200; ++i) {
    EXPECT_EQ(&v[i], first[i]);
    EXPECT_EQ(first[i]->value, i);
  }
  for (std::uint64_t i = 0; i < v.size(); i += 997) EXPECT_EQ(v[i].value, i);
  EXPECT_EQ(v[149'999].value, 149'999u);
}

TEST(StableVector, destroysEachElementOnceWhenMovedAndReleased) {
  Counted::alive = 0;
  {
    StableVector<Counted> a;
    for (std::uint64_t i = 0; i < 70'000; ++i) a.emplace_back(i);
    EXPECT_EQ(Counted::alive, 70'000);
    StableVector<Counted> b(std::move(a));
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(b[69'999].value, 69'999u);
    StableVector<Counted> c;
    c.emplace_back(1);
    c = std::move(b);  // c's own element goes
    EXPECT_EQ(Counted::alive, 70'000);
    a.emplace_back(5);  // a moved-from array is empty and usable
    EXPECT_EQ(a[0].value, 5u);
  }
  EXPECT_EQ(Counted::alive, 0);
}

}  // namespace
}  // namespace orv::db
