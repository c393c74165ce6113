// The profile-file functions of the SDK: forwards to the settings library, with
// any problem with the file shown on the command line.
#include "winapi.h"

#include <cstdio>
#include <string>

#include "host_bindings.h"
#include "orv/prompt/console.h"
#include "orv/prompt/engine.h"
#include "orv/settings/win_profile.h"

namespace {

void report(const std::string& problem) {
  if (!problem.empty()) orv::sdk::reportProblem(problem);
}

// A value that was not saved is lost: every such write says so, not only a command's
// first (reportProblem shows a message once per command).
void reportLoss(const std::string& problem) {
  if (problem.empty()) return;
  if (orv::prompt::PromptEngine* p = orv::sdk::bound().prompts) {
    p->console().print("\n" + problem);
  } else {
    std::fprintf(stderr, "orvcad: %s\n", problem.c_str());
  }
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer,
                               DWORD size, LPCWSTR fileName) {
  std::string problem;
  const DWORD n = orv::settings::getPrivateProfileString(section, key, defaultValue, buffer, size,
                                                         fileName, &problem);
  report(problem);
  return n;
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName) {
  std::string problem;
  const UINT value =
      orv::settings::getPrivateProfileInt(section, key, defaultValue, fileName, &problem);
  report(problem);
  return value;
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
  std::string problem;
  const bool ok = orv::settings::writePrivateProfileString(section, key, value, fileName, &problem);
  reportLoss(problem);
  return ok ? TRUE : FALSE;
}
