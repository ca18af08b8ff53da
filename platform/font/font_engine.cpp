#include "platform/font/font_engine.h"

#include <cstring>
#include <string_view>

namespace lexaro::font {
namespace {

// Realised fonts kept beyond their last use; the cache forgets unused ones
// when it grows past this many.
constexpr size_t kMaxCachedFonts = 1024;

long g_realized = 0;

// The cache key: the LOGFONT without the escapement and orientation, with
// the face name's unused bytes zeroed so equal fonts have equal bytes, and
// whether the font hints.
struct FontKey {
  LOGFONT lf;
  bool hinting;
  bool operator==(const FontKey& k) const { return lf == k.lf && hinting == k.hinting; }
};

FontKey KeyOf(const LOGFONT& lf, bool hinting) {
  LOGFONT k = lf;
  k.lfEscapement = 0;
  k.lfOrientation = 0;
  char face[LF_FACESIZE + 1] = {};
  std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
  SetFaceName(k, face);
  return FontKey{k, hinting};
}

struct KeyHash {
  size_t operator()(const FontKey& k) const noexcept {
    return std::hash<std::string_view>()(
               std::string_view(reinterpret_cast<const char*>(&k.lf), sizeof k.lf)) ^
           size_t(k.hinting);
  }
};

}  // namespace

std::recursive_mutex& Mutex() {
  static std::recursive_mutex m;
  return m;
}

std::shared_ptr<RealizedFont> Realize(const LOGFONT& lf, bool hinting) {
  static_assert(sizeof(LOGFONT) == 60, "LOGFONT must have no padding: it is hashed as bytes");
  static std::unordered_map<FontKey, std::shared_ptr<RealizedFont>, KeyHash> cache;
  std::lock_guard lock(Mutex());
  FontKey key = KeyOf(lf, hinting);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() >= kMaxCachedFonts) {
    std::erase_if(cache, [](const auto& e) { return e.second.use_count() == 1; });
  }
  auto font = std::make_shared<RealizedFont>(key.lf, hinting);
  ++g_realized;
  cache.emplace(key, font);
  return font;
}

long RealizedFontCount() {
  std::lock_guard lock(Mutex());
  return g_realized;
}

CSize MeasureText(const LOGFONT& lf, const char* s, int n, int codePage) {
  std::lock_guard lock(Mutex());
  auto font = Realize(lf);
  return CSize(font->Width(s, n, codePage), font->Metrics().tmHeight);
}

void GetMetrics(const LOGFONT& lf, TEXTMETRIC* tm) {
  std::lock_guard lock(Mutex());
  *tm = Realize(lf)->Metrics();
}

}  // namespace lexaro::font
