// The symbol chart: every symbol tag of the vocabulary with its glyph, as an
// image and as a markdown table laid out like the image, both generated from
// the vocabulary so that neither can miss a symbol.
#pragma once

#include <string>

// Writes the chart as PNG to path; false with the reason in *error.
bool WriteSymbolChart(const std::string& path, std::string* error);

// The markdown table of the symbol tags, row for row and column for column
// as in the chart, ending with a newline.
std::string SymbolTableMarkdown();
