#include "lexaro/tex.h"

namespace lexaro {

// Placeholder until the translator lands: passes the text through.
TexResult TranslateTex(std::string_view tex, const TexOptions&) {
  TexResult result;
  result.markup.assign(tex);
  return result;
}

}  // namespace lexaro
