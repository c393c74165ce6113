// The command-line functions of the SDK: prompts and replies through the
// host's prompt engine, messages and alert boxes.
#include "acedads.h"

#include <cmath>
#include <cstdarg>
#include <cwchar>
#include <numbers>
#include <string>
#include <vector>

#include "host_bindings.h"
#include "orv/prompt/engine.h"
#include "orv/text/encoding.h"

using orv::prompt::Point3;
using orv::prompt::PromptEngine;
using orv::prompt::Status;

namespace {

PromptEngine* engine() { return orv::sdk::bound().prompts; }

std::string utf8(const ACHAR* text) { return text ? orv::text::narrow(text) : std::string(); }

int resultCode(Status s) {
  switch (s) {
    case Status::Normal: return RTNORM;
    case Status::None: return RTNONE;
    case Status::Cancel: return RTCAN;
    case Status::Keyword: return RTKWORD;
    case Status::Error: return RTERROR;
  }
  return RTERROR;
}

// Copies text into a caller's buffer of bufLen characters; false when it had to be cut.
bool copyOut(const std::wstring& text, ACHAR* buffer, size_t bufLen) {
  if (!buffer || bufLen == 0) return false;
  size_t n = std::min(text.size(), bufLen - 1);
  text.copy(buffer, n);
  buffer[n] = L'\0';
  return n == text.size();
}

}  // namespace

int acedInitGet(int flags, const ACHAR* keywords) {
  PromptEngine* p = engine();
  if (!p) return RTERROR;
  p->initGet(flags, utf8(keywords));
  return RTNORM;
}

int acedGetPoint(const ads_point basePoint, const ACHAR* prompt, ads_point result) {
  PromptEngine* p = engine();
  if (!p || !result) return RTERROR;
  std::optional<Point3> base;
  if (basePoint) base = Point3{basePoint[X], basePoint[Y], basePoint[Z]};
  Point3 out;
  Status s = p->getPoint(utf8(prompt), base, out);
  if (s == Status::Normal) {
    result[X] = out.x;
    result[Y] = out.y;
    result[Z] = out.z;
  }
  return resultCode(s);
}

int acedGetReal(const ACHAR* prompt, ads_real* result) {
  PromptEngine* p = engine();
  if (!p || !result) return RTERROR;
  double out = 0;
  Status s = p->getReal(utf8(prompt), out);
  if (s == Status::Normal) *result = out;
  return resultCode(s);
}

int acedGetInt(const ACHAR* prompt, int* result) {
  PromptEngine* p = engine();
  if (!p || !result) return RTERROR;
  int out = 0;
  Status s = p->getInt(utf8(prompt), out);
  if (s == Status::Normal) *result = out;
  return resultCode(s);
}

int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result, size_t bufLen) {
  PromptEngine* p = engine();
  if (!p || !result || bufLen == 0) return RTERROR;
  std::string out;
  Status s = p->getString(utf8(prompt), cronly != 0, bufLen - 1, out);
  if (s == Status::Normal) copyOut(orv::text::widen(out), result, bufLen);
  return resultCode(s);
}

int acedGetInput(ACHAR* str, size_t bufLen) {
  PromptEngine* p = engine();
  if (!p || !str || bufLen == 0) return RTERROR;
  const auto& keyword = p->lastKeyword();
  if (!keyword) return RTERROR;
  return copyOut(orv::text::widen(*keyword), str, bufLen) ? RTNORM : RTINPUTTRUNCATED;
}

int acutPrintf(const ACHAR* format, ...) {
  if (!format) return 0;
  std::vector<wchar_t> buffer(512);
  for (;;) {
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    if (n >= 0) {
      std::string text = orv::text::narrow(std::wstring_view(buffer.data(), static_cast<size_t>(n)));
      if (PromptEngine* p = engine())
        p->console().print(text);
      else
        std::fwrite(text.data(), 1, text.size(), stdout);
      return n;
    }
    // vswprintf fails both on a short buffer and on a bad format; stop growing at 16 MB.
    if (buffer.size() >= (size_t{1} << 24)) return -1;
    buffer.resize(buffer.size() * 4);
  }
}

int acedAlert(const ACHAR* text) {
  PromptEngine* p = engine();
  if (!p) return RTERROR;
  p->console().alert(utf8(text));
  return RTNORM;
}

ads_real acutAngle(const ads_point pt1, const ads_point pt2) {
  double a = std::atan2(pt2[Y] - pt1[Y], pt2[X] - pt1[X]);
  if (a < 0) a += 2 * std::numbers::pi;
  // A tiny negative angle plus 2*pi can round up to 2*pi itself.
  if (a >= 2 * std::numbers::pi) a = 0;
  return a;
}

ads_real acutDistance(const ads_point pt1, const ads_point pt2) {
  return std::hypot(pt2[X] - pt1[X], pt2[Y] - pt1[Y], pt2[Z] - pt1[Z]);
}
