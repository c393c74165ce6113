// Fuzz target: a script run. The input is a script; a small command loop reads
// commands from it as the host does and answers them with requests of every
// kind through the prompt engine, each armed with flags and keywords that the
// command line chose. Every answer is checked against the promises of its
// request, and the run must end when the script does.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"

namespace {

using namespace orv::prompt;

constexpr std::string_view kKeywords = "Undo Close eXit \xE9\x80\x80\xE5\x87\xBA LType width 0";

bool isArmed(std::string_view keyword) {
  std::size_t i = 0;
  while (i < kKeywords.size()) {
    const std::size_t end = std::min(kKeywords.find(' ', i), kKeywords.size());
    if (kKeywords.substr(i, end - i) == keyword) return true;
    i = end + 1;
  }
  return false;
}

std::size_t codePoints(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

bool finite(const Point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// What every request promises about its status and the last keyword.
void checkStatus(const PromptEngine& engine, Status status, int flags, std::string_view what) {
  ORV_FUZZ_CHECK(status != Status::Error, what);
  if (status == Status::Keyword) {
    ORV_FUZZ_CHECK(engine.lastKeyword().has_value(), what);
    if (!(flags & kOther)) ORV_FUZZ_CHECK(isArmed(*engine.lastKeyword()), what);
  } else {
    ORV_FUZZ_CHECK(!engine.lastKeyword().has_value(), what);
  }
  if (status == Status::None) ORV_FUZZ_CHECK(!(flags & kNoNull), what);
}

// One command: the request its name chooses, armed as its name says.
void runCommand(PromptEngine& engine, std::string_view name) {
  const unsigned kind = name.empty() ? 0 : static_cast<unsigned char>(name[0]) % 7;
  const int flags = name.size() < 2 ? 0
                                    : static_cast<unsigned char>(name[1]) &
                                          (kNoNull | kNoZero | kNoNegative | kOther);
  const bool keywords = name.size() < 3 || name[2] != '-';
  engine.initGet(flags, keywords ? kKeywords : "");
  switch (kind) {
    case 0:
    case 1: {
      const Point3 before = engine.lastPoint();
      Point3 p{};
      const bool pick = kind == 1;
      const Status s =
          pick ? engine.getPickPoint("\nSelect: ", p) : engine.getPoint("\nPoint: ", before, p);
      checkStatus(engine, s, flags, "point");
      if (s == Status::Normal) {
        ORV_FUZZ_CHECK(finite(p), "point");
        ORV_FUZZ_CHECK(engine.lastPoint() == (pick ? before : p), "point");
      } else {
        ORV_FUZZ_CHECK(engine.lastPoint() == before, "point");
      }
      break;
    }
    case 2: {
      double v = 0;
      const Status s = engine.getReal("\nReal: ", v);
      checkStatus(engine, s, flags, "real");
      if (s == Status::Normal) {
        ORV_FUZZ_CHECK(std::isfinite(v), "real");
        ORV_FUZZ_CHECK(v != 0.0 || !std::signbit(v), "\"-0\" reads as 0");
        if (flags & kNoZero) ORV_FUZZ_CHECK(v != 0.0, "real");
        if (flags & kNoNegative) ORV_FUZZ_CHECK(v >= 0.0, "real");
      }
      break;
    }
    case 3: {
      int v = 0;
      const Status s = engine.getInt("\nInteger: ", v);
      checkStatus(engine, s, flags, "integer");
      if (s == Status::Normal) {
        ORV_FUZZ_CHECK(v >= -32768 && v <= 32767, "integer");
        if (flags & kNoZero) ORV_FUZZ_CHECK(v != 0, "integer");
        if (flags & kNoNegative) ORV_FUZZ_CHECK(v >= 0, "integer");
      }
      break;
    }
    default: {
      const bool blanks = kind == 4;
      const std::size_t max = kind == 6 ? 3 : 132;
      std::string text = "untouched";
      const Status s = engine.getString("\nText: ", blanks, max, text);
      ORV_FUZZ_CHECK(s == Status::Normal || s == Status::Cancel, "string");
      ORV_FUZZ_CHECK(!engine.lastKeyword().has_value(), "string");
      if (s == Status::Normal) {
        ORV_FUZZ_CHECK(codePoints(text) <= max, "string");
        if (!blanks) ORV_FUZZ_CHECK(text.find_first_of(" \t") == std::string::npos, "string");
        if (flags & kNoNull) ORV_FUZZ_CHECK(!text.empty(), "string");
      }
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream transcript;
  ScriptConsole console(script, transcript);
  PromptEngine engine(console);

  // Each command reads at least its own line, so a script of n lines gives at
  // most n commands; anything more means a reply was taken without reading.
  const std::size_t lineLimit = static_cast<std::size_t>(std::count(data, data + size, '\n')) + 1;
  std::size_t commands = 0;
  while (true) {
    engine.resumeInput();
    AskOptions options;
    options.kind = AskKind::command;
    const Reply command = console.ask("\nCommand: ", options);
    if (command.kind == Reply::Kind::End) break;
    ORV_FUZZ_CHECK(++commands <= lineLimit, "more commands than lines");
    ORV_FUZZ_CHECK(console.linesRead() <= lineLimit, "more lines read than the script has");
    if (command.kind == Reply::Kind::Text) {
      ORV_FUZZ_CHECK(!command.text.starts_with('#'), "a comment taken for a command");
      ORV_FUZZ_CHECK(command.text.find('\n') == std::string::npos, "a line break inside a reply");
      runCommand(engine, command.text);
    }
  }
  ORV_FUZZ_CHECK(console.ended(), "the session ended before the script");
  return 0;
}
