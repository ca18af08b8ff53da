// TeX math in, Lexaro markup out (docs/tex.md lists what is read). The translation is plain text to plain
// text, so its result can be drawn by CLexaro, passed to the one-call API, or
// kept and edited as markup.
//
//   lexaro::TexResult r = lexaro::TranslateTex("x=\\frac{-b\\pm\\sqrt{b^2-4ac}}{2a}");
//   for (auto& d : r.diagnostics) std::fprintf(stderr, "%zu: %s\n", d.offset, d.message.c_str());
//   formula.SetText(&dc, r.markup.c_str());
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lexaro/export.h"
#include "lexaro/types.h"

namespace lexaro {

struct TexOptions {
  // Display style: big operators larger, their limits above and below;
  // otherwise inline style, as TeX's $...$. Fractions are full size in both.
  bool display = false;
  // Strict: anything not translatable fails the whole translation (ok is
  // false and markup empty). Lenient: it is drawn as its own name in
  // warningColor, so that a page of formulas still renders.
  bool strict = false;
  COLORREF warningColor = RGB(204, 0, 0);
};

// Something the translator could not take as written: a byte range of the
// TeX text and a message in English.
struct TexDiagnostic {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string message;
};

struct TexResult {
  std::string markup;                     // UTF-8 markup
  std::vector<TexDiagnostic> diagnostics;  // in order of offset
  bool ok = true;  // false when strict and diagnosed, or the text is beyond 4 MiB
  explicit operator bool() const { return ok; }
};

LEXARO_API TexResult TranslateTex(std::string_view tex, const TexOptions& options = {});

}  // namespace lexaro
