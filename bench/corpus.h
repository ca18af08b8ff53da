// The formulas the benchmarks lay out and draw: typical single formulas,
// each using one or two constructs the way documents use them.
#pragma once

#include <string>

namespace lexaro::bench {

struct Formula {
  const char* name;
  const char* markup;
  const char* tex;  // the same formula as TeX
};

inline constexpr Formula kCorpus[] = {
    {"fraction", "<FRAC><S>1</S><S>x</S></FRAC>",
     "\\frac{1}{x}"},
    {"quadratic",
     "x<=><FRAC><S><->b<pm><SQRT>b<SUP>2</SUP><->4ac</SQRT></S><S>2a</S></FRAC>",
     "x=\\frac{-b\\pm\\sqrt{b^2-4ac}}{2a}"},
    {"sum", "<TB><S><sum></S><S>k<=>1</S><S>n</S></TB>k<SUP>2</SUP><=>"
            "<FRAC><S>n(n<+>1)(2n<+>1)</S><S>6</S></FRAC>",
     "\\sum\\limits_{k=1}^n k^2=\\frac{n(n+1)(2n+1)}{6}"},
    {"integral", "<TB><S><int></S><S>0</S><S><infty></S></TB>e<SUP><->x<SUP>2</SUP></SUP>dx<=>"
                 "<FRAC><S><SQRT><pi></SQRT></S><S>2</S></FRAC>",
     "\\int\\limits_0^\\infty e^{-x^2}dx=\\frac{\\sqrt{\\pi}}{2}"},
    {"nested_root", "<SQRT>1<+><SQRT>2<+><SQRT>3<+><SQRT>4</SQRT></SQRT></SQRT></SQRT>",
     "\\sqrt{1+\\sqrt{2+\\sqrt{3+\\sqrt{4}}}}"},
    {"paren_fraction", "<PAREN><FRAC><S>a<+>b</S><S>c<->d</S></FRAC></PAREN><SUP>n</SUP>",
     "\\left(\\frac{a+b}{c-d}\\right)^n"},
    {"matrix", "<PAREN type=\"[,]\"><TABLE><TR><TD>a</TD><TD>b</TD></TR>"
               "<TR><TD>c</TD><TD>d</TD></TR></TABLE></PAREN>",
     "\\begin{bmatrix}a&b\\\\c&d\\end{bmatrix}"},
    {"limit", "<BTM><S>lim</S><S>x<to>0</S></BTM><FRAC><S>sin x</S><S>x</S></FRAC><=>1",
     "\\lim\\limits_{x\\to 0}\\frac{\\sin x}{x}=1"},
    {"cases", "|x|<=><PAREN type=\"{,_\"><TABLE><TR><TD>x</TD><TD>x<geq>0</TD></TR>"
              "<TR><TD><->x</TD><TD>x<lt>0</TD></TR></TABLE></PAREN>",
     "|x|=\\begin{cases}x&x\\geq 0\\\\-x&x<0\\end{cases}"},
    {"continued_fraction",
     "<FRAC><S>1</S><S>1<+><FRAC><S>1</S><S>1<+><FRAC><S>1</S><S>1<+>x</S></FRAC></S></FRAC>"
     "</S></FRAC>",
     "\\frac{1}{1+\\frac{1}{1+\\frac{1}{1+x}}}"},
};

// Repeats the corpus' formulas, one per line, until the text reaches `bytes`.
inline std::string RepeatedText(size_t bytes) {
  std::string text;
  for (size_t i = 0; text.size() < bytes; ++i) {
    text += kCorpus[i % std::size(kCorpus)].markup;
    text += "<BR>";
  }
  return text;
}

// Legally deep nesting: fractions 60 deep (the nesting limit is 64), as many
// such towers as fit in `bytes`, one per line.
inline std::string NestedText(size_t bytes) {
  std::string tower;
  for (int i = 0; i < 60; ++i) tower += "<FRAC><S>1</S><S>x<+>";
  tower += "y";
  for (int i = 0; i < 60; ++i) tower += "</S></FRAC>";
  std::string text;
  while (text.size() < bytes) text += tower + "<BR>";
  return text;
}

// A square table with a border and one digit in each cell, as many cells as
// fit in `bytes`.
inline std::string TableText(size_t bytes) {
  size_t side = 1;
  while ((side + 1) * (side + 1) * 10 + (side + 1) * 9 < bytes) ++side;
  std::string text = "<TABLE border=1>";
  for (size_t r = 0; r < side; ++r) {
    text += "<TR>";
    for (size_t c = 0; c < side; ++c) text += "<TD>" + std::to_string((r + c) % 10) + "</TD>";
    text += "</TR>";
  }
  return text + "</TABLE>";
}

}  // namespace lexaro::bench
