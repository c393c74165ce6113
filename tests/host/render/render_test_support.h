// Helpers for picture tests: small drawings built in code, PNG files read back as pixels.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "orv/db/database.h"
#include "orv/render/colors.h"
#include "orv/render/render.h"

namespace orv::render::test {

namespace fs = std::filesystem;

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// A directory of its own for each test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("orv-render-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  // Names of everything in the directory.
  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(path_)) out.insert(e.path().filename().string());
    return out;
  }

 private:
  fs::path path_;
};

// A PNG file's pixels, read with cairo.
class Pixels {
 public:
  explicit Pixels(const fs::path& png)
      : surface_(cairo_image_surface_create_from_png(png.c_str()), &cairo_surface_destroy) {
    ok_ = cairo_surface_status(surface_.get()) == CAIRO_STATUS_SUCCESS;
    if (ok_) cairo_surface_flush(surface_.get());
  }
  bool ok() const { return ok_; }
  int width() const { return ok_ ? cairo_image_surface_get_width(surface_.get()) : 0; }
  int height() const { return ok_ ? cairo_image_surface_get_height(surface_.get()) : 0; }

  Rgb at(int x, int y) const {
    if (!ok_ || x < 0 || y < 0 || x >= width() || y >= height()) return kWhite;
    const unsigned char* row =
        cairo_image_surface_get_data(surface_.get()) + y * cairo_image_surface_get_stride(surface_.get());
    const std::uint32_t px = reinterpret_cast<const std::uint32_t*>(row)[x];
    return {static_cast<std::uint8_t>(px >> 16), static_cast<std::uint8_t>(px >> 8),
            static_cast<std::uint8_t>(px)};
  }

  // True when some pixel within `radius` of (x, y) shows `want`, at least half covered
  // (anti-aliasing spreads a thin line over two rows).
  bool shows(int x, int y, Rgb want, int radius = 1) const {
    for (int dy = -radius; dy <= radius; ++dy)
      for (int dx = -radius; dx <= radius; ++dx)
        if (close(at(x + dx, y + dy), want)) return true;
    return false;
  }
  // True when every pixel within `radius` of (x, y) is white.
  bool blankAround(int x, int y, int radius = 2) const {
    for (int dy = -radius; dy <= radius; ++dy)
      for (int dx = -radius; dx <= radius; ++dx)
        if (!(at(x + dx, y + dy) == kWhite)) return false;
    return true;
  }
  bool allWhite() const {
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x)
        if (!(at(x, y) == kWhite)) return false;
    return true;
  }
  static bool close(Rgb a, Rgb b) {
    auto d = [](int u, int v) { return std::abs(u - v); };
    return std::max({d(a.r, b.r), d(a.g, b.g), d(a.b, b.b)}) <= 135;
  }

 private:
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface_;
  bool ok_ = false;
};

// ---- drawings

inline db::Entity line(double x0, double y0, double x1, double y1, std::int16_t color = 1) {
  db::Entity e{db::Line{{x0, y0, 0}, {x1, y1, 0}}};
  e.color = color;
  return e;
}
inline db::Entity arc(double cx, double cy, double r, double a0, double a1, std::int16_t color = 3) {
  db::Entity e{db::Arc{{cx, cy, 0}, r, a0, a1}};
  e.color = color;
  return e;
}
inline db::Entity circle(double cx, double cy, double r, std::int16_t color = 5) {
  db::Entity e{db::Circle{{cx, cy, 0}, r}};
  e.color = color;
  return e;
}
inline db::Entity reference(db::BlockId block, double x, double y, double sx = 1, double sy = 1,
                            double rotation = 0, std::int16_t color = db::color::byLayer) {
  db::BlockReference r;
  r.block = block;
  r.position = {x, y, 0};
  r.xScale = sx;
  r.yScale = sy;
  r.rotation = rotation;
  db::Entity e{r};
  e.color = color;
  return e;
}

// Appends an entity (to model space unless a block is given) and checks that it was taken.
inline db::ObjectId add(db::Database& d, db::Entity e, db::BlockId owner = db::BlockId{0}) {
  auto id = d.append(std::move(e), owner);
  EXPECT_TRUE(id.ok()) << (id.ok() ? "" : id.error().message);
  return id.ok() ? *id : db::ObjectId{};
}

inline void addLayer(db::Database& d, const std::string& name, std::int16_t color,
                     const std::string& linetype = "Continuous", std::int16_t flags = 0) {
  db::Layer layer;
  layer.name = name;
  layer.color = color;
  layer.linetype = linetype;
  layer.flags = flags;
  ASSERT_TRUE(d.addLayer(layer).ok());
}

// An invisible (colour 255, white) rectangle from (0, 0) to (170, 120). With kSmallPage
// it fixes the mapping: drawing (x, y) lands on pixel (30 + 2x, 270 - 2y).
inline void addFrame(db::Database& d) {
  db::Polyline pl;
  pl.addVertex({0, 0});
  pl.addVertex({170, 0});
  pl.addVertex({170, 120});
  pl.addVertex({0, 120});
  pl.setClosed(true);
  db::Entity e{pl};
  e.color = 255;
  add(d, e);
}
inline int px(double x) { return static_cast<int>(30 + 2 * x); }
inline int py(double y) { return static_cast<int>(270 - 2 * y); }

// 400×300 pixels with a 30-pixel margin.
inline RenderOptions smallPage() {
  RenderOptions o;
  o.pixelWidth = 400;
  o.pixelHeight = 300;
  o.marginFraction = 0.1;
  return o;
}

// Renders to a PNG file in `dir` and reads it back.
inline Pixels renderPng(const db::Database& d, const TempDir& dir,
                        const RenderOptions& options = smallPage(), RenderResult* result = nullptr) {
  const fs::path file = dir / "picture.png";
  RenderResult r = render(d, file, options);
  EXPECT_TRUE(r.ok) << r.message;
  if (result) *result = r;
  return Pixels(file);
}

}  // namespace orv::render::test
