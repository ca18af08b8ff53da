// The markup the translator writes, in one place: escaping, colours and
// spaces of a given width.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "lexaro/types.h"

namespace lexaro::tex {

// Text drawn as it is: a '<' would start a tag, so it is doubled.
void AppendEscaped(std::string& out, std::string_view text);
// "#rrggbb".
std::string ColorHex(COLORREF color);
// An empty box whose left margin is `percent` of the em (negative pulls the
// next item back): TeX's fixed spaces.
std::string Space(int percent);
// The open and close tags of a letter style (<I>, <B>, both, or none).
std::string_view StyleOpen(int style);
std::string_view StyleClose(int style);
// The character of a letter in a double-struck, script or fraktur style
// (U+1D538 and kin, or the letterlike block's few that live there).
std::string StyledLetter(int style, char letter);

// A piece of the TeX text quoted in a message or a warning: at most `max`
// bytes, cut between characters, control characters (line feeds included)
// as spaces and stray bytes as U+FFFD, so that a message stays one line of
// valid UTF-8 whatever the text holds.
std::string Excerpt(std::string_view text, std::size_t max = 40);
// "\name" for a message.
std::string Backslashed(std::string_view name);

// A TeX colour: a name (xcolor's base names, "red!30" mixed with white), or
// with a model ("HTML" "ff8000", "rgb" "1,0.5,0", "RGB" "255,128,0").
// False when it is not one.
bool ReadColor(std::string_view model, std::string_view spec, COLORREF* color);

}  // namespace lexaro::tex
