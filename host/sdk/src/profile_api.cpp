// The profile-file functions of the SDK: forwards to the settings library, with
// any problem with the file shown on the command line.
#include "winapi.h"

#include <string>

#include "host_bindings.h"
#include "orv/settings/win_profile.h"

namespace {

void report(const std::string& problem) {
  if (!problem.empty()) orv::sdk::reportProblem(problem);
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
  report(problem);
  return ok ? TRUE : FALSE;
}
