// Reading on two threads gives what reading on one gives: the same drawing, findings, errors and line numbers, whatever the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "dxf_test_util.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/tags.h"
#include "orv/dxf/writer.h"

namespace orv::dxf {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// What a reading gave, as one text: equal texts, equal results.
std::string outcome(const ReadResult& r) {
  std::string s = "error: " + r.error + "\nline " + std::to_string(r.errorLine) + ": " + r.errorReason + "\n";
  for (const Finding& f : r.findings) s += std::to_string(f.line) + ": " + f.message + "\n";
  if (r.ok()) s += writeDxfToString(*r.drawing);
  return s;
}

ReadOptions oneThread() {
  ReadOptions o;
  o.split = ReadOptions::Split::never;
  return o;
}

// The section read in two parts, the second from `at` of what is left of the file.
ReadOptions twoParts(double at) {
  ReadOptions o;
  o.split = ReadOptions::Split::always;
  o.splitAt = at;
  return o;
}

void expectSameOutcome(const std::string& two, const std::string& one) {
  // The first difference, rather than two whole files.
  std::size_t at = 0;
  while (at < one.size() && at < two.size() && one[at] == two[at]) ++at;
  EXPECT_EQ(two.substr(at > 200 ? at - 200 : 0, 400), one.substr(at > 200 ? at - 200 : 0, 400));
}

// Every way of reading on two threads (tags handed over one at a time, a few, many; the
// section read in two parts split at a few places) against reading on one.
void expectSameOnTwoThreads(std::string_view bytes, const std::string& what) {
  SCOPED_TRACE(what);
  const std::string one = outcome(readDxf(bytes, oneThread()));
  for (std::size_t handOver : {1u, 3u, 7u, 2048u}) {
    SCOPED_TRACE(handOver);
    expectSameOutcome(outcome(readDxf(bytes, {ReadOptions::Threads::two, handOver, ReadOptions::Split::never})), one);
  }
  for (double at : {0.3, 0.6}) {
    SCOPED_TRACE(at);
    expectSameOutcome(outcome(readDxf(bytes, twoParts(at))), one);
  }
}

std::vector<fs::path> filesIn(const fs::path& folder, const std::string& extension) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.path().extension() == extension) out.push_back(entry.path());
  std::sort(out.begin(), out.end());
  return out;
}

const fs::path kRoot = fs::path(ORV_TEST_DATA_DIR) / ".." / ".." / ".." / "..";

TEST(TwoThreads, theExamplesAndTheFuzzersInputsReadAsOnOneThread) {
  std::vector<fs::path> files = filesIn(ORV_TEST_DATA_DIR, ".dxf");
  for (const char* folder : {"fuzz/corpus/dxf_reader", "fuzz/regressions/dxf_reader"})
    for (const fs::path& p : filesIn(kRoot / folder, ".dxf")) files.push_back(p);
  // The drawings the writing programs made of the DWG samples, where they are.
  for (const fs::path& p : filesIn(kRoot / ".." / "shared" / "dwg-samples", ".dxf")) files.push_back(p);
  ASSERT_GE(files.size(), 20u);
  for (const fs::path& p : files) expectSameOnTwoThreads(readFile(p.string()), p.filename().string());
}

TEST(TwoThreads, filesCutOrDamagedInTheirEntitiesFailAtTheSameLine) {
  const std::string whole = example("reference_r2000_cn.dxf");
  const std::size_t entities = whole.find("ENTITIES");
  ASSERT_NE(entities, std::string::npos);
  const std::size_t end = whole.find("ENDSEC", entities);
  // Cut at many places of the section, some in the middle of a line.
  for (std::size_t cut = entities; cut < end; cut += (end - entities) / 37 + 1)
    expectSameOnTwoThreads(std::string_view(whole).substr(0, cut), "cut at " + std::to_string(cut));
  struct Damage {
    const char* what;
    const char* from;  // the first of these after the section's start is replaced
    const char* to;
  };
  // The example's lines end in CR LF.
  const Damage damages[] = {
      {"a code that is no number", "\n 10\r\n", "\n1x\r\n"},
      {"a real that is no number", "\n 20\r\n", "\n 20\r\nnot a number\r\n 21\r\n"},
      {"a code out of range", "\n  8\r\n", "\n99999\r\n"},
      {"a code line with blanks after it", "\n 10\r\n", "\n 10  \r\n"},
      {"a line ending in two carriage returns", "\n 10\r\n", "\n 10\r\r\n"},
  };
  for (const Damage& d : damages) {
    std::string damaged = whole;
    const std::size_t at = damaged.find(d.from, entities);
    ASSERT_LT(at, end) << d.what;
    damaged.replace(at, std::strlen(d.from), d.to);
    expectSameOnTwoThreads(damaged, d.what);
  }
}

// A long drawing of every kind: modeled entities, entities kept as read whose tags run
// over several hand-overs (read again from their start), blocks referenced before they
// are defined.
TEST(TwoThreads, aLongDrawingOfKeptAndModeledEntitiesReadsAsOnOneThread) {
  std::string entities;
  for (int i = 0; i < 400; ++i) {
    const std::string n = std::to_string(i);
    entities += tags({{0, "LINE"}, {5, "1" + n}, {8, "L" + std::to_string(i % 3)}, {10, n + ".25"}, {20, "-" + n},
                      {11, "1e3"}, {21, " 7 "}, {0, "LWPOLYLINE"}, {8, "0"}, {90, "2"}, {10, "0.1"}, {20, "0.2"},
                      {42, "0.5"}, {10, n}, {20, "+3"}});
    if (i % 7 == 0) {
      std::string spline = tags({{0, "SPLINE"}, {8, "0"}, {100, "AcDbEntity"}, {100, "AcDbSpline"}, {70, "8"},
                                 {71, "3"}, {72, "30"}, {73, "26"}});
      for (int k = 0; k < 30; ++k) spline += tags({{40, std::to_string(k)}});
      for (int k = 0; k < 26; ++k) spline += tags({{10, std::to_string(k)}, {20, std::to_string(k * k)}, {30, "0"}});
      entities += spline;
    }
    if (i % 50 == 0) entities += tags({{0, "INSERT"}, {8, "0"}, {2, "LATER"}, {10, n}, {20, "0"}});
  }
  const std::string blocks = tags({{0, "BLOCK"}, {8, "0"}, {2, "LATER"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                                   {3, "LATER"}, {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "1"},
                                   {0, "ENDBLK"}, {8, "0"}});
  const std::string file = header() + tags({{0, "SECTION"}, {2, "ENTITIES"}}) + entities +
                           tags({{0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}}) + blocks +
                           tags({{0, "ENDSEC"}, {0, "EOF"}});
  expectSameOnTwoThreads(fileWith(entities, blocks), "whole");
  expectSameOnTwoThreads(file, "with a block section after the entities");
  ReadResult r = readDxf(fileWith(entities, blocks), {ReadOptions::Threads::two, 5});
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(entitiesOf(*r.drawing, r.drawing->modelSpace()).size(), 400u * 2 + 58 + 8);
}

// A drawing read in two parts split at many places: inside an entity, at one, inside an
// old-style polyline's vertices, in a reference's attributes, among layers the tables
// do not name, with handles missing, and in a second part with a finding to tell. Each
// gives what reading on one thread gives; where nothing stops the second reader its
// entities are taken whole.
TEST(TwoThreads, aDrawingReadInTwoPartsIsTheDrawingReadOnOneThread) {
  std::string entities;
  for (int i = 0; i < 300; ++i) {
    const std::string n = std::to_string(i);
    // Every tenth line without a handle: it is given one.
    entities += tags({{0, "LINE"}}) + (i % 10 == 3 ? "" : tags({{5, std::to_string(0x100 + i * 8)}})) +
                tags({{8, i > 150 ? "LATE" + std::to_string(i % 4) : "0"}, {62, std::to_string(i % 7)},
                      {10, n}, {20, "1"}, {11, n + ".5"}, {21, "2"}});
    if (i % 40 == 5)
      entities += tags({{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {70, "8"}, {0, "VERTEX"}, {8, "0"}, {10, n},
                        {20, "0"}, {30, "1"}, {70, "32"}, {0, "VERTEX"}, {8, "V"}, {10, "1"}, {20, n}, {30, "2"},
                        {70, "32"}, {0, "SEQEND"}, {8, "0"}});
    if (i % 60 == 7)
      entities += tags({{0, "INSERT"}, {8, "0"}, {66, "1"}, {2, "B"}, {10, n}, {20, "0"}, {0, "ATTRIB"}, {8, "0"},
                        {10, "0"}, {20, "0"}, {40, "2.5"}, {1, "V" + n}, {2, "TAG"}, {70, "0"}, {0, "SEQEND"},
                        {8, "0"}});
    if (i % 90 == 11) entities += tags({{0, "WHATEVER"}, {8, "0"}, {1, "kept as read"}, {10, n}});
  }
  const std::string blocks = tags({{0, "BLOCK"}, {8, "0"}, {2, "B"}, {70, "2"}, {10, "0"}, {20, "0"}, {30, "0"},
                                   {3, "B"}, {0, "ATTDEF"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "2.5"},
                                   {1, ""}, {3, "?"}, {2, "TAG"}, {70, "0"}, {0, "ENDBLK"}, {8, "0"}});
  const std::string file = fileWith(entities, blocks);
  const ReadResult oneRead = readDxf(file, oneThread());
  ASSERT_TRUE(oneRead.ok());
  EXPECT_EQ(oneRead.entitiesReadApart, 0u);
  const std::size_t oneSlots = oneRead.drawing->entitySlotCount();
  const std::string one = outcome(oneRead);
  // A colour out of range near the end: the second reader gives up, the first says it.
  std::string told = file;
  told.replace(told.rfind("\n62\n") + 4, 1, "999\n62\n3");
  const std::string toldOne = outcome(readDxf(told, oneThread()));
  ASSERT_NE(toldOne.find("超出范围"), std::string::npos);
  std::size_t taken = 0;
  for (int k = 1; k < 40; ++k) {
    const double at = k / 40.0;
    SCOPED_TRACE(at);
    const ReadResult r = readDxf(file, twoParts(at));
    expectSameOutcome(outcome(r), one);
    ASSERT_TRUE(r.ok());
    if (r.entitiesReadApart > 0) ++taken;
    EXPECT_EQ(r.drawing->entitySlotCount(), oneSlots);  // no slot is left unfilled
    expectSameOutcome(outcome(readDxf(told, twoParts(at))), toldOne);
  }
  EXPECT_GE(taken, 20u);
}

TEST(TwoThreads, theReadAheadGivesTheTagsMarksAndNumbersOfTheTokenizer) {
  const std::string text = " 10\n1.5\n999\ncomment\n  0\nLINE\n 20\n-2.25\n 70\n7\n";
  Tokenizer plain(text), ahead(text);
  ASSERT_TRUE(ahead.startReadAhead(2));
  std::vector<Tokenizer::Mark> marks;
  Tag a, b;
  for (;;) {
    marks.push_back(plain.mark());
    EXPECT_EQ(ahead.mark().offset, marks.back().offset);
    const Tokenizer::Step sa = plain.next(a), sb = ahead.next(b);
    ASSERT_EQ(sa, sb);
    if (sa != Tokenizer::Step::tag) break;
    EXPECT_EQ(std::tie(a.code, a.value, a.line), std::tie(b.code, b.value, b.line));
    double x = 0, y = 0;
    EXPECT_EQ(parseDouble(a.value, x), parseDouble(b.value, y));
    EXPECT_EQ(x, y);
    // The number parsed ahead is that of the whole value only: a part of it is parsed.
    if (b.code == 20) {
      EXPECT_TRUE(parseDouble(b.value.substr(0, b.value.size() - 1), y));
      EXPECT_EQ(y, -2.2);
    }
  }
  // Back to the third tag, then on: the same tags again.
  plain.seek(marks[2]);
  ahead.seek(marks[2]);
  ASSERT_EQ(plain.next(a), Tokenizer::Step::tag);
  ASSERT_EQ(ahead.next(b), Tokenizer::Step::tag);
  EXPECT_EQ(b.value, "LINE");
  EXPECT_EQ(a.line, b.line);
  ahead.pushBack();
  ahead.stopReadAhead();
  ASSERT_EQ(ahead.next(b), Tokenizer::Step::tag);
  EXPECT_EQ(b.value, "LINE");
  ASSERT_EQ(ahead.next(b), Tokenizer::Step::tag);
  EXPECT_EQ(b.value, "-2.25");
}

}  // namespace
}  // namespace orv::dxf
