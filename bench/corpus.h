// The formulas the benchmarks lay out and draw: typical single formulas,
// each using one or two constructs the way documents use them.
#pragma once

#include <string>

namespace lexaro::bench {

struct Formula {
  const char* name;
  const char* markup;
};

inline constexpr Formula kCorpus[] = {
    {"fraction", "<FRAC><S>1</S><S>x</S></FRAC>"},
    {"quadratic",
     "x<=><FRAC><S><->b<pm><SQRT>b<SUP>2</SUP><->4ac</SQRT></S><S>2a</S></FRAC>"},
    {"sum", "<TB><S><sum></S><S>k<=>1</S><S>n</S></TB>k<SUP>2</SUP><=>"
            "<FRAC><S>n(n<+>1)(2n<+>1)</S><S>6</S></FRAC>"},
    {"integral", "<TB><S><int></S><S>0</S><S><infty></S></TB>e<SUP><->x<SUP>2</SUP></SUP>dx<=>"
                 "<FRAC><S><SQRT><pi></SQRT></S><S>2</S></FRAC>"},
    {"nested_root", "<SQRT>1<+><SQRT>2<+><SQRT>3<+><SQRT>4</SQRT></SQRT></SQRT></SQRT>"},
    {"paren_fraction", "<PAREN><FRAC><S>a<+>b</S><S>c<->d</S></FRAC></PAREN><SUP>n</SUP>"},
    {"matrix", "<PAREN type=\"[,]\"><TABLE><TR><TD>a</TD><TD>b</TD></TR>"
               "<TR><TD>c</TD><TD>d</TD></TR></TABLE></PAREN>"},
    {"limit", "<BTM><S>lim</S><S>x<to>0</S></BTM><FRAC><S>sin x</S><S>x</S></FRAC><=>1"},
    {"cases", "|x|<=><PAREN type=\"{,_\"><TABLE><TR><TD>x</TD><TD>x<geq>0</TD></TR>"
              "<TR><TD><->x</TD><TD>x<lt>0</TD></TR></TABLE></PAREN>"},
    {"continued_fraction",
     "<FRAC><S>1</S><S>1<+><FRAC><S>1</S><S>1<+><FRAC><S>1</S><S>1<+>x</S></FRAC></S></FRAC>"
     "</S></FRAC>"},
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
