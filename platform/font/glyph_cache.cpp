#include "platform/font/glyph_cache.h"

#include <functional>

namespace lexaro::font {

std::size_t GlyphCache::KeyHash::operator()(const Key& k) const noexcept {
  std::size_t h = std::hash<const void*>()(k.face);
  h = h * 1000003u ^ k.index;
  h = h * 1000003u ^ std::size_t(k.dx) ^ std::size_t(k.dy) << 20;
  return h * 1000003u ^ std::size_t(k.escapement);
}

DrawnGlyph& GlyphCache::Lookup(const Key& key) {
  const std::size_t h = KeyHash()(key);
  Recent& recent = m_recent[(h ^ h >> 16) % kRecent];
  if (recent.entry && recent.key == key) return Remember(key, *recent.entry);
  auto it = m_entries.find(key);
  if (it == m_entries.end()) {
    if (m_bytes > kGlyphCacheBytes) {
      m_entries.clear();
      for (Recent& r : m_recent) r.entry = nullptr;
      m_last = nullptr;
      m_bytes = 0;
    }
    it = m_entries.emplace(key, DrawnGlyph{}).first;
    m_bytes += sizeof(DrawnGlyph) + sizeof(Key);
  }
  recent = Recent{key, &it->second};
  return Remember(key, it->second);
}

}  // namespace lexaro::font
