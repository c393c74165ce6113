// Micro-benchmarks of settings reads: the profile functions as a command calls them,
// against a settings file of the size a working draw.ini reaches.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "orv/settings/profile_document.h"
#include "orv/settings/profile_file.h"
#include "orv/settings/win_profile.h"

namespace {

using namespace orv::settings;

const char kIni[] =
    "[PIPE]\nDW=219.000000\nWTBJ=328.500000\n[DRAW]\nENDSTYLE=2\n"
    "[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n"
    "[DXT]\nDW2=159.000000\n[ST]\nDW1=219\nDW2=159\nL=400\n"
    "[FM]\nFMNAME=Gate\nFMFILENAME=/opt/orvcad/lib/orvcad/resource/FM/Gate.dxf\n"
    "[ZDY]\nZDYNAME=Support\nZDYFILENAME=/opt/orvcad/lib/orvcad/resource/ZDY/Support.dxf\n";

// A settings file in a fresh directory, removed at exit.
class IniFile {
 public:
  IniFile() {
    char dir[] = "/tmp/orv-bench-ini-XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    dir_ = dir;
    path_ = dir_ + "/draw.ini";
    std::ofstream(path_, std::ios::binary) << kIni;
    wpath_.assign(path_.begin(), path_.end());
  }
  ~IniFile() {
    ::unlink(path_.c_str());
    ::rmdir(dir_.c_str());
  }
  const std::string& path() const { return path_; }
  const wchar_t* wide() const { return wpath_.c_str(); }

 private:
  std::string dir_, path_;
  std::wstring wpath_;
};

void BM_ParseSettings(benchmark::State& state) {
  for (auto _ : state) {
    auto doc = ProfileDocument::parse(kIni);
    benchmark::DoNotOptimize(doc->value("PIPE", "WTBJ"));
  }
}
BENCHMARK(BM_ParseSettings);

void BM_GetProfileString(benchmark::State& state) {
  IniFile ini;
  wchar_t buffer[256];
  for (auto _ : state)
    benchmark::DoNotOptimize(
        getPrivateProfileString(L"SIDELINE", L"LINETYPE", L"", buffer, 256, ini.wide()));
}
BENCHMARK(BM_GetProfileString);

void BM_GetProfileInt(benchmark::State& state) {
  IniFile ini;
  for (auto _ : state)
    benchmark::DoNotOptimize(getPrivateProfileInt(L"DRAW", L"ENDSTYLE", 0, ini.wide()));
}
BENCHMARK(BM_GetProfileInt);

// A read right after a write: the write replaces the file, so the read must see it.
void BM_WriteThenRead(benchmark::State& state) {
  IniFile ini;
  wchar_t buffer[64];
  int n = 0;
  for (auto _ : state) {
    const std::wstring value = std::to_wstring(n++ % 3);
    writePrivateProfileString(L"DRAW", L"ENDSTYLE", value.c_str(), ini.wide());
    getPrivateProfileString(L"DRAW", L"ENDSTYLE", L"", buffer, 64, ini.wide());
    if (value != buffer) state.SkipWithError("a read after a write did not see the write");
  }
}
BENCHMARK(BM_WriteThenRead)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
