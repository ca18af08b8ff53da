#include "tools/cli/tex2markup.h"

#include <cstdio>

#include "lexaro/tex.h"
#include "tools/cli/check.h"
#include "tools/cli/files.h"
#include "tools/cli/render.h"

namespace cli {
namespace {

int Failed(const std::string& message) {
  std::fprintf(stderr, "lexaro: %s\n", message.c_str());
  return 1;
}

}  // namespace

int RunTex2Markup(const Options& o) {
  std::string tex = o.markup, bytes = o.markup, error;
  if (!o.haveMarkup && !ReadText(o.inputFile, true, &bytes, &tex, &error)) return Failed(error);
  // The diagnostics are always told: the markup draws what could not be
  // translated in a warning colour, which a reader of the markup may miss.
  if (!WarnOrRefuse(o, SourceName(o), bytes, tex, &error)) return Failed(error);
  const lexaro::TexResult translated = lexaro::TranslateTex(tex, TexOptionsOf(o));
  if (!translated) return Failed("the TeX cannot be translated");
  return WriteOutput(o.output, translated.markup + "\n", &error) ? 0 : Failed(error);
}

}  // namespace cli
