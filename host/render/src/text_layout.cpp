// Text layout: styles to fonts; one-line text by its alignment; MTEXT in wrapped lines and paragraphs.
//
// Contents: fonts of styles and runs; styles of a drawing; one-line text; MTEXT (tokens,
// lines, the box and its attachment).
#include "text_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "orv/geom/affine.h"

namespace orv::render {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// Fonts with Chinese glyphs, best first; fontconfig takes the first one installed.
constexpr std::string_view kChineseFamilies =
    "WenQuanYi Micro Hei,Noto Sans CJK SC,Source Han Sans SC,Droid Sans Fallback,sans-serif";
// Text at most this many times its height along a line: a value beyond is damage.
constexpr double kMostHeightsLong = 1e6;

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The file name without folders and extension, lower case; the extension apart.
void splitFileName(std::string_view path, std::string& stem, std::string& ext) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  const std::size_t dot = path.rfind('.');
  stem = lower(path.substr(0, dot));
  ext = dot == std::string_view::npos ? std::string() : lower(path.substr(dot + 1));
}

// Families of the TrueType files every Windows drawing names.
struct KnownFile {
  std::string_view stem;
  std::string_view family;
  bool bold;
};
constexpr KnownFile kKnownFiles[] = {
    {"simsun", "SimSun", false},       {"nsimsun", "NSimSun", false},
    {"simhei", "SimHei", false},       {"simkai", "KaiTi", false},
    {"simfang", "FangSong", false},    {"msyh", "Microsoft YaHei", false},
    {"msyhbd", "Microsoft YaHei", true}, {"arial", "Arial", false},
    {"arialbd", "Arial", true},        {"times", "Times New Roman", false},
    {"timesbd", "Times New Roman", true}, {"cour", "Courier New", false},
    {"calibri", "Calibri", false},     {"tahoma", "Tahoma", false},
    {"verdana", "Verdana", false},
};

FontRequest familyThenChinese(std::string_view family, bool bold, bool italic) {
  FontRequest r;
  r.bold = bold;
  r.italic = italic;
  // A comma inside a family name would split it.
  std::string f(family);
  std::replace(f.begin(), f.end(), ',', ' ');
  r.families = f.empty() ? std::string(kChineseFamilies) : f + "," + std::string(kChineseFamilies);
  return r;
}

FontRequest requestForFile(std::string_view file, bool bold, bool italic) {
  std::string stem, ext;
  splitFileName(file, stem, ext);
  if (ext == "ttf" || ext == "ttc" || ext == "otf") {
    for (const KnownFile& k : kKnownFiles)
      if (k.stem == stem) return familyThenChinese(k.family, bold || k.bold, italic);
    return familyThenChinese(stem, bold, italic);
  }
  // SHX fonts (or no extension: "txt", as AutoCAD names its own): shapes of strokes, of
  // which no outline font is a copy; a clean sans with Chinese glyphs reads like them.
  return familyThenChinese("", bold, italic);
}

}  // namespace

bool namesShxFont(std::string_view fontFile) {
  std::string stem, ext;
  splitFileName(fontFile, stem, ext);
  return ext != "ttf" && ext != "ttc" && ext != "otf";
}

FontRequest fontRequestForStyle(std::string_view fontFile, std::string_view bigFont,
                                std::string_view family) {
  (void)bigFont;  // a big font holds Chinese glyphs: the font chosen has them too
  if (!family.empty()) return familyThenChinese(family, false, false);
  return requestForFile(fontFile, false, false);
}

FontRequest fontRequestForRun(std::string_view name, bool isFile, bool bold, bool italic) {
  if (isFile) return requestForFile(name, bold, italic);
  std::string stem, ext;
  splitFileName(name, stem, ext);
  if (ext == "shx") return requestForFile(name, bold, italic);
  return familyThenChinese(name, bold, italic);
}

// ---- styles

namespace {

// The family a style names in its extended data (1001 ACAD, 1000 family), if any.
std::string_view familyOfStyle(const db::TextStyle& s) {
  bool acad = false;
  for (db::RawTag t : s.extras) {
    if (t.code == 1001) acad = t.value == "ACAD";
    else if (acad && t.code == 1000) return t.value;
  }
  return {};
}

}  // namespace

const StyleFace& TextLayout::style(std::string_view name) {
  auto it = styles_.find(name);
  if (it != styles_.end()) return it->second;
  const db::TextStyle* s = db_.textStyles().get(name);
  if (!s) s = db_.textStyles().get("Standard");
  StyleFace face;
  if (s) {
    face.font = &engine_.font(fontRequestForStyle(s->font, s->bigFont, familyOfStyle(*s)));
    face.widthFactor = s->widthFactor > 0.0 && s->widthFactor < 100.0 ? s->widthFactor : 1.0;
    face.oblique = std::abs(s->obliqueAngle) < 85.0 ? s->obliqueAngle : 0.0;
    face.fixedHeight = s->height > 0.0 && std::isfinite(s->height) ? s->height : 0.0;
    if (familyOfStyle(*s).empty() && namesShxFont(s->font)) face.wideScale = face.font->wideScale();
  } else {
    face.font = &engine_.font(fontRequestForStyle("txt", "", ""));
    face.wideScale = face.font->wideScale();
  }
  return styles_.emplace(std::string(name), face).first->second;
}

double TextLayout::heightOf(std::string_view styleName, double entityHeight) {
  if (entityHeight > 0.0 && std::isfinite(entityHeight)) return entityHeight;
  return style(styleName).fixedHeight;
}

void TextLayout::shapeOrMeasure(const Font& font, std::string_view text, bool measureOnly,
                                double tracking, double wideScale, ShapedText& out) {
  if (measureOnly) {
    out.runs.clear();
    out.advance = engine_.measure(font, text, wideScale) * tracking;
  } else {
    engine_.shape(font, text, out, tracking, wideScale);
  }
}

// ---- one-line text

void TextLayout::layoutText(const db::Text& t, bool measureOnly, std::vector<PlacedRun>& out) {
  if (t.invisible()) return;
  const double height = heightOf(t.style, t.height);
  if (!(height > 0.0)) return;
  const std::string text = geom::expandTextCodes(t.shown());
  if (text.empty()) return;
  const StyleFace& face = style(t.style);
  PlacedRun run;
  run.font = face.font;
  shapeOrMeasure(*face.font, text, measureOnly, 1.0, face.wideScale, run.shaped);
  double s = height / face.font->capHeight();
  double wf = t.widthFactor > 0.0 ? t.widthFactor : 1.0;
  double width = run.shaped.advance * s * wf;
  double h = height;
  double angle = t.rotation * kDegree;
  const geom::Point2 p1{t.position.x, t.position.y}, p2{t.alignPoint.x, t.alignPoint.y};
  geom::Point2 anchor = p1;
  double u0 = 0.0;
  using H = db::TextHAlign;
  using V = db::TextVAlign;
  const double span = std::hypot(p2.x - p1.x, p2.y - p1.y);
  const bool betweenPoints = (t.hAlign == H::aligned || t.hAlign == H::fit) && t.hasAlignPoint && span > 0.0 && width > 0.0;
  if (betweenPoints) {
    angle = std::atan2(p2.y - p1.y, p2.x - p1.x);
    if (t.hAlign == H::aligned) {
      const double k = span / width;
      s *= k;
      h *= k;
    } else {
      wf *= span / width;
    }
    width = span;
  } else {
    if ((t.hAlign != H::left || t.vAlign != V::baseline) && t.hasAlignPoint) anchor = p2;
    switch (t.hAlign) {
      case H::center: case H::middle: u0 = -width / 2.0; break;
      case H::right: u0 = -width; break;
      default: break;
    }
  }
  double v0 = 0.0;
  if (t.hAlign == H::middle) v0 = -h / 2.0;
  else if (!betweenPoints) {
    switch (t.vAlign) {
      case V::bottom: v0 = face.font->descent() * s; break;
      case V::middle: v0 = -h / 2.0; break;
      case V::top: v0 = -h; break;
      default: break;
    }
  }
  if (!(std::abs(width) <= kMostHeightsLong * h)) return;
  const double slant = std::abs(t.oblique) < 85.0 ? std::tan(t.oblique * kDegree) : 0.0;
  geom::Affine mirror;
  if (t.generation & 2) mirror.xx = -1.0;
  if (t.generation & 4) mirror.yy = -1.0;
  const geom::Affine glyphs{wf * s, 0.0, -slant * s, -s, u0, v0};
  run.toEntity = geom::planOfOcs(t.extrusion, t.position.z) * geom::Affine::translation(anchor.x, anchor.y) *
                 geom::Affine::rotation(angle) * mirror * glyphs;
  out.push_back(std::move(run));
}

// ---- MTEXT

namespace {

bool breaksAround(std::uint32_t cp) {
  return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
         (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF) ||
         (cp >= 0x20000 && cp <= 0x3FFFD);
}

std::uint32_t codePointAt(std::string_view s, std::size_t i, std::size_t& length) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (i + length > s.size()) length = 1;
  if (length == 1) return c;
  std::uint32_t cp = length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

// Splits a run's text where a line may break: after blanks, around Chinese characters.
std::vector<std::string_view> breakPieces(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t start = 0, i = 0;
  bool prevBlank = false, prevWide = false;
  while (i < s.size()) {
    std::size_t len = 1;
    const std::uint32_t cp = codePointAt(s, i, len);
    const bool blank = cp == ' ' || cp == '\t', wideChar = breaksAround(cp);
    if (i > start && ((prevBlank && !blank) || wideChar || (prevWide && !blank))) {
      out.push_back(s.substr(start, i - start));
      start = i;
    }
    prevBlank = blank;
    prevWide = wideChar;
    i += len;
  }
  if (start < s.size()) out.push_back(s.substr(start));
  return out;
}

std::string_view withoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

geom::Point3 cross(geom::Point3 a, geom::Point3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

geom::Point3 unit(geom::Point3 v) {
  const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return l > 0.0 ? geom::Point3{v.x / l, v.y / l, v.z / l} : geom::Point3{1.0, 0.0, 0.0};
}

}  // namespace

struct TextLayout::Token {
  PlacedRun run;       // shaped, toEntity not yet set
  double scale = 1.0;  // drawing units per glyph unit (height)
  double wf = 1.0;
  double slant = 0.0;
  double width = 0.0;  // drawing units, blanks at its end included
  double inkWidth = 0.0;  // without them
  double height = 0.0;
};

struct TextLayout::Line {
  std::vector<std::pair<Token, double>> tokens;  // and their x
  double width = 0.0;
  double tallest = 0.0;
};

void TextLayout::layoutMText(const db::MText& m, bool measureOnly, std::vector<PlacedRun>& out) {
  const StyleFace& face = style(m.style);
  const double baseHeight = heightOf(m.style, m.height);
  if (!(baseHeight > 0.0)) return;
  const std::vector<geom::MTextParagraph> paragraphs = geom::parseMText(m.content, baseHeight);
  const bool wrap = m.width > 0.0 && std::isfinite(m.width);
  std::vector<Line> lines;
  std::vector<std::pair<geom::ParagraphAlign, double>> lineAlign;  // per line: alignment, indent
  for (const geom::MTextParagraph& p : paragraphs) {
    Line line;
    double indent = (p.indentFirst + p.indentLeft) * baseHeight;
    auto finishLine = [&] {
      if (line.tallest <= 0.0) line.tallest = baseHeight;
      lines.push_back(std::move(line));
      lineAlign.emplace_back(p.align, indent);
      line = Line{};
      indent = p.indentLeft * baseHeight;
    };
    for (const geom::MTextRun& r : p.runs) {
      const geom::RunFormat& f = r.format;
      const bool own = f.font.empty() && !f.bold && !f.italic;
      const Font& font = own ? *face.font : engine_.font(fontRequestForRun(f.font, false, f.bold, f.italic));
      // A run in an SHX font named by file (\F) draws Chinese as the big font would.
      const double wideScale = own                                ? face.wideScale
                               : !f.font.empty() && namesShxFont(f.font) &&
                                         f.font.find('.') != std::string::npos
                                   ? font.wideScale()
                                   : 1.0;
      const double h = f.height > 0.0 ? f.height : baseHeight;
      const std::vector<std::string_view> pieces =
          wrap ? breakPieces(r.text) : std::vector<std::string_view>{std::string_view(r.text)};
      for (std::string_view piece : pieces) {
        Token tok;
        tok.run.font = &font;
        tok.run.color = f.color;
        tok.run.underline = f.underline;
        tok.run.overline = f.overline;
        tok.run.strike = f.strike;
        tok.height = h;
        tok.scale = h / font.capHeight();
        tok.wf = f.widthFactor * face.widthFactor;
        tok.slant = std::tan((f.oblique != 0.0 ? f.oblique : face.oblique) * kDegree);
        shapeOrMeasure(font, piece, measureOnly, f.tracking, wideScale, tok.run.shaped);
        tok.width = tok.run.shaped.advance * tok.scale * tok.wf;
        const std::string_view ink = withoutTrailingBlanks(piece);
        tok.inkWidth = ink.size() == piece.size() ? tok.width
                                                  : engine_.measure(font, ink, wideScale) * f.tracking * tok.scale * tok.wf;
        if (wrap && !line.tokens.empty() && indent + line.width + tok.inkWidth > m.width) finishLine();
        line.tallest = std::max(line.tallest, h);
        const double x = line.width;
        line.width += tok.width;
        line.tokens.emplace_back(std::move(tok), x);
      }
    }
    finishLine();
  }
  if (lines.empty()) return;

  // Baselines from the top down, the box's width, and where the box hangs.
  const bool exact = m.lineSpacingStyle == 2;
  const double spacing = m.lineSpacing > 0.0 && m.lineSpacing <= 100.0 ? m.lineSpacing : 1.0;
  std::vector<double> baselines(lines.size());
  double y = 0.0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 0) y = -lines[0].tallest;
    else y -= 5.0 / 3.0 * spacing * (exact ? baseHeight : std::max(baseHeight, lines[i].tallest));
    baselines[i] = y;
  }
  double boxWidth = wrap ? m.width : 0.0;
  if (!wrap)
    for (std::size_t i = 0; i < lines.size(); ++i) boxWidth = std::max(boxWidth, lineAlign[i].second + lines[i].width);
  const double bottom = baselines.back();
  const int a = static_cast<int>(m.attachment) - 1;  // 0..8
  const double dx = a % 3 == 0 ? 0.0 : a % 3 == 1 ? -boxWidth / 2.0 : -boxWidth;
  const double dy = a / 3 == 0 ? 0.0 : a / 3 == 1 ? -bottom / 2.0 : -bottom;
  if (!(std::abs(boxWidth) <= kMostHeightsLong * baseHeight) || !std::isfinite(bottom)) return;

  // The box's axes seen from above.
  const geom::Point3 n = unit(m.extrusion);
  geom::Point3 xAxis;
  if (m.hasXDirection && (m.xDirection.x != 0.0 || m.xDirection.y != 0.0 || m.xDirection.z != 0.0)) {
    xAxis = unit(m.xDirection);
  } else {
    const geom::OcsAxes ocs = geom::ocsAxes(m.extrusion);
    const double r = m.rotation * kDegree, c = std::cos(r), s = std::sin(r);
    xAxis = {c * ocs.x.x + s * ocs.y.x, c * ocs.x.y + s * ocs.y.y, c * ocs.x.z + s * ocs.y.z};
  }
  const geom::Point3 yAxis = cross(n, xAxis);
  const geom::Affine frame{xAxis.x, xAxis.y, yAxis.x, yAxis.y, m.position.x, m.position.y};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Line& line = lines[i];
    const auto [align, indent] = lineAlign[i];
    double ink = 0.0;
    for (const auto& [tok, x] : line.tokens) ink = std::max(ink, x + tok.inkWidth);
    double x0 = indent;
    if (align == geom::ParagraphAlign::center) x0 = (boxWidth - ink) / 2.0;
    else if (align == geom::ParagraphAlign::right) x0 = boxWidth - ink;
    for (auto& [tok, x] : line.tokens) {
      if (tok.run.shaped.advance == 0.0) continue;
      const double s = tok.scale;
      tok.run.toEntity = frame * geom::Affine{tok.wf * s, 0.0, -tok.slant * s, -s, dx + x0 + x, dy + baselines[i]};
      out.push_back(std::move(tok.run));
    }
  }
}

}  // namespace orv::render
