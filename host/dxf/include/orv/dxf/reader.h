// Reading ASCII DXF (R12 to R2018) into a drawing database.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/db/database.h"

namespace orv::dxf {

// Something read with doubts: the drawing was read, and this is what the reader changed
// (repaired) or could not interpret. Messages are Chinese, for the user, and name no file.
struct Finding {
  std::size_t line = 0;  // line of the file, 0 when it concerns the whole file
  std::string message;
};

struct ReadResult {
  std::optional<db::Database> drawing;  // present when the file could be read
  // Otherwise why not, for the user, in Chinese: for a damaged file the line and what was
  // expected there ("第 12 行：……"). It names no file: the caller does, once.
  std::string error;
  // The damaged line (0 when the reason is not about one) and the reason without it.
  std::size_t errorLine = 0;
  std::string errorReason;
  std::vector<Finding> findings;
  // How many entities a second reader read and the drawing took as they were made (see
  // ReadOptions::Split); 0 when the file was read on one thread.
  std::size_t entitiesReadApart = 0;
  bool ok() const { return drawing.has_value(); }
};

// How a file is read. The result is the same whichever way.
struct ReadOptions {
  // The ENTITIES section is split into tags (and its numbers parsed) on a second thread
  // while this one builds the entities: `automatic` does so for a large section when the
  // machine has a core free. One thread is the default: handing the tags over costs more
  // than splitting them saves (the 100k plan opens in 0.63 s on two, 0.57 s on one).
  enum class Threads { automatic, one, two };
  Threads threads = Threads::one;
  std::size_t tagsPerHandOver = 1024;  // tags passed from one thread to the other at a time
  // A large ENTITIES section is read in two parts at once: a second reader reads the part
  // from `splitAt` of what is left of the file on a thread of its own, and its entities
  // join the drawing when the first reader gets to where that part begins. `automatic`
  // does so for a section from `splitFrom` bytes on, on a machine of more than one core
  // (busy or not: the second part costs little more processor time than reading it
  // here, its entities being taken over where they were made). Whatever
  // the second reader meets that asks for a finding (or its part does not begin where an
  // entity does) makes the first read that part itself: the drawing, findings and errors
  // are those of reading on one thread.
  enum class Split { automatic, never, always };
  Split split = Split::automatic;
  std::size_t splitFrom = std::size_t{8} << 20;
  double splitAt = 0.5;
};

// Reads a whole DXF file held in memory.
ReadResult readDxf(std::string_view bytes, const ReadOptions& options = {});

// Reads a DXF file (mapped into memory, not copied).
ReadResult readDxfFile(const std::filesystem::path& path);

}  // namespace orv::dxf
