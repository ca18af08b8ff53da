// A corpus of real formulas (tests/tex/corpus.tex, one a line): each is
// translated strictly without a diagnostic, laid out without a markup
// diagnostic and drawn; the test prints how much of TeX the corpus covers.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "lexaro/lexaro.h"
#include "lexaro/tex.h"

namespace {

TEST(TexCorpus, EveryFormulaTranslatesLaysOutAndDraws) {
  std::ifstream in(LEXARO_TEX_CORPUS);
  ASSERT_TRUE(in) << LEXARO_TEX_CORPUS;
  std::set<std::string> commands, environments;
  int formulas = 0, line = 0;
  std::string tex;
  CRasterDC dc(64, 64, RGB(255, 255, 255));
  while (std::getline(in, tex)) {
    ++line;
    if (tex.empty() || tex[0] == '#') continue;
    ++formulas;
    for (bool display : {false, true}) {
      lexaro::TexOptions options;
      options.strict = true;
      options.display = display;
      const lexaro::TexResult r = lexaro::TranslateTex(tex, options);
      ASSERT_TRUE(r.ok) << "line " << line << ": " << tex << ": " << r.diagnostics[0].message;
      CLexaro lx;
      ASSERT_EQ(lx.SetText(&dc, r.markup.c_str()), 1) << "line " << line;
      const std::vector<LX_DIAGNOSTIC>& found = lx.GetDiagnostics();
      EXPECT_TRUE(found.empty()) << "line " << line << ": " << tex << "\n  " << r.markup << "\n  "
                                 << (found.empty() ? "" : found[0].message.c_str());
      EXPECT_EQ(lx.TextOutA(&dc, 2, 2), 1) << "line " << line;
    }
    for (size_t i = tex.find('\\'); i != std::string::npos; i = tex.find('\\', i + 1)) {
      size_t j = i + 1;
      while (j < tex.size() && std::isalpha(static_cast<unsigned char>(tex[j]))) ++j;
      if (j == i + 1) continue;
      const std::string name = tex.substr(i + 1, j - i - 1);
      if (name == "begin" && tex.compare(j, 1, "{") == 0)
        environments.insert(tex.substr(j + 1, tex.find('}', j) - j - 1));
      commands.insert(name);
      i = j - 1;
    }
  }
  EXPECT_GE(formulas, 200);
  std::printf("TeX corpus: %d formulas, %zu distinct commands, %zu environments, each translated in "
              "inline and display style, laid out and drawn\n",
              formulas, commands.size(), environments.size());
}

}  // namespace
