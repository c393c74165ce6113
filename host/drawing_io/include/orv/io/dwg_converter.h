// The DWG converter: a separate process (Node running tools/dwg/dwg2dxf.mjs with
// LibreDWG compiled to WebAssembly) that writes each DWG it is given as DXF, run with
// a time and a memory limit; its outcome judged; its DXF files kept in a cache.
//
// Sections: settings; one run of the process; judging its outcome; the cache.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/io/drawing_file.h"

namespace orv::io {

// ---- settings

struct ConverterSettings {
  // The program and its first arguments; each conversion appends IN OUT pairs.
  std::vector<std::string> command;
  // Time allowed: a base plus so much per MB of DWG given.
  double baseSeconds = 30;
  double secondsPerMegabyte = 10;
  // Resident memory allowed, in MB.
  std::size_t memoryMegabytes = 2048;
  std::filesystem::path cacheFolder;  // empty: conversions are not kept
};

// The settings orvcad uses: node (ORVCAD_NODE, else "node" on PATH) with
// --liftoff-only running the converter script found relative to the program
// (ORVCAD_DWG_CONVERTER names another one); limits from ORVCAD_DWG_TIMEOUT (seconds) and
// ORVCAD_DWG_MEMORY (MB); the cache in $XDG_CACHE_HOME/orvcad/dwg (~/.cache/orvcad/dwg).
ConverterSettings defaultConverterSettings();
// The settings in force; tests put others in place (and get the old ones back).
const ConverterSettings& converterSettings();
ConverterSettings useConverterSettings(ConverterSettings settings);

// ---- one run of the converter

// How the converter process ended.
struct ProcessEnd {
  enum class How { exited, signalled, timedOut, overMemory, notStarted };
  How how = How::exited;
  int status = 0;  // exit status, signal number, or the errno of not starting
  std::string output;  // standard output
  std::string errors;  // the end of standard error
};

// Runs the command with the arguments appended, standard input empty, in a process
// group of its own that is killed whole at the limits.
ProcessEnd runConverter(const std::vector<std::string>& command, const std::vector<std::string>& arguments,
                        std::chrono::milliseconds timeLimit, std::size_t memoryMegabytes);

// ---- judging the outcome

// What became of one drawing given to the converter.
struct Conversion {
  OpenError error;                 // none: `dxf` holds its DXF
  bool rebuiltFromObjects = false;
};

// Reads the process's end and its report lines ("ok N", "model N", "fail N CODE WORD")
// for `count` drawings. Whatever the process did, each drawing gets an outcome: those
// it did not report on get the process's failure. `limitSeconds`, `limitMegabytes`:
// the limits it ran with (named in their errors).
std::vector<Conversion> judgeConversion(const ProcessEnd& end, std::size_t count, long long limitSeconds,
                                        long long limitMegabytes);

// Whether the bytes of a file the converter wrote can be DXF: a converterOutput error
// saying what they are otherwise.
OpenError judgeOutput(std::string_view head, std::uintmax_t size);

// ---- the cache, and converting files

// Where the DXF of this DWG is kept (the file need not exist): named by the file's
// absolute path, size, modification time and the hash of its bytes. Empty when the
// DWG cannot be read or there is no cache folder.
std::filesystem::path cachedDxfPath(const std::filesystem::path& dwg, const std::filesystem::path& cacheFolder);

// Converts the DWGs (those not in the cache yet, in one process) and returns, for each,
// where its DXF is or why there is none.
struct ConvertedFile {
  std::filesystem::path dxf;
  Conversion conversion;
};
std::vector<ConvertedFile> convertDwgFiles(const std::vector<std::filesystem::path>& dwgs);

}  // namespace orv::io
