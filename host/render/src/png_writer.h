// A quick PNG writer for large sheets: RGB rows, light deflate, the resolution recorded.
#pragma once

#include <cstdint>
#include <string>

#include "output_file.h"

namespace orv::render {

// Writes an image of 0x00RRGGBB pixels (rows `stride` bytes apart) as an 8-bit RGB PNG
// that records `dpi`. Empty when it went well, else the reason.
std::string writeSheetPng(OutputFile& file, const unsigned char* data, int width, int height, int stride,
                          double dpi);

}  // namespace orv::render
