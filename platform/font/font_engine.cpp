#include "platform/font/font_engine.h"

#include <cstddef>
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

// The fonts realised last, by the bytes of the LOGFONT asked for: layout and
// drawing ask for the same few fonts again and again (every metric is a
// request), and comparing raw bytes costs less than building and hashing a
// cache key. A request whose face name has stray bytes past its end misses
// here and goes through the cache as before. Guarded by Mutex().
class RecentFonts {
 public:
  // The entry found last is tried first: runs of requests ask for one font.
  // Null when none matches; an entry stays until the next Remember.
  const std::shared_ptr<RealizedFont>* Find(const LOGFONT& lf, bool hinting) {
    if (Matches(m_entries[m_hit], lf, hinting)) return &m_entries[m_hit].font;
    for (size_t i = 0; i < kSize; ++i)
      if (Matches(m_entries[i], lf, hinting)) return &m_entries[m_hit = i].font;
    return nullptr;
  }
  const std::shared_ptr<RealizedFont>& Remember(const LOGFONT& lf, bool hinting,
                                                std::shared_ptr<RealizedFont> font) {
    m_hit = m_next;
    m_entries[m_next] = Entry{lf, hinting, std::move(font)};
    m_next = (m_next + 1) % kSize;
    return m_entries[m_hit].font;
  }

 private:
  static constexpr size_t kSize = 8;
  struct Entry {
    LOGFONT lf;
    bool hinting;
    std::shared_ptr<RealizedFont> font;
  };
  // Fonts asked for in turn mostly differ in height (a script, a delimiter
  // piece), which is compared first: a miss seldom reads the whole LOGFONT.
  static bool Matches(const Entry& e, const LOGFONT& lf, bool hinting) {
    return e.font && e.lf.lfHeight == lf.lfHeight && e.hinting == hinting && SameFontButAngle(e.lf, lf);
  }
  Entry m_entries[kSize] = {};
  size_t m_next = 0;
  size_t m_hit = 0;
};

}  // namespace

std::recursive_mutex& Mutex() {
  static std::recursive_mutex m;
  return m;
}

const std::shared_ptr<RealizedFont>& RealizeLocked(const LOGFONT& lf, bool hinting) {
  static_assert(sizeof(LOGFONT) == 60, "LOGFONT must have no padding: it is hashed as bytes");
  static std::unordered_map<FontKey, std::shared_ptr<RealizedFont>, KeyHash> cache;
  static RecentFonts recent;
  if (auto* font = recent.Find(lf, hinting)) return *font;
  FontKey key = KeyOf(lf, hinting);
  auto it = cache.find(key);
  if (it != cache.end()) return recent.Remember(lf, hinting, it->second);
  if (cache.size() >= kMaxCachedFonts) {
    std::erase_if(cache, [](const auto& e) { return e.second.use_count() == 1; });
  }
  auto font = std::make_shared<RealizedFont>(key.lf, hinting);
  ++g_realized;
  cache.emplace(key, font);
  return recent.Remember(lf, hinting, std::move(font));
}

std::shared_ptr<RealizedFont> Realize(const LOGFONT& lf, bool hinting) {
  std::lock_guard lock(Mutex());
  return RealizeLocked(lf, hinting);
}

long RealizedFontCount() {
  std::lock_guard lock(Mutex());
  return g_realized;
}

}  // namespace lexaro::font
