// Sheets and scales: paper sizes by name, scale ratios, unit conversion, fitting and the page plan.
#include "orv/render/page.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orv::render {

namespace {

bool positive(double v) { return std::isfinite(v) && v > 0.0; }

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool number(std::string_view s, double& out) {
  s = trim(s);
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

// Splits "a×b", "axb", "a*b" into its two sides.
bool splitTimes(std::string_view s, std::string_view& a, std::string_view& b) {
  for (std::string_view sep : {"×", "x", "X", "*"}) {
    const auto at = s.find(sep);
    if (at != std::string_view::npos) {
      a = s.substr(0, at);
      b = s.substr(at + sep.size());
      return true;
    }
  }
  return false;
}

std::string formatNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace

ViewTransform ViewTransform::fit(const Extents& box, double deviceWidth, double deviceHeight,
                                 double margin) {
  ViewTransform v;
  if (!positive(deviceWidth) || !positive(deviceHeight)) return v;
  if (!std::isfinite(margin) || margin < 0.0) margin = 0.0;
  margin = std::min(margin, std::min(deviceWidth, deviceHeight) * 0.45);
  const double availW = deviceWidth - 2.0 * margin, availH = deviceHeight - 2.0 * margin;
  // Half sizes and centres are taken from halves so that they stay finite.
  const double halfW = box.maxX * 0.5 - box.minX * 0.5;
  const double halfH = box.maxY * 0.5 - box.minY * 0.5;
  const double cx = box.minX * 0.5 + box.maxX * 0.5, cy = box.minY * 0.5 + box.maxY * 0.5;
  if (!std::isfinite(cx) || !std::isfinite(cy)) return v;
  double scale = std::numeric_limits<double>::infinity();
  if (halfW > 0.0) scale = std::min(scale, availW * 0.5 / halfW);
  if (halfH > 0.0) scale = std::min(scale, availH * 0.5 / halfH);
  const double farthest = std::max({1.0, std::abs(box.minX), std::abs(box.maxX),
                                    std::abs(box.minY), std::abs(box.maxY)});
  const double maxScale = 1e12 / farthest;
  if (!std::isfinite(scale)) scale = std::min(1.0, maxScale);
  scale = std::min(scale, maxScale);
  v.scale = scale;
  v.offsetX = deviceWidth / 2.0 - cx * scale;
  v.offsetY = deviceHeight / 2.0 + cy * scale;
  return v;
}

std::optional<Paper> paperNamed(std::string_view name) {
  struct Sheet {
    const char* name;
    double shortMm, longMm;
  };
  static constexpr Sheet kSheets[] = {
      {"A0", 841, 1189},   {"A1", 594, 841},    {"A2", 420, 594},    {"A3", 297, 420},
      {"A4", 210, 297},    {"A3X3", 420, 891},  {"A3X4", 420, 1189}, {"A4X3", 297, 630},
      {"A4X4", 297, 841},  {"A4X5", 297, 1051},
  };
  name = trim(name);
  std::string key = upper(name);
  for (std::string_view sep : {"×", "*"})
    for (auto at = key.find(sep); at != std::string::npos; at = key.find(sep)) key.replace(at, sep.size(), "X");
  for (const Sheet& s : kSheets)
    if (key == s.name) {
      std::string shown = s.name;
      if (shown.size() > 2) shown[2] = 'x';
      return Paper{shown, s.shortMm, s.longMm};
    }
  std::string_view a, b;
  double w = 0.0, h = 0.0;
  if (!splitTimes(name, a, b) || !number(a, w) || !number(b, h)) return std::nullopt;
  if (w < 1.0 || h < 1.0 || w > 5000.0 || h > 5000.0) return std::nullopt;
  return Paper{formatNumber(w) + "×" + formatNumber(h), std::min(w, h), std::max(w, h)};
}

std::optional<PlotScale> parseScale(std::string_view text) {
  text = trim(text);
  const std::string key = upper(text);
  if (key == "布满" || key == "F" || key == "FIT") return PlotScale{};
  const auto colon = text.find(':');
  double p = 0.0, d = 0.0;
  if (colon == std::string_view::npos || !number(text.substr(0, colon), p) ||
      !number(text.substr(colon + 1), d) || !positive(p) || !positive(d) || p / d > 1e6 || d / p > 1e9)
    return std::nullopt;
  return PlotScale{false, p, d};
}

std::string scaleText(const PlotScale& scale) {
  if (scale.fit) return "布满";
  return formatNumber(scale.paper) + ":" + formatNumber(scale.drawing);
}

double millimetresPerUnit(int insunits) {
  switch (insunits) {
    case 1: return 25.4;
    case 2: return 304.8;
    case 3: return 1609344.0;
    case 5: return 10.0;
    case 6: return 1000.0;
    case 7: return 1e6;
    case 8: return 25.4e-6;
    case 9: return 0.0254;
    case 10: return 914.4;
    case 11: return 1e-7;
    case 12: return 1e-6;
    case 13: return 1e-3;
    case 14: return 100.0;
    case 15: return 1e4;
    case 16: return 1e5;
    case 17: return 1e12;
    case 18: return 1.495978707e14;
    case 19: return 9.4607304725808e18;
    case 20: return 3.0856775814913673e19;
    default: return 1.0;
  }
}

PenTable PenTable::standard() {
  PenTable t;
  t.mm.fill(0.18);
  for (int i = 1; i <= 7; ++i) t.mm[i] = 0.25;
  t.mm[7] = 0.35;
  return t;
}

ViewTransform PagePlan::onDevice(double unitsPerMm) const {
  return ViewTransform{view.scale * unitsPerMm, view.offsetX * unitsPerMm, view.offsetY * unitsPerMm};
}

PagePlan planPage(const PageModel& page) {
  PagePlan plan;
  const bool landscape = page.orientation == Orientation::landscape;
  plan.widthMm = landscape ? page.paper.longMm : page.paper.shortMm;
  plan.heightMm = landscape ? page.paper.shortMm : page.paper.longMm;
  const double margin = positive(page.marginMm)
                            ? std::min(page.marginMm, std::min(plan.widthMm, plan.heightMm) * 0.45)
                            : 0.0;
  plan.printable = Extents{margin, margin, plan.widthMm - margin, plan.heightMm - margin};
  const Extents& a = page.area;
  const double unitMm = positive(page.unitMm) ? page.unitMm : 1.0;
  const bool scaled = !page.scale.fit && positive(page.scale.paper) && positive(page.scale.drawing);
  if (!scaled) {
    // The same fitting as every view of the drawing, in millimetres of the sheet.
    plan.view = ViewTransform::fit(a, plan.widthMm, plan.heightMm, margin);
    if (!page.centred) {
      plan.view.offsetX = margin + page.offsetXMm - a.minX * plan.view.scale;
      plan.view.offsetY = plan.heightMm - margin - page.offsetYMm + a.minY * plan.view.scale;
    }
  } else {
    const double s = unitMm * page.scale.paper / page.scale.drawing;
    plan.view.scale = s;
    if (page.centred) {
      const double cx = a.minX * 0.5 + a.maxX * 0.5, cy = a.minY * 0.5 + a.maxY * 0.5;
      plan.view.offsetX = plan.widthMm / 2.0 - cx * s;
      plan.view.offsetY = plan.heightMm / 2.0 + cy * s;
    } else {
      plan.view.offsetX = margin + page.offsetXMm - a.minX * s;
      plan.view.offsetY = plan.heightMm - margin - page.offsetYMm + a.minY * s;
    }
  }
  plan.paperMmPerUnit = plan.view.scale;
  // The area on the sheet against the printable part (a hundredth of a millimetre spare).
  const db::Point2 lo = plan.view.toDevice({a.minX, a.minY});
  const db::Point2 hi = plan.view.toDevice({a.maxX, a.maxY});
  constexpr double kSpare = 0.01;
  plan.fits = std::isfinite(lo.x) && std::isfinite(hi.y) && lo.x >= margin - kSpare &&
              hi.x <= plan.widthMm - margin + kSpare && hi.y >= margin - kSpare &&
              lo.y <= plan.heightMm - margin + kSpare;
  return plan;
}

}  // namespace orv::render
