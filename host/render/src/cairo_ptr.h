// Owning handles for cairo objects and a scope guard for the context's state.
#pragma once

#include <cairo.h>

#include <memory>

namespace orv::render {

struct SurfaceRelease {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextRelease {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextPtr = std::unique_ptr<cairo_t, ContextRelease>;

// cairo_save on construction, cairo_restore on destruction.
class SavedState {
 public:
  explicit SavedState(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;
  ~SavedState() { cairo_restore(cr_); }

 private:
  cairo_t* cr_;
};

}  // namespace orv::render
