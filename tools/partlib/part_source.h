// Part source files: the text a library part is drawn in, and reading it.
//
// A part source (NAME.part) describes one part of a part library: the block NAME,
// drawn around its base point (0,0), and the blocks it nests. resource/README.md
// describes the statements; in short:
//
//   # comment                     blank lines and text after '#' are ignored
//   extent X,Y X,Y                the part's drawn extents must be exactly this box
//   color N | bylayer | byblock   colour of the entities that follow (1..255)
//   linetype NAME | bylayer       linetype of the entities that follow
//   line X,Y X,Y
//   polyline [closed] [width=W] X,Y [bulge=B] [widths=S,E] X,Y ...
//   arc X,Y R START END           centre, radius, angles in degrees counter-clockwise
//   circle X,Y R
//   dot X,Y D                     a filled disc of diameter D
//   block NAME ... end            a nested block, NAME beginning with the part's name and '-'
//   insert NAME X,Y [scale=SX,SY] [rotation=DEG]
//
// Reading checks everything that can be checked without drawing: every error names
// the file and line and reading goes on, so that one run reports them all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "orv/db/entity.h"

namespace orv::partlib {

// A reference to a block of the same part source, by name.
struct Insert {
  std::string block;
  db::Point2 position;
  double xScale = 1.0;
  double yScale = 1.0;
  double rotation = 0.0;  // degrees counter-clockwise
};

using Shape = std::variant<db::Line, db::Arc, db::Circle, db::Polyline, Insert>;

// One drawing statement with the colour and linetype in force where it stood.
struct Item {
  int line = 0;
  Shape shape;
  std::int16_t color = db::color::byLayer;
  std::string linetype = "ByLayer";
};

struct BlockSource {
  std::string name;
  int line = 0;  // where the block begins (0 for the part's own block)
  std::vector<Item> items;
};

struct Box {
  double minX = 0.0;
  double minY = 0.0;
  double maxX = 0.0;
  double maxY = 0.0;
  bool operator==(const Box&) const = default;
};

struct PartSource {
  std::string name;                // block name, UTF-8
  std::optional<Box> extent;       // what the drawn extents must be
  int extentLine = 0;
  std::vector<BlockSource> nested;  // in the order they are defined
  BlockSource block;               // the part itself
};

// A problem with a part source, at a line of its file (0: the file as a whole).
struct Diagnostic {
  std::string file;
  int line = 0;
  std::string message;
};

// "file:line: message", or "file: message" for the file as a whole.
std::string format(const Diagnostic& d);

struct ReadResult {
  std::optional<PartSource> part;  // present when there is no error
  std::vector<Diagnostic> errors;
};

// Reads the text of a part source. `name` is the part's block name, `file` how
// messages name the source.
ReadResult readPartSource(std::string_view text, std::string_view name, std::string_view file);

// Reads a part source file; the part's name is the file name without its ending.
ReadResult readPartSourceFile(const std::filesystem::path& path);

// Why a text cannot be a block name, or nullopt when it can: not empty, no character
// that drawing files forbid in names, none that the GBK code page lacks.
std::optional<std::string> blockNameProblem(std::string_view name);

}  // namespace orv::partlib
