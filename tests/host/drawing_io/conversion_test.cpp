// The DWG converter's outcomes, judged from its report and its end, and met for real
// through a fake converter script: each way it can fail gives its error, never a drawing.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "orv/io/drawing_file.h"
#include "orv/io/dwg_converter.h"

namespace fs = std::filesystem;
using orv::io::OpenError;
using orv::io::ProcessEnd;
using K = OpenError::Kind;

namespace {

TEST(JudgeConversion, givesEachDrawingAnOutcomeWhateverTheProcessDid) {
  struct Case {
    const char* what;
    ProcessEnd end;
    std::vector<K> kinds;  // for two drawings
    long long firstCode = 0;
  };
  using H = ProcessEnd::How;
  const Case cases[] = {
      {"both written", {H::exited, 0, "ok 0\nok 1\n", ""}, {K::none, K::none}},
      {"reports in any order, CRLF", {H::exited, 0, "ok 1\r\nok 0\r\n", ""}, {K::none, K::none}},
      {"one damaged", {H::exited, 0, "fail 0 2048 critical\nok 1\n", ""}, {K::damagedDwg, K::none}, 2048},
      {"not a DWG after all", {H::exited, 0, "fail 0 0 notdwg\nok 1\n", ""}, {K::notDrawing, K::none}},
      {"crashed after the first", {H::signalled, SIGSEGV, "ok 0\n", ""}, {K::none, K::converterSignal}},
      {"crashed at once", {H::signalled, SIGABRT, "", ""}, {K::converterSignal, K::converterSignal}, SIGABRT},
      {"exit status", {H::exited, 7, "", ""}, {K::converterExit, K::converterExit}, 7},
      {"module missing", {H::exited, 3, "", ""}, {K::libraryMissing, K::libraryMissing}},
      {"node missing", {H::notStarted, ENOENT, "", ""}, {K::converterMissing, K::converterMissing}, ENOENT},
      {"timed out", {H::timedOut, 0, "ok 0\n", ""}, {K::none, K::converterTimeout}},
      {"over memory", {H::overMemory, 0, "", ""}, {K::converterMemory, K::converterMemory}, 64},
      {"silent success", {H::exited, 0, "", ""}, {K::converterOutput, K::converterOutput}},
      {"a report cut off is none", {H::exited, 0, "ok 0\nok 1", ""}, {K::none, K::converterOutput}},
      {"garbage lines", {H::exited, 0, "ok\nok -1\nok 2\nok 1 extra\nfail 1 x critical\nOK 1\n\n", ""},
       {K::converterOutput, K::converterOutput}},
      {"the first report counts", {H::exited, 0, "ok 0\nfail 0 2048 critical\nok 1\n", ""}, {K::none, K::none}},
      {"huge numbers", {H::exited, 0, "ok 99999999999999999999\nok 0\nok 1\n", ""}, {K::none, K::none}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto judged = orv::io::judgeConversion(c.end, 2, 30, 64);
    ASSERT_EQ(judged.size(), 2u);
    EXPECT_EQ(judged[0].error.kind, c.kinds[0]);
    EXPECT_EQ(judged[1].error.kind, c.kinds[1]);
    if (c.firstCode) {
      EXPECT_EQ(judged[0].error.code, c.firstCode);
    }
  }
}

TEST(JudgeOutput, wantsSomethingThatStartsLikeDxf) {
  EXPECT_FALSE(orv::io::judgeOutput("  0\r\nSECTION\r\n", 100));
  EXPECT_EQ(orv::io::judgeOutput("", 0).detail, "empty");
  EXPECT_EQ(orv::io::judgeOutput("<html>", 6).detail, "notdxf");
  EXPECT_EQ(orv::io::judgeOutput("AC1015", 6).detail, "notdxf");
}

// A converter that does what its first argument says, with IN OUT pairs after it.
constexpr const char* kFakeConverter = R"(mode=$1; shift
dxf() { printf '  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0.0\n 20\n0.0\n 11\n1.0\n 21\n2.0\n  0\nENDSEC\n  0\nEOF\n' > "$1"; }
case $mode in
  ok) n=0; while [ $# -ge 2 ]; do dxf "$2"; echo "ok $n"; n=$((n+1)); shift 2; done; echo run >> "$COUNT_FILE";;
  rebuilt) printf '999\r\nrebuilt from the object model\r\n' > "$2"; dxf "$2.x"; cat "$2.x" >> "$2"; rm "$2.x"; echo "model 0";;
  exit5) exit 5;;
  segv) kill -SEGV $$;;
  sleep) sleep 30;;
  empty) : > "$2"; echo "ok 0";;
  garbage) echo "this is no drawing" > "$2"; echo "ok 0";;
  damaged) printf '  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nten\n  0\nEOF\n' > "$2"; echo "ok 0";;
  nofile) echo "ok 0";;
  critical) echo "fail 0 2048 critical";;
  silent) ;;
  module) exit 3;;
  memory) exec python3 -c 'import time; b = b"x" * (400 << 20); time.sleep(30)';;
esac
)";

class FakeConverter : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("fake_converter_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "cache");
    std::ofstream(dir_ / "fake.sh") << kFakeConverter;
    ::setenv("COUNT_FILE", (dir_ / "runs").c_str(), 1);
    saved_ = orv::io::useConverterSettings(settings("ok"));
  }
  void TearDown() override {
    orv::io::useConverterSettings(saved_);
    fs::remove_all(dir_);
  }
  orv::io::ConverterSettings settings(const std::string& mode, double seconds = 20) {
    orv::io::ConverterSettings s;
    s.command = {"/bin/sh", (dir_ / "fake.sh").string(), mode};
    s.baseSeconds = seconds;
    s.secondsPerMegabyte = 0;
    s.memoryMegabytes = 200;
    s.cacheFolder = dir_ / "cache";
    return s;
  }
  // A file that starts like an R2000 DWG, different for each name.
  fs::path dwg(const std::string& name, const std::string& folder = "") {
    fs::create_directories(dir_ / folder);
    const fs::path p = dir_ / folder / name;
    std::ofstream(p, std::ios::binary) << "AC1015" << std::string(20, '\0') << name;
    return p;
  }
  int runs() {
    std::ifstream in(dir_ / "runs");
    int n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
  }
  fs::path dir_;
  orv::io::ConverterSettings saved_;
};

TEST_F(FakeConverter, everyWayTheConverterFailsIsAnErrorAndNoDrawing) {
  struct Case {
    const char* mode;
    K kind;
    std::string detail = {};
    double seconds = 20;
  };
  const Case cases[] = {
      {"exit5", K::converterExit},
      {"segv", K::converterSignal},
      {"sleep", K::converterTimeout, {}, 0.3},
      {"empty", K::converterOutput, "empty"},
      {"garbage", K::converterOutput, "notdxf"},
      {"nofile", K::converterOutput, "missing"},
      {"critical", K::damagedDwg, "critical"},
      {"silent", K::converterOutput, "noreport"},
      {"module", K::libraryMissing},
      {"memory", K::converterMemory},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    orv::io::useConverterSettings(settings(c.mode, c.seconds));
    const orv::io::OpenedDrawing opened = orv::io::openDrawingFile(dwg(std::string(c.mode) + ".dwg"));
    EXPECT_FALSE(opened.ok());
    EXPECT_EQ(opened.kind, orv::io::FileKind::dwg);
    EXPECT_EQ(opened.error.kind, c.kind);
    if (!c.detail.empty()) {
      EXPECT_EQ(opened.error.detail, c.detail);
    }
    // Nothing unreadable is kept to be found next time.
    EXPECT_TRUE(fs::is_empty(dir_ / "cache"));
  }
}

TEST_F(FakeConverter, aDxfTheReaderRefusesIsTheConvertersFault) {
  orv::io::useConverterSettings(settings("damaged"));
  const auto opened = orv::io::openDrawingFile(dwg("damaged.dwg"));
  EXPECT_EQ(opened.error.kind, K::converterOutput);
  EXPECT_TRUE(opened.error.detail.starts_with("unreadable:")) << opened.error.detail;
}

TEST_F(FakeConverter, aConverterThatIsNotThereSaysSo) {
  auto s = settings("ok");
  s.command = {(dir_ / "no-such-node").string()};
  orv::io::useConverterSettings(s);
  EXPECT_EQ(orv::io::openDrawingFile(dwg("a.dwg")).error.kind, K::converterMissing);
}

TEST_F(FakeConverter, readsTheConvertedDrawingAndKeepsItInTheCache) {
  const fs::path file = dwg("part.dwg");
  auto opened = orv::io::openDrawingFile(file);
  ASSERT_TRUE(opened.ok()) << static_cast<int>(opened.error.kind) << opened.error.detail;
  int lines = 0;
  opened.drawing->forEachEntity(opened.drawing->modelSpace(), [&](auto, const auto&) { ++lines; });
  EXPECT_EQ(lines, 1);
  EXPECT_FALSE(opened.rebuiltFromObjects);
  EXPECT_TRUE(orv::io::openDrawingFile(file).ok());
  EXPECT_EQ(runs(), 1);
  // Other bytes of the same size and name: converted again.
  std::ofstream(file, std::ios::binary) << "AC1015" << std::string(20, '\0') << "trap.dwg";
  EXPECT_TRUE(orv::io::openDrawingFile(file).ok());
  EXPECT_EQ(runs(), 2);
}

TEST_F(FakeConverter, aFoldersDrawingsAreConvertedInOneProcess) {
  const fs::path a = dwg("a.dwg", "lib"), b = dwg("b.DWG", "lib"), c = dwg("c.dwg", "lib");
  dwg("notes.txt", "lib");
  orv::io::OpenOptions folder;
  folder.convertFolder = true;
  EXPECT_TRUE(orv::io::openDrawingFile(b, folder).ok());
  EXPECT_TRUE(orv::io::openDrawingFile(a, folder).ok());
  EXPECT_TRUE(orv::io::openDrawingFile(c, folder).ok());
  EXPECT_EQ(runs(), 1);
}

TEST_F(FakeConverter, aRebuiltDrawingSaysSoEachTimeItOpens) {
  orv::io::useConverterSettings(settings("rebuilt"));
  const fs::path file = dwg("rebuilt.dwg");
  for (int i = 0; i < 2; ++i) {
    const auto opened = orv::io::openDrawingFile(file);
    ASSERT_TRUE(opened.ok());
    EXPECT_TRUE(opened.rebuiltFromObjects);
  }
}

TEST_F(FakeConverter, filesThatAreNoDrawingNeverReachTheConverter) {
  struct Case {
    std::string bytes;
    K kind;
  };
  const Case cases[] = {
      {"", K::empty},
      {"AC10", K::notDrawing},
      {"random \x01\x02 bytes", K::notDrawing},
      {"AutoCAD Binary DXF\r\n\x1a", K::binaryDxf},
      {"AC1009", K::oldDwg},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::ofstream(dir_ / "x.dwg", std::ios::binary) << c.bytes;
    EXPECT_EQ(orv::io::openDrawingFile(dir_ / "x.dwg").error.kind, c.kind);
  }
  EXPECT_EQ(orv::io::openDrawingFile(dir_ / "missing.dxf").error.kind, K::system);
  EXPECT_EQ(orv::io::openDrawingFile(dir_).error.kind, K::system);
  EXPECT_EQ(runs(), 0);
}

}  // namespace
