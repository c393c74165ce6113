// MTEXT as one-line texts: one TEXT per line of its paragraphs, placed where the line
// stands in the box (for EXPLODE).
#include <algorithm>
#include <cmath>

#include "mtext_lines.h"
#include "orv/core/geometry.h"
#include "orv/geom/mtext.h"

namespace orv::app {

namespace {

// The text of a line without what one-line text cannot hold (tabs and other controls
// become spaces).
std::string plainLine(const geom::MTextParagraph& p) {
  std::string out;
  for (const geom::MTextRun& r : p.runs) out += r.text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::optional<std::vector<db::Text>> mtextLines(const db::MText& m) {
  const db::Point3 n = m.extrusion;
  if (n.x != 0.0 || n.y != 0.0) return std::nullopt;  // not in the drawing plane
  const double base = m.height > 0.0 ? m.height : 2.5;
  const double spacing = m.lineSpacing > 0.0 && m.lineSpacing <= 100.0 ? m.lineSpacing : 1.0;
  const std::vector<geom::MTextParagraph> paragraphs = geom::parseMText(m.content, base);
  struct Line {
    std::string text;
    double height;
    geom::ParagraphAlign align;
  };
  std::vector<Line> lines;
  for (const geom::MTextParagraph& p : paragraphs) {
    double tallest = 0.0;
    for (const geom::MTextRun& r : p.runs)
      if (!r.text.empty()) tallest = std::max(tallest, r.format.height > 0.0 ? r.format.height : base);
    lines.push_back({plainLine(p), tallest > 0.0 ? tallest : base, p.align});
  }
  // Baselines from the top of the box down, as the text's own layout spaces them.
  std::vector<double> baselines(lines.size());
  double y = 0.0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 0) y = -lines[0].height;
    else y -= 5.0 / 3.0 * spacing * (m.lineSpacingStyle == 2 ? base : std::max(base, lines[i].height));
    baselines[i] = y;
  }
  const int a = static_cast<int>(m.attachment) - 1;
  const int col = a % 3, row = a / 3;
  const double bottom = baselines.empty() ? 0.0 : baselines.back();
  const double dy = row == 0 ? 0.0 : row == 1 ? -bottom / 2.0 : -bottom;
  // Lines stand by the side of the box the attachment names (a paragraph aligned
  // otherwise, in a box of known width, by its own side).
  const double boxLeft = col == 0 ? 0.0 : col == 1 ? -m.width / 2.0 : -m.width;
  const double angle = core::normalizeDegrees(m.angle());
  const core::Vec2 along = core::unitAtDegrees(angle), up = core::perp(along);
  std::vector<db::Text> out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].text.empty()) continue;
    int side = col;
    if (m.width > 0.0 && lines[i].align == geom::ParagraphAlign::center) side = 1;
    if (m.width > 0.0 && lines[i].align == geom::ParagraphAlign::right) side = 2;
    if (m.width > 0.0 && lines[i].align == geom::ParagraphAlign::left) side = 0;
    const double x = side == col ? 0.0 : boxLeft + m.width * side / 2.0;
    const core::Vec2 p = core::Vec2{m.position.x, m.position.y} + x * along + (dy + baselines[i]) * up;
    db::Text t = db::makeText({p.x, p.y, m.position.z}, lines[i].height, lines[i].text);
    t.style = m.style;
    t.rotation = angle;
    if (side != 0) {
      t.hAlign = side == 1 ? db::TextHAlign::center : db::TextHAlign::right;
      t.alignPoint = t.position;
      t.hasAlignPoint = true;
    }
    out.push_back(std::move(t));
  }
  return out;
}

}  // namespace orv::app
