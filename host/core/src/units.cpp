// Lengths and angles written in the drawing's own units.
#include "orv/core/units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kept_tags.h"
#include "orv/db/header_values.h"

namespace orv::core {

namespace {

std::string fixed(double v, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", digits, v);
  std::string s = buffer;
  if (s.find_first_not_of("-0.") == std::string::npos && s.front() == '-') s.erase(0, 1);  // no "-0.0000"
  return s;
}

// A non-negative value as whole units and a fraction with denominator 2^precision.
std::string fraction(double v, int precision) {
  const long den = 1L << std::clamp(precision, 0, 8);
  long whole = static_cast<long>(std::floor(v));
  long num = std::lround((v - whole) * den);
  if (num == den) ++whole, num = 0;
  long d = den;
  while (num && num % 2 == 0) num /= 2, d /= 2;
  std::string s = std::to_string(whole);
  if (num) s += " " + std::to_string(num) + "/" + std::to_string(d);
  return s;
}

// Degrees as d°m's" for the precision asked (0: degrees, 1-2: minutes, 3-4: seconds,
// more: seconds with decimals).
std::string dms(double degrees, int precision) {
  if (precision <= 0) return std::to_string(std::lround(degrees)) + "d";
  double total = precision <= 2 ? std::round(degrees * 60) : degrees * 3600;
  if (precision <= 2) {
    const long m = static_cast<long>(total);
    return std::to_string(m / 60) + "d" + std::to_string(m % 60) + "'";
  }
  const int secondDigits = std::max(0, precision - 4);
  const double scale = std::pow(10.0, secondDigits);
  total = std::round(total * scale) / scale;
  const long d = static_cast<long>(total / 3600);
  const long m = static_cast<long>((total - d * 3600.0) / 60);
  const double sec = total - d * 3600.0 - m * 60.0;
  return std::to_string(d) + "d" + std::to_string(m) + "'" + fixed(sec, secondDigits) + "\"";
}

}  // namespace

Units unitsOf(const db::Database& d) {
  Units u;
  u.insertion = d.header.insertionUnits;
  // A whole number within [low, high] replaces the default; anything else leaves it.
  auto whole = [&](std::string_view variable, int low, int high, int& out) {
    const auto text = db::headerValue(d.header, variable);
    const auto v = text ? kept::parseNumber(*text) : std::nullopt;
    if (v && *v == std::floor(*v) && *v >= low && *v <= high) out = static_cast<int>(*v);
  };
  whole("$LUNITS", 1, 5, u.linear);
  whole("$LUPREC", 0, 8, u.linearPrecision);
  whole("$AUNITS", 0, 4, u.angular);
  whole("$AUPREC", 0, 8, u.angularPrecision);
  return u;
}

std::string formatLength(const Units& u, double v) {
  if (!std::isfinite(v)) return "?";
  const std::string sign = v < 0 ? "-" : "";
  const double a = std::abs(v);
  char buffer[64];
  switch (u.linear) {
    case 1:
      std::snprintf(buffer, sizeof buffer, "%.*E", u.linearPrecision, v);
      return buffer;
    case 3: {  // feet and decimal inches; a drawing unit is an inch
      const long feet = static_cast<long>(a / 12);
      return sign + std::to_string(feet) + "'-" + fixed(a - feet * 12.0, u.linearPrecision) + "\"";
    }
    case 4: {
      const long feet = static_cast<long>(a / 12);
      return sign + std::to_string(feet) + "'-" + fraction(a - feet * 12.0, u.linearPrecision) + "\"";
    }
    case 5:
      return sign + fraction(a, u.linearPrecision);
    default:
      return fixed(v, u.linearPrecision);
  }
}

std::string formatAngle(const Units& u, double degrees) {
  if (!std::isfinite(degrees)) return "?";
  degrees = std::fmod(degrees, 360.0);
  if (degrees < 0) degrees += 360.0;
  const int p = u.angularPrecision;
  switch (u.angular) {
    case 1: return dms(degrees, p);
    case 2: return fixed(degrees * 400.0 / 360.0, p) + "g";
    case 3: return fixed(degrees * 3.14159265358979323846 / 180.0, p) + "r";
    case 4: {
      // A bearing: from north or south, towards east or west.
      if (degrees == 0) return "E";
      if (degrees == 90) return "N";
      if (degrees == 180) return "W";
      if (degrees == 270) return "S";
      const bool north = degrees < 180;
      const double off = north ? std::abs(90 - degrees) : std::abs(270 - degrees);
      const bool east = degrees < 90 || degrees > 270;
      return std::string(north ? "N " : "S ") + dms(off, p) + (east ? " E" : " W");
    }
    default: {
      std::string s = fixed(degrees, p);
      return s == fixed(360, p) ? fixed(0, p) : s;
    }
  }
}

std::string unitName(const Units& u) {
  static const char* kNames[] = {"",   "英寸", "英尺", "英里", "毫米", "厘米", "米", "千米", "微英寸",
                                 "密耳", "码", "埃", "纳米", "微米", "分米", "十米", "百米", "百万米",
                                 "天文单位", "光年", "秒差距"};
  if (u.insertion < 0 || u.insertion >= static_cast<int>(std::size(kNames))) return "";
  return kNames[u.insertion];
}

}  // namespace orv::core
