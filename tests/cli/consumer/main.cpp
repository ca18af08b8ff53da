// The README's example: a formula drawn into a PNG, built against an
// installed Lexaro. Writes formula.png in the working directory.
#include <cstdio>
#include <lexaro/lexaro.h>

int main() {
  CRasterDC dc(400, 120, RGB(255, 255, 255));  // or CLR_TRANSPARENT
  CLexaro formula;
  formula.SetText(&dc, "x<SUP>2</SUP><+>y<SUP>2</SUP><=>r<SUP>2</SUP>");
  LX_TXT_EXTENT size = formula.GetTextExtent_Ex(&dc);
  std::printf("%d wide, %d up, %d down\n", size.width, size.ascent, size.descent);
  formula.TextOutA(&dc, 10, 10);  // the block's top-left corner
  return dc.SavePng("formula.png") ? 0 : 1;
}
