// Pages that show the markup engine at work, written as PNG files.
#pragma once

#include <string>

// Writes markup_text.png, markup_symbols.png and markup_rotation.png into
// dir; false with the reason in *error when a file cannot be written.
bool WriteMarkupPages(const std::string& dir, std::string* error);
