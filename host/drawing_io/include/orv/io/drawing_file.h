// Opening a drawing file by what its bytes are: ASCII DXF read by the DXF reader, DWG
// converted to DXF by the converter process (dwg_converter.h) and then read the same way.
// Every failure is an OpenError: what went wrong, in data; the program words it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/db/database.h"
#include "orv/dxf/reader.h"

namespace orv::io {

// What the first bytes of a file say it is.
enum class FileKind {
  asciiDxf,   // group code lines: what the DXF reader reads
  binaryDxf,  // "AutoCAD Binary DXF"
  dwg,        // "AC10nn" (R13 on: AC1012 to AC1032)
  oldDwg,     // "AC10nn" or "AC2.10"/"AC1.x" of a release before R13, or MC0.0
  empty,
  other,
};

// The kind of a file from its first bytes (any number; 32 are plenty).
FileKind detectKind(std::string_view head);
// The DWG release name of "AC10nn" ("R2000" for AC1015), empty when unknown.
std::string dwgReleaseName(std::string_view head);

struct OpenError {
  enum class Kind {
    none,
    system,            // the file cannot be read: `code` is the errno
    notFile,           // a folder, or not a regular file
    empty,             // no bytes at all
    notDrawing,        // neither DXF nor DWG
    binaryDxf,         // binary DXF, not read
    oldDwg,            // a DWG of a release before R13 (`detail`: its signature)
    damagedDxf,        // the DXF reader's reason in `detail`, the line in `line`
    damagedDwg,        // LibreDWG could not read it: `code` holds its error bits
    converterMissing,  // node, or the converter script, is not there: `detail` names it
    libraryMissing,    // the converter runs, but LibreDWG's module does not load
    converterExit,     // the converter ended with exit status `code`
    converterSignal,   // the converter was ended by signal `code`
    converterTimeout,  // it ran past `code` seconds and was stopped
    converterMemory,   // it used more than `code` MB and was stopped
    converterOutput,   // what it wrote is no DXF: `detail` says what it was
  };
  Kind kind = Kind::none;
  long long code = 0;
  std::size_t line = 0;
  std::string detail;
  explicit operator bool() const { return kind != Kind::none; }
};

struct OpenedDrawing {
  std::optional<db::Database> drawing;  // present when the file could be read
  FileKind kind = FileKind::other;
  OpenError error;                       // otherwise why not
  std::vector<dxf::Finding> findings;    // what was read with doubts
  // A DWG whose DXF writer failed, rebuilt from what LibreDWG's object model holds:
  // entities or tables may be missing.
  bool rebuiltFromObjects = false;
  bool ok() const { return drawing.has_value(); }
};

struct OpenOptions {
  // For a DWG: convert every DWG of its folder that is not converted yet in the same
  // converter process (library folders, whose parts are read one after the other).
  bool convertFolder = false;
};

// Opens a drawing file, DXF or DWG, whatever its name ends with.
OpenedDrawing openDrawingFile(const std::filesystem::path& path, const OpenOptions& options = {});

// The file name patterns of the drawings that open, for file dialogs.
inline constexpr const char* kDrawingPatterns = "*.dwg *.DWG *.dxf *.DXF";

// True for a name ending in ".dwg" in any case.
bool hasDwgExtension(const std::filesystem::path& path);

}  // namespace orv::io
