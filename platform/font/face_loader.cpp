#include <ft2build.h>
#include FT_TRUETYPE_TABLES_H

#include <map>
#include <memory>

#include "platform/font/face.h"

namespace lexaro::font {
namespace {

// Reads the vertical metrics the way GDI does: the OS/2 Windows ascent and
// descent, the hhea values when those are zero, the bounding box otherwise.
void ReadMetrics(LoadedFace& f) {
  FT_Face ft = f.ft;
  f.upem = ft->units_per_EM > 0 ? ft->units_per_EM : 1000;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST));
  if (os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
    f.winAscent = os2->usWinAscent;
    f.winDescent = os2->usWinDescent;
  } else if (hhea && (hhea->Ascender || hhea->Descender)) {
    f.winAscent = hhea->Ascender;
    f.winDescent = -hhea->Descender;
  } else {
    f.winAscent = double(ft->bbox.yMax);
    f.winDescent = -double(ft->bbox.yMin);
  }
  if (f.winAscent + f.winDescent <= 0) {
    f.winAscent = f.upem * 0.8;
    f.winDescent = f.upem * 0.2;
  }
  f.avgWidth = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth
                                                                       : f.upem / 2;
  f.maxWidth = double(ft->bbox.xMax - ft->bbox.xMin);
  if (hhea) {
    double gap = hhea->Line_Gap - ((f.winAscent + f.winDescent) - (hhea->Ascender - hhea->Descender));
    f.lineGap = gap > 0 ? gap : 0;
  }
  if (post && post->underlineThickness > 0) {
    f.underlinePos = post->underlinePosition;
    f.underlineThickness = post->underlineThickness;
  } else {
    f.underlinePos = -f.upem / 10;
    f.underlineThickness = f.upem / 20;
  }
  if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    f.strikePos = os2->yStrikeoutPosition;
    f.strikeSize = os2->yStrikeoutSize;
  } else {
    f.strikePos = f.upem / 4;
    f.strikeSize = f.underlineThickness;
  }
}

}  // namespace

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

LoadedFace* LoadFace(const std::string& path, int index) {
  static std::map<std::pair<std::string, int>, std::unique_ptr<LoadedFace>> faces;
  auto key = std::make_pair(path, index);
  auto it = faces.find(key);
  if (it != faces.end()) return it->second.get();
  std::unique_ptr<LoadedFace> face;
  FT_Face ft = nullptr;
  if (Library() && FT_New_Face(Library(), path.c_str(), index, &ft) == 0) {
    if (FT_IS_SCALABLE(ft)) {
      face = std::make_unique<LoadedFace>();
      face->ft = ft;
      face->path = path;
      face->index = index;
      ReadMetrics(*face);
    } else {
      FT_Done_Face(ft);
    }
  }
  LoadedFace* result = face.get();
  faces.emplace(key, std::move(face));
  return result;
}

}  // namespace lexaro::font
