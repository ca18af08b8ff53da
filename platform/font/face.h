// Loaded font files and how a face name resolves to one.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <span>
#include <string>

#include "lexaro/dc.h"
#include "platform/font/text_decode.h"

namespace lexaro::font {

// One face of a font file, loaded once per process, with the numbers the
// metrics are computed from (all in font units, y up).
struct LoadedFace {
  FT_Face ft = nullptr;
  std::string path;
  int index = 0;
  double upem = 1000;
  double winAscent = 800, winDescent = 200;
  double avgWidth = 500;
  double maxWidth = 1000;
  double lineGap = 0;  // external leading as GDI derives it
  double underlinePos = -100, underlineThickness = 50;
  double strikePos = 250, strikeSize = 50;
};

// A glyph of a stand-in face drawn away from where its outline says, so that
// it keeps the proportions of the face it stands in for.
struct GlyphShift {
  unsigned char byte;  // the byte code (symbol encoding)
  int dx, dy;          // font units, x right, y up
};

// What a LOGFONT's face name, weight and slant resolve to.
struct ResolvedFace {
  LoadedFace* face = nullptr;  // null only when no font at all can be loaded
  bool synthBold = false;
  bool synthItalic = false;
  Encoding encoding = Encoding::Text;
  unsigned char charset = ANSI_CHARSET;
  std::span<const GlyphShift> shifts;  // of the stand-in, when it was found
};

FT_Library Library();
// The face of a file, loaded on first use; null when it cannot be loaded.
LoadedFace* LoadFace(const std::string& path, int index);

// Resolves a face name (UTF-8 or code page 932). Answers are cached, so
// fontconfig is asked once per distinct name, weight and slant.
const ResolvedFace& ResolveFace(const char* name, bool bold, bool italic, unsigned char charset);
// A face that has a glyph for cp, or null.
LoadedFace* FallbackFace(char32_t cp);
// Font enumeration for EnumFonts.
int EnumFaces(const char* face, FONTENUMPROC proc, LPARAM data);

}  // namespace lexaro::font
