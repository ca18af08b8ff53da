#include "lexaro/tex.h"

#include "tex/translator.h"

namespace lexaro {

namespace {

// The markup the engine lays out; more is passed over.
constexpr std::size_t kMaxMarkupLength = std::size_t(4) << 20;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A formula may come with its math delimiters: $..$, $$..$$, \[..\] or
// \(..\). The bytes between them are translated.
std::pair<std::size_t, std::size_t> MathBody(std::string_view tex) {
  std::size_t b = 0, e = tex.size();
  while (b < e && IsSpace(tex[b])) ++b;
  while (e > b && IsSpace(tex[e - 1])) --e;
  const std::string_view t = tex.substr(b, e - b);
  static constexpr std::pair<std::string_view, std::string_view> kPairs[] = {
      {"$$", "$$"}, {"\\[", "\\]"}, {"\\(", "\\)"}, {"$", "$"}};
  for (const auto& [open, close] : kPairs)
    if (t.size() >= open.size() + close.size() && t.starts_with(open) && t.ends_with(close) &&
        !(close == "$" && t.size() > 2 && t[t.size() - 2] == '\\'))
      return {b + open.size(), e - close.size()};
  return {0, tex.size()};
}

}  // namespace

TexResult TranslateTex(std::string_view tex, const TexOptions& options) {
  TexResult result;
  if (tex.size() > tex::kMaxTexLength) {
    result.ok = false;
    result.diagnostics.push_back({tex::kMaxTexLength, tex.size() - tex::kMaxTexLength,
                                  "TeX longer than 4 MiB (4,194,304 bytes) is not translated"});
    return result;
  }
  const auto [begin, end] = MathBody(tex);
  tex::Translator(tex, begin, end, options).Run(&result);
  // About the whole text, so first: the diagnostics stay in order of offset.
  if (result.markup.size() > kMaxMarkupLength)
    result.diagnostics.insert(result.diagnostics.begin(),
                              {0, tex.size(), "the markup is longer than 4 MiB; only its first 4 MiB are laid out"});
  if (options.strict && !result.diagnostics.empty()) {
    result.ok = false;
    result.markup.clear();
  }
  return result;
}

}  // namespace lexaro
