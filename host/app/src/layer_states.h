// Each layer's states as the window's layer control and layer manager show them, and
// LAYER's one-line form ("LAYER OFF 管道", "LAYER C 3 管道") that changes them as one
// step of UNDO, so that a click there and a script line do the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/db/database.h"

namespace orv::app {

class Session;

// What a layer's record says of it.
inline bool layerIsOff(const db::Layer& l) { return l.color < 0; }
inline bool layerIsFrozen(const db::Layer& l) { return (l.flags & 1) != 0; }
inline bool layerIsLocked(const db::Layer& l) { return (l.flags & 4) != 0; }
// Plotted unless its record says not (group 290 set to 0).
bool layerPlots(const db::Layer& l);
// The record with group 290 set (true: plotted), its other kept tags as they were.
db::Layer withPlotting(db::Layer l, bool plots);

// A layer's lineweight as typed (see parseLineweight): a standard one or the default,
// never BYLAYER or BYBLOCK; nullopt for anything else.
std::optional<std::int16_t> parseLayerLineweight(std::string_view typed);

// A layer colour as typed: 1 to 255 or a colour's name (RED, 红, ...); nullopt otherwise.
std::optional<int> parseLayerColour(std::string_view typed);

// Layer names as LAYER takes them: a list separated by commas, each trimmed, empty ones
// left out; and whether a name is one a layer may have.
std::vector<std::string> splitLayerNames(std::string_view text);
bool validLayerName(std::string_view name);

// LAYER's one-line form: an option, its value where it takes one, and a list of layer
// names separated by commas:
//   ON/OFF/F/T/LO/U 名称列表, C 颜色 名称列表, L 线型 名称列表, LW 线宽 名称列表,
//   P 是否打印(Y/N) 名称列表, N 名称列表, S 名称, M 名称, R 旧名,新名 (or "旧名 新名"),
//   D 名称列表 (only layers nothing uses: not 0, DEFPOINTS or the current one).
// In a list of existing layers "*" and "?" match as in file names.
// Refusals are printed in Chinese; false when nothing could be done.
bool layerFromLine(Session& s, std::string_view line);

}  // namespace orv::app
