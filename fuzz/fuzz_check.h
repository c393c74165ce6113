// Checks inside fuzz targets: a broken promise of the code under test stops the
// run with a message, under libFuzzer (which then saves the input) and in the
// replay of saved inputs alike. Unlike assert, it is never compiled out.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace orv::fuzz {

[[noreturn]] inline void checkFailed(const char* condition, std::string_view what, const char* file,
                                     int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n  %.*s\n", file, line, condition,
               static_cast<int>(what.size()), what.data());
  std::fflush(stderr);
  std::abort();
}

}  // namespace orv::fuzz

#define ORV_FUZZ_CHECK(condition, what)                                               \
  do {                                                                                \
    if (!(condition)) ::orv::fuzz::checkFailed(#condition, what, __FILE__, __LINE__); \
  } while (false)
