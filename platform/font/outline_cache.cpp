#include "platform/font/outline_cache.h"

#include FT_OUTLINE_H
#include FT_BBOX_H

#include <mutex>
#include <unordered_map>

#include "platform/svg_shapes.h"

namespace lexaro::font {
namespace {

// What makes two outlines the same drawing (see KeptOutline). Faces are
// loaded once per process and never freed, so their addresses are stable.
struct Key {
  const LoadedFace* face;
  unsigned index;
  int dx, dy;
  bool bold;
  bool operator==(const Key&) const = default;
};

struct KeyHash {
  size_t operator()(const Key& k) const noexcept {
    size_t h = std::hash<const void*>()(k.face);
    h = h * 1000003u ^ k.index;
    h = h * 1000003u ^ size_t(unsigned(k.dx)) ^ size_t(unsigned(k.dy)) << 20;
    return h * 2 + k.bold;
  }
};

// Guarded by the engine's lock.
struct Store {
  std::unordered_map<Key, KeptOutline, KeyHash> outlines;
  size_t pathBytes = 0;
};

Store& TheStore() {
  static Store store;
  return store;
}

KeptOutline Read(const FT_Outline& outline) {
  KeptOutline k;
  k.loaded = true;
  k.path = svg::OutlinePath(outline);
  k.evenOdd = (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
  k.hasPoints = outline.n_points > 0;
  k.hasContours = outline.n_contours > 0;
  if (k.hasPoints) FT_Outline_Get_CBox(&outline, &k.controlBox);
  if (k.hasPoints && k.hasContours)
    k.hasInkBox = FT_Outline_Get_BBox(const_cast<FT_Outline*>(&outline), &k.inkBox) == 0;
  return k;
}

}  // namespace

const KeptOutline* KeptGlyphOutline(RealizedFont& font, const Glyph& g) {
  if (!g.face) return nullptr;
  Store& store = TheStore();
  Key key{g.face, g.index, g.dx, g.dy, font.SynthBold()};
  auto it = store.outlines.find(key);
  if (it != store.outlines.end()) return it->second.loaded ? &it->second : nullptr;
  Affine unused;
  const FT_Outline* outline = font.GlyphOutline(g, 0, 0, 0, &unused);
  // A glyph without outline is kept too, so that it is not loaded again.
  KeptOutline kept = outline ? Read(*outline) : KeptOutline{};
  if (store.outlines.size() >= kMaxKeptOutlines || store.pathBytes + kept.path.size() > kMaxKeptPathBytes) {
    store.outlines.clear();
    store.pathBytes = 0;
  }
  store.pathBytes += kept.path.size();
  const KeptOutline& added = store.outlines.emplace(key, std::move(kept)).first->second;
  return added.loaded ? &added : nullptr;
}

size_t KeptOutlineCount() {
  std::lock_guard lock(Mutex());
  return TheStore().outlines.size();
}

}  // namespace lexaro::font
