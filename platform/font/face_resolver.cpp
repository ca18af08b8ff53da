// Face names to font files. Names that fontconfig does not know (the
// platform fonts the markup names) go through our substitution table; any
// other name gets fontconfig's best match; DejaVu Sans is the last resort.
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/font/face.h"
#include "platform/font/face_cache.h"
#include "platform/font/font_engine.h"

namespace lexaro::font {
namespace {

struct Substitute {
  const char* name;
  const char* family;
  const char* file;  // preferred file name among the family's files, or null
  Encoding encoding;
  unsigned char charset;
  std::span<const GlyphShift> shifts = {};
};

// The pieces of tall parentheses in Standard Symbols PS, moved to where the
// other bracket and brace pieces put them. Their lower ends (0xE8, 0xF8)
// reach 293 units below the baseline where every other piece ends about 80
// below; pieces are stacked by the font's ascent and descent, so the
// parentheses would hang 0.21 em below their span: raised by the
// difference. And the pieces (ink 40-436 and 54-450) stand right of their
// 384-unit advance, the right ones entirely so: each side is moved left to
// centre its ink in the advance, so both parentheses keep the same distance
// from what they enclose and stay within their width.
constexpr int kLeftParenDx = 192 - (40 + 436) / 2;
constexpr int kRightParenDx = 192 - (54 + 450) / 2;
constexpr GlyphShift kSymbolShifts[] = {
    {0xE6, kLeftParenDx, 0}, {0xE7, kLeftParenDx, 0}, {0xE8, kLeftParenDx, 213},
    {0xF6, kRightParenDx, 0}, {0xF7, kRightParenDx, 0}, {0xF8, kRightParenDx, 213},
};

constexpr Substitute kSubstitutes[] = {
    {"Symbol", "Standard Symbols PS", "StandardSymbolsPS.otf", Encoding::Symbol, SYMBOL_CHARSET,
     kSymbolShifts},
    {"Wingdings", "DejaVu Sans", nullptr, Encoding::Wingdings, SYMBOL_CHARSET},
    {"Times New Roman", "Liberation Serif", nullptr, Encoding::Text, ANSI_CHARSET},
    {"Arial", "Liberation Sans", nullptr, Encoding::Text, ANSI_CHARSET},
    {"Courier New", "Liberation Mono", nullptr, Encoding::Text, ANSI_CHARSET},
    {"ＭＳ ゴシック", "IPAGothic", "ipag.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"MS Gothic", "IPAGothic", "ipag.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"ＭＳ Ｐゴシック", "IPAPGothic", "ipagp.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"MS PGothic", "IPAPGothic", "ipagp.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"ＭＳ 明朝", "IPAMincho", "ipam.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"MS Mincho", "IPAMincho", "ipam.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"ＭＳ Ｐ明朝", "IPAPMincho", "ipamp.ttf", Encoding::Text, SHIFTJIS_CHARSET},
    {"MS PMincho", "IPAPMincho", "ipamp.ttf", Encoding::Text, SHIFTJIS_CHARSET},
};

constexpr const char* kLastResort = "DejaVu Sans";

// The answer caches forget everything when they reach this size, so text
// with endless distinct face names or characters cannot grow them forever.
constexpr size_t kMaxCacheEntries = 1 << 16;

// Asking fontconfig about a name costs a third of a millisecond, most of it
// in its substitution rules. Installed families are always asked about;
// other names (aliases such as "Helvetica", or names of nothing at all) only
// this many times per process, after which they get the last-resort face,
// which is fontconfig's own answer for a name it does not know. Markup with
// endless distinct face names thus costs a hash look-up per name.
constexpr int kMaxUninstalledLookups = 1024;

const Substitute* FindSubstitute(const std::string& name) {
  for (const Substitute& s : kSubstitutes)
    if (strcasecmp(s.name, name.c_str()) == 0) return &s;
  return nullptr;
}

// Fontconfig's configuration, loaded on first use: answers found in the
// disk cache (see face_cache.h) need none.
FcConfig* Config() {
  static FcConfig* config = FcInitLoadConfigAndFonts();
  return config;
}

void AddAll(FcStrList* list, std::vector<std::string>* out) {
  if (!list) return;
  while (FcChar8* s = FcStrListNext(list)) out->emplace_back(reinterpret_cast<const char*>(s));
  FcStrListDone(list);
}

// What the configuration was built from: its files and font directories,
// and the places of the user's own configuration, which may yet appear.
const std::vector<std::string>& Watched() {
  static const std::vector<std::string> paths = [] {
    std::vector<std::string> all;
    AddAll(FcConfigGetConfigFiles(Config()), &all);
    AddAll(FcConfigGetFontDirs(Config()), &all);
    const char* home = std::getenv("HOME");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string config = xdg && xdg[0] == '/' ? xdg : home ? std::string(home) + "/.config" : "";
    if (!config.empty())
      for (const char* leaf : {"/fontconfig", "/fontconfig/fonts.conf", "/fontconfig/conf.d"})
        all.push_back(config + leaf);
    if (home)
      for (const char* leaf : {"/.fonts.conf", "/.fonts.conf.d"}) all.push_back(home + std::string(leaf));
    return all;
  }();
  return paths;
}

FaceCache& Disk() {
  static FaceCache cache = [] {
    FaceCache c(FaceCache::DefaultPath(), FaceCache::EnvironmentHash());
    c.Load();
    return c;
  }();
  return cache;
}

// The answer to a question of fontconfig: from the disk cache when it has
// it (and the file it names still loads), else asked and stored there.
template <class Ask>
bool Remembered(const std::string& key, FileChoice* out, Ask ask) {
  if (const FaceCache::Answer* a = Disk().Find(key)) {
    if (!a->found) return false;
    if (a->file.path.empty() || LoadFace(a->file.path, a->file.index)) {
      *out = a->file;
      return true;
    }
    Disk().Distrust();  // a font went away unnoticed: ask fontconfig from now on
  }
  FaceCache::Answer a;
  a.found = ask(&a.file);
  Disk().Store(key, a, Watched());
  if (a.found) *out = a.file;
  return a.found;
}

std::string Variant(bool bold, bool italic) { return std::string(bold ? "b" : "-") + (italic ? "i" : "-"); }

bool ReadChoice(FcPattern* p, FileChoice* out) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) return false;
  out->path = reinterpret_cast<const char*>(file);
  if (FcPatternGetInteger(p, FC_INDEX, 0, &out->index) != FcResultMatch) out->index = 0;
  if (FcPatternGetInteger(p, FC_WEIGHT, 0, &out->weight) != FcResultMatch)
    out->weight = FC_WEIGHT_REGULAR;
  if (FcPatternGetInteger(p, FC_SLANT, 0, &out->slant) != FcResultMatch)
    out->slant = FC_SLANT_ROMAN;
  return true;
}

const char* BaseName(const std::string& path) {
  size_t p = path.rfind('/');
  return path.c_str() + (p == std::string::npos ? 0 : p + 1);
}

// The file of an installed family closest to the wanted weight and slant,
// preferring the named file when one is given.
bool ListFamily(const char* family, const char* preferredFile, bool bold, bool italic,
                FileChoice* out) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr);
  FcFontSet* set = FcFontList(Config(), pattern, objects);
  bool found = false;
  int bestScore = 0;
  for (int i = 0; set && i < set->nfont; ++i) {
    FileChoice c;
    if (!ReadChoice(set->fonts[i], &c)) continue;
    int wantWeight = bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
    int score = std::abs(c.weight - wantWeight) + ((c.slant != FC_SLANT_ROMAN) != italic ? 1000 : 0);
    if (preferredFile && std::strcmp(BaseName(c.path), preferredFile) != 0) score += 100000;
    // Of equal candidates keep the first in path order, so the choice is stable.
    if (!found || score < bestScore || (score == bestScore && c.path < out->path)) {
      *out = c;
      bestScore = score;
      found = true;
    }
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

bool CachedListFamily(const char* family, const char* preferredFile, bool bold, bool italic,
                      FileChoice* out) {
  const std::string key = "list " + Variant(bold, italic) + " " + family + "|" + (preferredFile ? preferredFile : "");
  return Remembered(key, out, [&](FileChoice* c) { return ListFamily(family, preferredFile, bold, italic, c); });
}

// A family name as fontconfig compares them: case and blanks ignored.
std::string Folded(const char* name) {
  std::string out;
  for (const char* p = name; *p; ++p)
    if (*p != ' ') out += char(std::tolower(static_cast<unsigned char>(*p)));
  return out;
}

bool IsInstalledFamily(const std::string& name) {
  static const std::unordered_set<std::string> families = [] {
    std::unordered_set<std::string> all;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(Config(), pattern, objects);
    FcChar8* family = nullptr;
    for (int i = 0; set && i < set->nfont; ++i)
      for (int k = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, k, &family) == FcResultMatch; ++k)
        all.insert(Folded(reinterpret_cast<const char*>(family)));
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return all;
  }();
  return families.count(Folded(name.c_str())) != 0;
}

// Whether fontconfig may still be asked about this name (see above).
bool MayAskAbout(const std::string& name) {
  static int uninstalledLookups = 0;
  FileChoice none;
  if (Remembered(std::string(FaceCache::kFilelessPrefix) + name, &none, [&](FileChoice*) { return IsInstalledFamily(name); }))
    return true;
  return uninstalledLookups < kMaxUninstalledLookups && ++uninstalledLookups > 0;
}

bool AskMatch(const char* family, bool bold, bool italic, FileChoice* out) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(Config(), pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(Config(), pattern, &result);
  bool ok = match && ReadChoice(match, out);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return ok;
}

bool MatchFamily(const char* family, bool bold, bool italic, FileChoice* out) {
  const std::string key = "match " + Variant(bold, italic) + " " + family;
  return Remembered(key, out, [&](FileChoice* c) { return AskMatch(family, bold, italic, c); });
}

// The last-resort face's file for a weight and slant, asked for once.
bool LastResort(bool bold, bool italic, FileChoice* out) {
  struct Answer {
    bool asked = false, found = false;
    FileChoice file;
  };
  static Answer answers[2][2];
  Answer& a = answers[bold][italic];
  if (!a.asked) a.found = CachedListFamily(kLastResort, nullptr, bold, italic, &a.file);
  a.asked = true;
  if (a.found) *out = a.file;
  return a.found;
}

ResolvedFace Resolve(const std::string& name, bool bold, bool italic, unsigned char charset) {
  ResolvedFace r;
  FileChoice c;
  bool found = false;
  if (const Substitute* s = FindSubstitute(name)) {
    r.encoding = s->encoding;
    r.charset = s->charset;
    found = CachedListFamily(s->family, s->file, bold, italic, &c);
    if (found) r.shifts = s->shifts;
  } else if (!name.empty() && MayAskAbout(name)) {
    found = MatchFamily(name.c_str(), bold, italic, &c);
  } else if (charset == SHIFTJIS_CHARSET) {
    found = CachedListFamily("IPAGothic", "ipag.ttf", bold, italic, &c);
  }
  if (found) r.face = LoadFace(c.path, c.index);
  if (!r.face && LastResort(bold, italic, &c)) {
    r.face = LoadFace(c.path, c.index);
    r.encoding = r.encoding == Encoding::Symbol ? Encoding::Text : r.encoding;
    r.shifts = {};
  }
  if (!r.face) return r;
  r.synthBold = bold && c.weight < FC_WEIGHT_DEMIBOLD;
  r.synthItalic = italic && c.slant == FC_SLANT_ROMAN;
  return r;
}

bool HasGlyph(LoadedFace* f, char32_t cp) { return f && FT_Get_Char_Index(f->ft, cp) != 0; }

}  // namespace

const ResolvedFace& ResolveFace(const char* rawName, bool bold, bool italic, unsigned char charset) {
  static std::map<std::tuple<std::string, bool, bool, bool>, ResolvedFace> cache;
  std::string name = FaceNameToUtf8(rawName);
  bool jis = name.empty() && charset == SHIFTJIS_CHARSET;
  auto key = std::make_tuple(name, bold, italic, jis);
  auto it = cache.find(key);
  if (it == cache.end()) {
    if (cache.size() >= kMaxCacheEntries) cache.clear();
    it = cache.emplace(key, Resolve(name, bold, italic, charset)).first;
  }
  return it->second;
}

LoadedFace* FallbackFace(char32_t cp) {
  // The installed fonts in fontconfig's order of preference for sans-serif
  // text, asked for once; each code point is then a walk over their charsets.
  struct Candidate {
    FcCharSet* chars;
    FileChoice file;
  };
  static std::vector<Candidate> candidates = [] {
    std::vector<Candidate> list;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet* set = FcFontSort(Config(), pattern, FcFalse, nullptr, &result);
    for (int i = 0; set && i < set->nfont; ++i) {
      Candidate c{};
      if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &c.chars) != FcResultMatch ||
          !ReadChoice(set->fonts[i], &c.file))
        continue;
      c.chars = FcCharSetCopy(c.chars);
      list.push_back(c);
    }
    if (set) FcFontSetDestroy(set);
    FcPatternDestroy(pattern);
    return list;
  }();
  static std::unordered_map<char32_t, LoadedFace*> cache;
  auto it = cache.find(cp);
  if (it != cache.end()) return it->second;
  LoadedFace* face = nullptr;
  for (const Candidate& c : candidates) {
    if (!FcCharSetHasChar(c.chars, FcChar32(cp))) continue;
    LoadedFace* f = LoadFace(c.file.path, c.file.index);
    if (HasGlyph(f, cp)) {
      face = f;
      break;
    }
  }
  if (cache.size() >= kMaxCacheEntries) cache.clear();
  cache.emplace(cp, face);
  return face;
}

int EnumFaces(const char* rawFace, FONTENUMPROC proc, LPARAM data) {
  std::lock_guard lock(Mutex());
  std::string name = FaceNameToUtf8(rawFace);
  LOGFONT lf{};
  lf.lfHeight = -16;
  lf.lfWeight = FW_NORMAL;
  SetFaceName(lf, rawFace);
  TEXTMETRIC tm;
  if (const Substitute* s = FindSubstitute(name)) {
    FileChoice c;
    if (!CachedListFamily(s->family, s->file, false, false, &c)) return 1;
    lf.lfCharSet = s->charset;
    GetMetrics(lf, &tm);
    tm.tmCharSet = s->charset;
    return proc(&lf, &tm, TRUETYPE_FONTTYPE, data);
  }
  // Only installed families are listed; the set answers the others at once.
  if (name.empty() || !IsInstalledFamily(name)) return 1;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr);
  FcFontSet* set = FcFontList(Config(), pattern, objects);
  int last = 1;
  for (int i = 0; set && i < set->nfont; ++i) {
    FileChoice c;
    if (!ReadChoice(set->fonts[i], &c)) continue;
    LOGFONT each = lf;
    each.lfCharSet = ANSI_CHARSET;
    each.lfWeight = c.weight >= FC_WEIGHT_DEMIBOLD ? FW_BOLD : FW_NORMAL;
    each.lfItalic = c.slant != FC_SLANT_ROMAN;
    GetMetrics(each, &tm);
    tm.tmCharSet = ANSI_CHARSET;
    last = proc(&each, &tm, TRUETYPE_FONTTYPE, data);
    if (last == 0) break;
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return last;
}

}  // namespace lexaro::font
