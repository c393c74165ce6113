// The page setup kept in a drawing: PLOT's choices written as, and read from, a PLOTSETTINGS object.
//
// The OBJECTS section is kept as tags; the setup goes into the root dictionary's
// ACAD_PLOTSETTINGS dictionary under kPageSetupName, with the group codes other CAD
// programs read: paper (4, 44, 45 in mm), margins (40-43), offset (46, 47), window (48,
// 49, 140, 141), scale (142 paper : 143 drawing), flags (70: 4 centred, 16 fitted, 128
// lineweights), plot type (74), pen table (7) and resolution (78).
#include "plot_setup.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>
#include <string_view>
#include <vector>

namespace orv::app {

namespace {

struct Tag {
  int code;
  std::string value;
};
using Object = std::vector<Tag>;

std::string hex(db::Handle h) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(h));
  return buf;
}

std::string real(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", std::isfinite(v) ? v : 0.0);
  return buf;
}

std::vector<Object> split(const db::RawTags& tags) {
  std::vector<Object> out;
  for (db::RawTag t : tags) {
    if (t.code == 0 || out.empty()) out.emplace_back();
    out.back().push_back({t.code, std::string(t.value)});
  }
  return out;
}

db::RawTags join(const std::vector<Object>& objects) {
  db::RawTags out;
  for (const Object& o : objects)
    for (const Tag& t : o) out.add(t.code, t.value);
  return out;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

const Tag* find(const Object& o, int code) {
  for (const Tag& t : o)
    if (t.code == code) return &t;
  return nullptr;
}

std::string handleOf(const Object& o) {
  const Tag* t = find(o, 5);
  return t ? std::string(trimmed(t->value)) : std::string();
}

bool sameHandle(std::string_view a, std::string_view b) {
  a = trimmed(a);
  b = trimmed(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

// The handle an entry of a dictionary points to (3 NAME followed by 350 or 360).
std::optional<std::string> entry(const Object& dict, std::string_view name) {
  for (std::size_t i = 0; i + 1 < dict.size(); ++i)
    if (dict[i].code == 3 && dict[i].value == name && (dict[i + 1].code == 350 || dict[i + 1].code == 360))
      return std::string(trimmed(dict[i + 1].value));
  return std::nullopt;
}

Object* objectWithHandle(std::vector<Object>& objects, std::string_view handle) {
  for (Object& o : objects)
    if (sameHandle(handleOf(o), handle)) return &o;
  return nullptr;
}

Object dictionary(const std::string& handle, const std::string& owner) {
  return {{0, "DICTIONARY"}, {5, handle}, {330, owner}, {100, "AcDbDictionary"}, {281, "1"}};
}

int plotType(PlotArea a) {
  switch (a) {
    case PlotArea::display: return 0;
    case PlotArea::extents: return 1;
    case PlotArea::limits: return 2;
    case PlotArea::window: return 4;
    case PlotArea::layout: return 5;
  }
  return 1;
}

Object plotSettings(const std::string& handle, const std::string& owner, const PlotChoices& c) {
  const bool landscape = c.orientation == render::Orientation::landscape;
  const double w = landscape ? c.paper.longMm : c.paper.shortMm;
  const double h = landscape ? c.paper.shortMm : c.paper.longMm;
  const bool fit = c.scale.fit;
  int flags = 128 | 32;  // lineweights and the pen table plotted
  if (c.centred) flags |= 4;
  if (fit) flags |= 16;
  return {{0, "PLOTSETTINGS"},
          {5, handle},
          {102, "{ACAD_REACTORS"},
          {330, owner},
          {102, "}"},
          {330, owner},
          {100, "AcDbPlotSettings"},
          {1, kPageSetupName},
          {2, formatName(c.format)},
          {4, c.paper.name},
          {6, c.area == PlotArea::layout ? c.layout : std::string()},
          {40, "0"},
          {41, "0"},
          {42, "0"},
          {43, "0"},
          {44, real(w)},
          {45, real(h)},
          {46, real(c.offsetXMm)},
          {47, real(c.offsetYMm)},
          {48, real(c.window.minX)},
          {49, real(c.window.minY)},
          {140, real(c.window.maxX)},
          {141, real(c.window.maxY)},
          {142, real(fit ? 1.0 : c.scale.paper)},
          {143, real(fit ? 1.0 : c.scale.drawing)},
          {70, std::to_string(flags)},
          {72, "1"},
          {73, "0"},
          {74, std::to_string(plotType(c.area))},
          {7, c.monochrome ? "monochrome.ctb" : "acad.ctb"},
          {75, "0"},
          {147, "1"},
          {76, "0"},
          {77, "2"},
          {78, std::to_string(static_cast<int>(std::lround(c.dpi)))},
          {148, "0"},
          {149, "0"}};
}

bool number(std::string_view s, double& out) {
  s = trimmed(s);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

}  // namespace

std::string formatName(render::PictureFormat f) {
  switch (f) {
    case render::PictureFormat::png: return "PNG";
    case render::PictureFormat::svg: return "SVG";
    case render::PictureFormat::pdf: return "PDF";
  }
  return "PDF";
}

std::string orientationName(render::Orientation o) {
  return o == render::Orientation::landscape ? "横向" : "纵向";
}

std::optional<PlotChoices> readPageSetup(const db::Database& d) {
  for (const Object& o : split(d.objects)) {
    if (o.empty() || o.front().value != "PLOTSETTINGS") continue;
    const Tag* name = find(o, 1);
    if (!name || name->value != kPageSetupName) continue;
    PlotChoices c;
    // Each value is taken when it reads well; the rest keep PLOT's defaults.
    auto num = [&](int code, double& out) {
      const Tag* t = find(o, code);
      double v = 0.0;
      if (t && number(t->value, v)) {
        out = v;
        return true;
      }
      return false;
    };
    if (const Tag* t = find(o, 2)) {
      if (t->value == "PNG") c.format = render::PictureFormat::png;
      if (t->value == "SVG") c.format = render::PictureFormat::svg;
    }
    if (const Tag* t = find(o, 4))
      if (auto p = render::paperNamed(t->value)) c.paper = *p;
    double w = 0.0, h = 0.0;
    if (num(44, w) && num(45, h) && w > 0.0 && h > 0.0)
      c.orientation = w >= h ? render::Orientation::landscape : render::Orientation::portrait;
    double type = 1.0;
    num(74, type);
    c.area = type == 0.0 ? PlotArea::display
             : type == 2.0 ? PlotArea::limits
             : type == 4.0 ? PlotArea::window
             : type == 5.0 ? PlotArea::layout
                           : PlotArea::extents;
    if (const Tag* t = find(o, 6)) c.layout = t->value;
    num(48, c.window.minX);
    num(49, c.window.minY);
    num(140, c.window.maxX);
    num(141, c.window.maxY);
    if (c.area == PlotArea::window &&
        !(c.window.maxX > c.window.minX && c.window.maxY > c.window.minY))
      c.area = PlotArea::extents;
    double flags = 0.0;
    num(70, flags);
    const int f = static_cast<int>(flags);
    double p = 1.0, dr = 1.0;
    if ((f & 16) == 0 && num(142, p) && num(143, dr) && p > 0.0 && dr > 0.0) c.scale = {false, p, dr};
    c.centred = (f & 4) != 0;
    num(46, c.offsetXMm);
    num(47, c.offsetYMm);
    if (const Tag* t = find(o, 7)) c.monochrome = t->value.find("monochrome") != std::string::npos;
    double dpi = 300.0;
    if (num(78, dpi) && dpi >= 10.0 && dpi <= 2400.0) c.dpi = dpi;
    return c;
  }
  return std::nullopt;
}

void keepPageSetup(db::Database& d, const PlotChoices& choices) {
  std::vector<Object> objects;
  if (d.objects.empty()) {
    // The minimal section the writer would write, made explicit.
    Object root = dictionary(hex(d.rootDictionary), "0");
    root.push_back({3, "ACAD_GROUP"});
    root.push_back({350, hex(d.groupDictionary)});
    objects.push_back(std::move(root));
    objects.push_back(dictionary(hex(d.groupDictionary), hex(d.rootDictionary)));
  } else {
    objects = split(d.objects);
  }
  // The root dictionary is the first object of the section.
  std::size_t rootAt = 0;
  while (rootAt < objects.size() && objects[rootAt].front().value != "DICTIONARY") ++rootAt;
  if (rootAt == objects.size()) return;  // no root: nothing can hold the setup
  const std::string rootHandle = handleOf(objects[rootAt]);
  std::optional<std::string> dictHandle = entry(objects[rootAt], "ACAD_PLOTSETTINGS");
  if (!dictHandle || !objectWithHandle(objects, *dictHandle)) {
    dictHandle = hex(d.newHandle());
    objects[rootAt].push_back({3, "ACAD_PLOTSETTINGS"});
    objects[rootAt].push_back({350, *dictHandle});
    objects.push_back(dictionary(*dictHandle, rootHandle));
  }
  Object* dict = objectWithHandle(objects, *dictHandle);
  std::optional<std::string> setupHandle = entry(*dict, kPageSetupName);
  if (setupHandle) {
    if (Object* old = objectWithHandle(objects, *setupHandle)) {
      *old = plotSettings(*setupHandle, *dictHandle, choices);
      d.objects = join(objects);
      return;
    }
    // The entry points nowhere: it gets a new object under the same name.
    for (std::size_t i = 0; i + 1 < dict->size(); ++i)
      if ((*dict)[i].code == 3 && (*dict)[i].value == kPageSetupName) {
        setupHandle = hex(d.newHandle());
        (*dict)[i + 1].value = *setupHandle;
        break;
      }
  } else {
    setupHandle = hex(d.newHandle());
    dict->push_back({3, kPageSetupName});
    dict->push_back({350, *setupHandle});
  }
  objects.push_back(plotSettings(*setupHandle, *dictHandle, choices));
  d.objects = join(objects);
  // Readers that know objects by their classes find it declared.
  for (const Object& c : split(d.classes))
    if (const Tag* name = find(c, 1); name && name->value == "PLOTSETTINGS") return;
  for (auto [code, value] : std::initializer_list<std::pair<int, const char*>>{
           {0, "CLASS"}, {1, "PLOTSETTINGS"}, {2, "AcDbPlotSettings"}, {3, "ObjectDBX Classes"},
           {90, "0"}, {280, "0"}, {281, "0"}})
    d.classes.add(code, value);
}

}  // namespace orv::app
