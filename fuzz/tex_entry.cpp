// TeX from anywhere: the translation must end with markup in proportion to
// the text, diagnostics inside it, nothing nested past the engine's limit,
// and that markup must lay out and draw.
#include <string_view>
#include <vector>

#include "fuzz/entries.h"
#include "lexaro/lexaro.h"
#include "lexaro/tex.h"

namespace lexaro::fuzz {

void Tex(const uint8_t* data, size_t size) {
  TexOptions options;
  if (size >= 1) {
    options.display = data[0] & 1;
    options.strict = data[0] & 2;
    ++data, --size;
  }
  const std::string_view tex(reinterpret_cast<const char*>(data), size);
  const TexResult r = TranslateTex(tex, options);
  Require(r.diagnostics.size() <= 1001, "too many diagnostics kept");
  for (const TexDiagnostic& d : r.diagnostics)
    Require(d.offset <= tex.size() && d.length <= tex.size() - d.offset && !d.message.empty(),
            "a diagnostic's range lies outside the text");
  Require(r.ok == !(options.strict && !r.diagnostics.empty()), "ok disagrees with strict mode");
  Require(r.ok || r.markup.empty(), "a failed translation left markup");
  // Every byte of TeX writes at most a few dozen bytes of markup.
  Require(r.markup.size() <= 64 * size + 256, "the markup grew out of proportion to the text");

  CRasterDC dc(48, 32, RGB(255, 255, 255));
  CLexaro lx;
  Require(lx.SetText(&dc, CString(r.markup)) == 1, "SetText failed");
  for (const LX_DIAGNOSTIC& d : lx.GetDiagnostics())
    Require(d.kind != LX_DIAG_NESTING && d.kind != LX_DIAG_STRAY_END_TAG && d.kind != LX_DIAG_UNENDED,
            "the translation wrote markup out of balance or nested too deep");
  Require(lx.TextOutA(&dc, 4, 4) == 1, "TextOutA failed");
}

}  // namespace lexaro::fuzz
