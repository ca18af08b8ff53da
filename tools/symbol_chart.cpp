#include "tools/symbol_chart.h"

#include "engine/vocabulary.h"
#include "lexaro/lexaro.h"

namespace {

using lexaro::engine::kCTagCng;
using lexaro::engine::kSymbolCount;

constexpr int kColumns = 8;
constexpr int kCellW = 124, kCellH = 64, kMargin = 10;

// The tag as it is written, with its '<' escaped for the markup.
CString TagLabel(const char* name) { return CString("<<") + name + ">"; }

}  // namespace

bool WriteSymbolChart(const std::string& path, std::string* error) {
  const int rows = (kSymbolCount + kColumns - 1) / kColumns;
  CRasterDC dc(kColumns * kCellW + 2 * kMargin, rows * kCellH + 2 * kMargin, RGB(255, 255, 255));
  CLexaro glyph, label;
  UINT old = dc.SetTextAlign(TA_CENTER | TA_BASELINE);
  for (int i = 0; i < kSymbolCount; ++i) {
    const char* name = kCTagCng[i].name;
    int x = kMargin + (i % kColumns) * kCellW + kCellW / 2, y = kMargin + (i / kColumns) * kCellH;
    glyph.SetText(&dc, CString("<FONT size=20><") + name + "></FONT>");
    glyph.TextOutA(&dc, x, y + 34);
    label.SetText(&dc, "<FONT size=8 color=#505050 face=\"Liberation Mono\">" + TagLabel(name) + "</FONT>");
    label.TextOutA(&dc, x, y + 56);
  }
  dc.SetTextAlign(old);
  return dc.SavePng(path, error);
}

std::string SymbolTableMarkdown() {
  std::string md = "| Row |";
  for (int c = 1; c <= kColumns; ++c) md += " " + std::to_string(c) + " |";
  md += "\n|---|";
  for (int c = 0; c < kColumns; ++c) md += "---|";
  md += "\n";
  for (int i = 0; i < kSymbolCount; ++i) {
    if (i % kColumns == 0) md += "| " + std::to_string(i / kColumns + 1) + " |";
    md += std::string(" `<") + kCTagCng[i].name + ">` |";
    if (i % kColumns == kColumns - 1 || i == kSymbolCount - 1) {
      for (int pad = i % kColumns + 1; pad < kColumns; ++pad) md += " |";
      md += "\n";
    }
  }
  return md;
}
