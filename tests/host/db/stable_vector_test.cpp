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

// A run made apart is taken over where a full chunk begins, numbered on from the taker's
// last element with no element made in between, whatever the taker held: nothing, a few,
// a partial full chunk, exactly a full chunk; a second run taken over after it.
TEST(StableVector, aRunIsTakenOverWithoutMovingItsElements) {
  constexpr std::uint64_t kFilled = 1'000'000'000;
  const auto makeRun = [](std::uint64_t from, std::uint64_t count) {
    StableVector<Counted> run = StableVector<Counted>::run();
    for (std::uint64_t i = 0; i < count; ++i) run.emplace_back(from + i);
    return run;
  };
  for (std::uint64_t held : {0u, 3u, 65'471u, 65'472u, 70'000u, 131'008u, 200'000u}) {
    SCOPED_TRACE(held);
    Counted::alive = 0;
    {
      StableVector<Counted> v, run = makeRun(held, 140'000);
      for (std::uint64_t i = 0; i < held; ++i) v.emplace_back(i);
      const Counted* firstOfRun = &run[run.first()];
      const Counted* lastOfRun = &run[run.size() - 1];
      EXPECT_EQ(v.takeOver(std::move(run), [](std::size_t) { return Counted(kFilled); }), held);
      EXPECT_EQ(v.size(), held + 140'000);
      EXPECT_EQ(&v[held], firstOfRun);
      EXPECT_EQ(&v[held + 139'999], lastOfRun);
      for (std::uint64_t i = 0; i < v.size(); i += 7) ASSERT_EQ(v[i].value, i);
      EXPECT_EQ(run.size(), 0u);
      EXPECT_EQ(Counted::alive, static_cast<int>(v.size()));
      // It grows on after the run, and gives back what it made ahead and did not use.
      for (std::uint64_t i = 0; i < 70'000; ++i) v.emplace_back(held + 140'000 + i);
      v.trim();
      EXPECT_EQ(v[v.size() - 1].value, v.size() - 1);
      v.emplace_back(v.size());  // past what was given back: it reads as new memory
      EXPECT_EQ(v[v.size() - 1].value, v.size() - 1);
      // A second run: this time the slots before it are filled.
      const std::size_t before = v.size();
      run = makeRun(0, 1'000);
      const std::size_t at = v.takeOver(std::move(run), [](std::size_t) { return Counted(kFilled); });
      ASSERT_GE(at, before);
      EXPECT_LT(at - before, 65'536u);
      EXPECT_EQ(v.size(), at + 1'000);
      for (std::uint64_t i = before; i < at; ++i) ASSERT_EQ(v[i].value, kFilled);
      EXPECT_EQ(v[at + 999].value, 999u);
      EXPECT_EQ(v[held + 139'999].value, held + 139'999);
      EXPECT_EQ(Counted::alive, static_cast<int>(v.size()));
      // Moved whole, gap and all.
      StableVector<Counted> w(std::move(v));
      EXPECT_EQ(w[held].value, held);
      EXPECT_EQ(w[before - 1].value, before - 1);
    }
    EXPECT_EQ(Counted::alive, 0);
  }
}

}  // namespace
}  // namespace orv::db
