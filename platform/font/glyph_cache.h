// What drawing keeps of the glyphs of one realised font, by glyph and
// escapement: the box of the glyph's ink relative to its pen position, and
// its coverage at each quarter-pixel position. Drawing a glyph again then
// costs one lookup, a few additions and a blit. The cache holds at most
// kGlyphCacheBytes (entries and maps counted); past that it starts afresh.
// Like the font that owns it, it is used under the font engine's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <unordered_map>

#include "platform/font/face.h"
#include "platform/font/outline_raster.h"

namespace lexaro::font {

constexpr std::size_t kGlyphCacheBytes = 8u << 20;

// A box as offsets from the point it is drawn at: {left, top, right, bottom}.
struct InkOffsets {
  double box[4] = {1e300, 1e300, -1e300, -1e300};
};

struct DrawnGlyph {
  bool measured = false;  // whether the fields below `measured` are known
  bool inked = false;     // whether the glyph has an outline
  // The outline's box mapped to the surface with the pen position at (0, 0),
  // as drawn (plain), and hinted with its baseline on row 0 when hinted.
  InkOffsets plain, hinted;
  // The last box asked for, at pen position (lastX, lastY): a glyph is
  // measured and then drawn at one place.
  double lastX = std::numeric_limits<double>::quiet_NaN(), lastY = 0, lastBox[4] = {};
  // maps[subY * 4 + subX] is rendered when bit subY * 4 + subX is set.
  std::uint16_t rendered = 0;
  Coverage maps[16];
};

class GlyphCache {
 public:
  struct Key {
    const LoadedFace* face;
    unsigned index;
    int dx, dy;
    int escapement;  // tenths of a degree, as asked for
    bool operator==(const Key&) const = default;
  };

  // The entry of key, empty when new. It stays valid until the next Find.
  // The entry found last is checked here, without a call: a glyph is
  // measured and then drawn at once.
  DrawnGlyph& Find(const Key& key) {
    if (m_last && m_lastKey == key) return *m_last;
    return Lookup(key);
  }
  // Counts the bytes of a map stored in an entry.
  void Grew(std::size_t bytes) { m_bytes += bytes; }
  // The bytes held, for tests.
  std::size_t Bytes() const { return m_bytes; }

 private:
  struct KeyHash {
    std::size_t operator()(const Key& k) const noexcept;
  };
  std::unordered_map<Key, DrawnGlyph, KeyHash> m_entries;
  std::size_t m_bytes = 0;
  // Entries found lately, by a few bits of their hash: a formula asks for
  // the same glyphs again and again (measured, then drawn), and a look here
  // costs less than one in the map. Node pointers stay valid until clear().
  static constexpr std::size_t kRecent = 64;
  struct Recent {
    Key key;
    DrawnGlyph* entry = nullptr;
  };
  Recent m_recent[kRecent] = {};
  // The entry found last: a glyph is measured and then drawn at once, so
  // the second look needs no hash.
  Key m_lastKey{};
  DrawnGlyph* m_last = nullptr;
  // Find past the entry found last.
  DrawnGlyph& Lookup(const Key& key);
  DrawnGlyph& Remember(const Key& key, DrawnGlyph& entry) {
    m_lastKey = key;
    m_last = &entry;
    return entry;
  }
};

}  // namespace lexaro::font
