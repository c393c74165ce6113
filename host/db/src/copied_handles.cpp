// References between copies: a copy names the copy of what its original named.
#include "orv/db/copied_handles.h"

namespace orv::db {

namespace {

bool remapLeader(Leader& l, const std::function<Handle(Handle)>& copyOf) {
  if (l.annotation == 0) return false;
  if (const Handle h = copyOf(l.annotation)) {
    l.annotation = h;
    return true;
  }
  l.annotation = 0;
  l.creation = 3;  // no annotation
  return true;
}

bool remapHatch(Hatch& h, const std::function<Handle(Handle)>& copyOf) {
  bool changed = false, lost = false;
  for (HatchPath& p : h.paths) {
    std::vector<Handle> kept;
    for (Handle s : p.sources) {
      if (const Handle c = copyOf(s)) kept.push_back(c);
      else lost = true;
    }
    changed = changed || kept != p.sources;
    p.sources = std::move(kept);
  }
  if (lost && h.associative) {
    // Some boundary stays behind: the copy follows none of it.
    for (HatchPath& p : h.paths) p.sources.clear();
    h.associative = false;
  }
  return changed;
}

}  // namespace

bool remapCopiedHandles(Geometry& g, const std::function<Handle(Handle)>& copyOf) {
  if (auto* l = std::get_if<Boxed<Leader>>(&g)) return remapLeader(**l, copyOf);
  if (auto* h = std::get_if<Boxed<Hatch>>(&g)) return remapHatch(**h, copyOf);
  return false;
}

}  // namespace orv::db
