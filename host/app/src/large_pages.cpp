#include "large_pages.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace orv::app {
namespace {

constexpr const char* kTunable = "glibc.malloc.hugetlb";

// Transparent huge pages given on request ("madvise") or always: what the tunable asks
// for. With "never" it would change nothing.
bool largePagesOffered() {
  std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(in, modes);
  return modes.find("[madvise]") != std::string::npos || modes.find("[always]") != std::string::npos;
}

}  // namespace

void restartWithLargePages(char** argv) {
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  const std::string given = tunables ? tunables : "";
  if (given.find(kTunable) != std::string::npos || !largePagesOffered()) return;  // set, or of no use
  const std::string asked = (given.empty() ? "" : given + ":") + kTunable + "=1";
  if (setenv("GLIBC_TUNABLES", asked.c_str(), 1) != 0) return;
  execv("/proc/self/exe", argv);
  // Not started again (no /proc, say): on as before, in small pages.
  if (tunables) {
    setenv("GLIBC_TUNABLES", tunables, 1);
  } else {
    unsetenv("GLIBC_TUNABLES");
  }
}

}  // namespace orv::app
