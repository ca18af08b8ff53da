// Turns the bytes handed to TextOut into Unicode code points.
#pragma once

#include <string>
#include <vector>

namespace lexaro::font {

// How a face reads text bytes: as text in a code page, as the byte codes of a
// symbol font's own encoding, or through the Wingdings byte table.
enum class Encoding { Text, Symbol, Wingdings };

// Decodes n bytes. Text is UTF-8 (a byte that does not start a valid
// sequence reads as code page 1252) or, with code page 932, Shift_JIS.
void Decode(const char* s, int n, Encoding enc, int codePage, std::u32string& out);

// Converts a face name to UTF-8: a name that is not valid UTF-8 is read as
// code page 932, so Japanese face names work in either encoding.
std::string FaceNameToUtf8(const char* name);

bool IsValidUtf8(const char* s, int n);

}  // namespace lexaro::font
