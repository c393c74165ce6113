// How entities look: layer colour and visibility, linetype patterns, resolved by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orv/db/database.h"
#include "orv/geom/kept.h"

namespace orv::render {

struct Pens;  // page.h

// A linetype as the picture uses it: a pattern id, or one of these.
inline constexpr std::int32_t kContinuous = -1;
inline constexpr std::int32_t kByLayer = -2;
inline constexpr std::int32_t kByBlock = -3;

// A resolved colour: an AutoCAD colour index 1-255 (7 takes the background's contrast),
// or, with kTrueColor set, 0xRRGGBB below it.
using Ink = std::uint32_t;
inline constexpr Ink kTrueColor = 0x1000000u;
inline constexpr Ink indexInk(int index) { return static_cast<Ink>(index >= 1 && index <= 255 ? index : 7); }
inline constexpr Ink trueInk(std::uint32_t rgb) { return kTrueColor | (rgb & 0xFFFFFFu); }

// A dash pattern in drawing units, ready for cairo: lengths alternate dash, gap, dash,
// gap..., starting with a dash and even in number. A dash of length 0 is a dot. `offset`
// is where along the pattern an entity starts (a pattern that begins with a gap is
// rotated so that it begins with a dash, and starts at that gap).
struct DashPattern {
  std::vector<double> lengths;
  double offset = 0.0;
  double total = 0.0;  // sum of the lengths
  int dots = 0;        // dashes of length 0
};

// Turns linetype elements (dash > 0, gap < 0, dot 0) into a pattern; false when the
// elements draw a solid line (no gaps, nothing, or a value that is not finite).
bool makeDashPattern(const std::vector<db::DashElement>& elements, DashPattern& out);

struct LayerStyle {
  Ink color = 7;                        // its index, or its true colour (420)
  std::int32_t linetype = kContinuous;  // a pattern id or kContinuous
  std::int16_t lineweight = -3;         // hundredths of a mm, -3 the default
  bool off = false;     // entities on it are not drawn
  bool frozen = false;  // neither are they, nor block references on it with all they hold
  bool plots = true;    // 290: false for a layer set not to plot
};

// Drawing-wide settings of how things show, from the header.
struct DisplaySettings {
  bool lineweights = false;         // $LWDISPLAY: lineweights drawn
  std::int16_t defaultLineweight = 25;  // $LWDEFAULT
  bool fill = true;                 // $FILLMODE: solids, wide polylines and hatches filled
};

// The drawing's layers and linetypes by the names entities carry. Names are resolved
// once each, on first use, the way the tables compare them (ASCII case ignored); a name
// the tables lack gives colour 7 and a continuous line.
class StyleTable {
 public:
  explicit StyleTable(const db::Database& db);

  LayerStyle layer(db::NameId name);
  LayerStyle layer(std::string_view name);
  // A pattern id, kContinuous, kByLayer or kByBlock.
  std::int32_t linetype(db::NameId name);
  std::int32_t linetype(std::string_view name);
  const DashPattern& pattern(std::int32_t id) const { return patterns_[id]; }
  // $LTSCALE, or 1 where it is not a positive number.
  double linetypeScale() const { return linetypeScale_; }
  const DisplaySettings& display() const { return display_; }
  // The pens of a plotted sheet; null for a screen or an export.
  const Pens* pens() const { return pens_; }
  void usePens(const Pens* pens) { pens_ = pens; }
  // Layers drawn as if frozen (a layout viewport's own), by name, ASCII case ignored;
  // given before anything is looked up. Null: none.
  void freezeLayers(const std::vector<std::string>* names) { frozenHere_ = names; }
  // The kind of an entity the database keeps as tags, by its type name.
  geom::KeptKind keptKind(db::NameId type);

 private:
  std::int32_t linetypeByName(std::string_view name) const;
  LayerStyle layerByName(std::string_view name) const;

  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  const db::Database& db_;
  std::vector<DashPattern> patterns_;
  std::vector<std::int32_t> patternOfTableEntry_;  // per linetype table entry
  std::vector<LayerStyle> layers_;                  // by name id
  std::vector<std::uint8_t> layerKnown_;
  std::vector<std::int32_t> linetypes_;  // by name id
  std::vector<std::uint8_t> linetypeKnown_;
  std::vector<geom::KeptKind> kinds_;    // by name id
  std::vector<std::uint8_t> kindKnown_;
  std::unordered_map<std::string, LayerStyle, Hash, std::equal_to<>> layersByText_;
  std::unordered_map<std::string, std::int32_t, Hash, std::equal_to<>> linetypesByText_;
  double linetypeScale_ = 1.0;
  DisplaySettings display_;
  const Pens* pens_ = nullptr;
  const std::vector<std::string>* frozenHere_ = nullptr;
};

}  // namespace orv::render
