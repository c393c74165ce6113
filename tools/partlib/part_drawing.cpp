// Building a library drawing from a part source: blocks, icon, reference, extents, file.
#include "part_drawing.h"

#include <cmath>
#include <cstdio>
#include <system_error>
#include <type_traits>
#include <variant>

#include "orv/render/block_icon.h"
#include "orv/dxf/writer.h"
#include "part_extents.h"

namespace orv::partlib {

namespace {

// Coordinates closer than this to the declared extent count as equal: the extent
// is met exactly, apart from the last bits of a sine or cosine.
constexpr double kExtentTolerance = 1e-9;

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

std::string describe(const Box& b) {
  return number(b.minX) + "," + number(b.minY) + " " + number(b.maxX) + "," + number(b.maxY);
}

bool sameBox(const Box& a, const Box& b) {
  return std::abs(a.minX - b.minX) <= kExtentTolerance && std::abs(a.minY - b.minY) <= kExtentTolerance &&
         std::abs(a.maxX - b.maxX) <= kExtentTolerance && std::abs(a.maxY - b.maxY) <= kExtentTolerance;
}

class Builder {
 public:
  Builder(const PartSource& part, std::string_view file)
      : part_(part), file_(file), drawing_(db::Database::newDrawing()) {}

  DrawingResult build() {
    for (const BlockSource& b : part_.nested) addBlock(b);
    const std::optional<db::BlockId> main = addBlock(part_.block);
    if (main && errors_.empty()) finish(*main);
    DrawingResult r;
    r.errors = std::move(errors_);
    if (r.errors.empty()) r.drawing = std::move(drawing_);
    return r;
  }

 private:
  void fail(int line, std::string message) { errors_.push_back({std::string(file_), line, std::move(message)}); }

  std::optional<db::BlockId> addBlock(const BlockSource& source) {
    auto block = drawing_.addBlock(source.name, {});
    if (!block) {
      fail(source.line, "block \"" + source.name + "\": " + block.error().message);
      return std::nullopt;
    }
    for (const Item& item : source.items) addItem(item, *block);
    return *block;
  }

  void addItem(const Item& item, db::BlockId owner) {
    db::Entity e;
    if (const auto* ins = std::get_if<Insert>(&item.shape)) {
      const auto target = drawing_.findBlock(ins->block);
      if (!target) return fail(item.line, "no block \"" + ins->block + "\"");
      db::BlockReference ref;
      ref.block = *target;
      ref.position = {ins->position.x, ins->position.y, 0.0};
      ref.xScale = ins->xScale;
      ref.yScale = ins->yScale;
      ref.rotation = ins->rotation;
      e.geometry = ref;
    } else {
      std::visit(
          [&](const auto& g) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(g)>, Insert>) e.geometry = g;
          },
          item.shape);
    }
    e.color = item.color;
    e.linetype = drawing_.intern(item.linetype);
    if (auto added = drawing_.append(std::move(e), owner); !added)
      fail(item.line, "the drawing refuses this entity: " + added.error().message);
  }

  void finish(db::BlockId main) {
    const std::optional<Box> extents = blockExtents(drawing_, main);
    if (!extents) return fail(0, "the part draws nothing");
    if (part_.extent && !sameBox(*extents, *part_.extent))
      return fail(part_.extentLine, "the part is drawn over " + describe(*extents) + ", not over the extent " +
                                        describe(*part_.extent));

    auto icon = render::blockIconBytes(drawing_, main);
    if (!icon) return fail(0, "the part's preview icon cannot be drawn");
    drawing_.editBlock(main).preview = std::move(*icon);

    db::BlockReference ref;
    ref.block = main;
    if (auto added = drawing_.append(db::Entity(ref)); !added)
      return fail(0, "the reference to the part cannot be added: " + added.error().message);

    drawing_.header.insertionBase = {};
    drawing_.header.extentsMin = {extents->minX, extents->minY, 0.0};
    drawing_.header.extentsMax = {extents->maxX, extents->maxY, 0.0};
  }

  const PartSource& part_;
  std::string_view file_;
  db::Database drawing_;
  std::vector<Diagnostic> errors_;
};

}  // namespace

DrawingResult buildPartDrawing(const PartSource& part, std::string_view file) {
  return Builder(part, file).build();
}

std::vector<Diagnostic> buildPartFile(const std::filesystem::path& source, const std::filesystem::path& outDir) {
  ReadResult read = readPartSourceFile(source);
  if (!read.part) return std::move(read.errors);
  const std::u8string label8 = source.u8string();
  const std::string label(label8.begin(), label8.end());
  DrawingResult built = buildPartDrawing(*read.part, label);
  if (!built.drawing) return std::move(built.errors);

  std::error_code ec;
  std::filesystem::create_directories(outDir, ec);
  const std::u8string name(read.part->name.begin(), read.part->name.end());
  const std::filesystem::path target = outDir / std::filesystem::path(name + u8".dxf");
  if (auto saved = dxf::saveDxfFile(*built.drawing, target); !saved) {
    const std::u8string t8 = target.u8string();
    return {{label, 0, "cannot write " + std::string(t8.begin(), t8.end()) + ": " + saved.message}};
  }
  return {};
}

}  // namespace orv::partlib
