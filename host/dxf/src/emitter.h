// Typed tag output for the writer: numbers, handles, points, hex data and encoded text to a sink.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "orv/db/raw_tags.h"
#include "orv/db/types.h"
#include "orv/dxf/tags.h"

namespace orv::dxf {

class Emitter {
 public:
  explicit Emitter(TagSink& sink) : sink_(sink) {}

  void raw(int code, std::string_view bytes) { sink_.tag(code, bytes); }
  void text(int code, std::string_view utf8);  // GBK with escapes
  void real(int code, double value);
  void integer(int code, long long value);
  void handle(int code, db::Handle h);
  void point(int code, db::Point3 p) {
    real(code, p.x);
    real(code + 10, p.y);
    real(code + 20, p.z);
  }
  void point(int code, db::Point2 p) {
    real(code, p.x);
    real(code + 10, p.y);
  }
  // Bytes as uppercase hex, at most 254 characters a tag.
  void hexLines(int code, std::span<const std::uint8_t> bytes);
  // Kept tags of one slot, in the order they were read.
  void kept(const db::RawTags* tags, std::uint8_t slot);
  // Kept tags of one slot whose code is (or is not) among `codes`.
  void keptFiltered(const db::RawTags* tags, std::uint8_t slot,
                    std::initializer_list<int> codes, bool among);

  TagSink& sink() { return sink_; }

 private:
  TagSink& sink_;
  std::string scratch_;
};

}  // namespace orv::dxf
