// TeX on the command line: render, batch and check with --tex, and
// tex2markup, each the translator's result for the text as written (a TeX
// file's lines are not joined), with statuses and FILE:LINE:COL diagnostics.
#include <gtest/gtest.h>

#include "lexaro/tex.h"
#include "run_cli.h"

namespace {

namespace fs = std::filesystem;

// A command that TeX does not know: a diagnostic at its backslash.
const std::string kUnknown = "\\nosuchcommand";

std::string Markup(const std::string& tex, bool display = false) {
  lexaro::TexOptions o;
  o.display = display;
  return lexaro::TranslateTex(tex, o).markup;
}

TEST(CliTex, Tex2MarkupPrintsTheTranslationOfAnArgumentAFileOrStandardInput) {
  ScratchDir dir;
  // Lines kept: joined, "\alpha" and "b" would make one unknown command.
  const std::string tex = "\\alpha\n  b + \\frac{1}{x}\n";
  WriteFile(dir / "crlf.tex", "\xEF\xBB\xBF\\alpha\r\n  b + \\frac{1}{x}\r\n");
  WriteFile(dir / "bad.tex", "a +\n  " + kUnknown + "\n");
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out, err;  // err: the start of standard error
  } cases[] = {
      {{"tex2markup", tex}, "", 0, Markup(tex) + "\n", ""},
      {{"tex2markup", "-f", "crlf.tex"}, "", 0, Markup(tex) + "\n", ""},
      {{"tex2markup"}, tex, 0, Markup(tex) + "\n", ""},
      {{"tex2markup", "-", "--display"}, "\\sum_{k=1}^n k", 0, Markup("\\sum_{k=1}^n k", true) + "\n", ""},
      {{"tex2markup", "-f", "bad.tex"}, "", 0, Markup("a +\n  " + kUnknown + "\n") + "\n", "bad.tex:2:3: warning: "},
      {{"tex2markup", "x+" + kUnknown}, "", 0, Markup("x+" + kUnknown) + "\n", "<tex>:1:3: warning: "},
      {{"tex2markup", "--strict", "-"}, kUnknown, 1, "", "-:1:1: warning: "},
      {{"tex2markup", "--strict", "x^2"}, "", 0, Markup("x^2") + "\n", ""},
      {{"tex2markup", "-f", "missing.tex"}, "", 1, "", "lexaro: cannot open 'missing.tex'"},
      {{"tex2markup", "x", "--angle", "3"}, "", 2, "", "lexaro: option '--angle' does not apply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    Outcome run = RunCli(c.args, dir.path(), c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    if (c.err.empty()) {
      EXPECT_EQ(run.err, "");
    }
  }
  EXPECT_EQ(RunCli({"tex2markup", "x", "-o", "x.lxm"}, dir.path()).status, 0);
  EXPECT_EQ(ReadFile(dir / "x.lxm"), Markup("x") + "\n");
}

// An image from TeX is the image of its translation, whatever the TeX came
// in by.
// The face TeX is drawn in when none is asked for.
const std::string kSerif = "Times New Roman";

TEST(CliTex, RenderDrawsTheTranslation) {
  ScratchDir dir;
  const std::string tex = "\\alpha\n b = \\frac{-b\\pm\\sqrt{b^2-4ac}}{2a}";
  WriteFile(dir / "f.tex", tex);
  struct Case {
    std::vector<std::string> tex, markup;
  } cases[] = {
      {{"render", "--tex", tex}, {"render", "--font", kSerif, "--", Markup(tex)}},
      {{"render", "--tex", "-f", "f.tex", "--display"}, {"render", "--font", kSerif, "--", Markup(tex, true)}},
      {{"render", "--tex", "-", "--format", "svg"}, {"render", "--font", kSerif, "--format", "svg", "--", Markup(tex)}},
      {{"render", "--tex", tex, "--font", "IPAGothic"}, {"render", "--font", "IPAGothic", "--", Markup(tex)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tex.back());
    std::vector<std::string> fromTex = c.tex, fromMarkup = c.markup;
    fromTex.insert(fromTex.begin() + 1, {"-o", "tex.img"});
    fromMarkup.insert(fromMarkup.begin() + 1, {"-o", "markup.img"});
    ASSERT_EQ(RunCli(fromTex, dir.path(), tex).status, 0);
    ASSERT_EQ(RunCli(fromMarkup, dir.path()).status, 0);
    EXPECT_TRUE(ReadFile(dir / "tex.img") == ReadFile(dir / "markup.img"));
  }
  Outcome strict = RunCli({"render", "--tex", "a+" + kUnknown, "--strict", "-o", "strict.png"}, dir.path());
  EXPECT_EQ(strict.status, 1);
  EXPECT_EQ(strict.err.rfind("<tex>:1:3: warning: ", 0), 0u) << strict.err;
  EXPECT_NE(strict.err.find("lexaro: the TeX has 1 diagnostic; --strict draws none"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "strict.png"));
  Outcome warned = RunCli({"render", "--tex", "a+" + kUnknown, "--warnings", "-o", "warned.png"}, dir.path());
  EXPECT_EQ(warned.status, 0);
  EXPECT_EQ(warned.err.rfind("<tex>:1:3: warning: ", 0), 0u) << warned.err;
}

TEST(CliTex, CheckMapsTheTexDiagnosticsToTheFilesLinesAndColumns) {
  ScratchDir dir;
  WriteFile(dir / "good.tex", "\\frac{a}{b}\n");
  WriteFile(dir / "bad.tex", "\xEF\xBB\xBFx = 1 +\r\n\t y = " + kUnknown + "\r\n");
  Outcome bad = RunCli({"check", "--tex", "good.tex", "bad.tex"}, dir.path());
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out.rfind("bad.tex:2:7: warning: ", 0), 0u) << bad.out;
  EXPECT_EQ(RunCli({"check", "--tex", "--display", "good.tex"}, dir.path()).status, 0);
  // Read as markup, the same file is plain text without a diagnostic.
  EXPECT_EQ(RunCli({"check", "bad.tex"}, dir.path()).status, 0);
}

TEST(CliTex, BatchTranslatesEveryLine) {
  ScratchDir dir;
  WriteFile(dir / "list.txt", "frac\t\\frac{a}{b}\n# comment\nbad\t" + kUnknown + "\n");
  ASSERT_EQ(RunCli({"render", "-o", "frac.png", "--font", kSerif, "--", Markup("\\frac{a}{b}")}, dir.path()).status, 0);
  Outcome lenient = RunCli({"batch", "--tex", "list.txt", "-o", "lenient"}, dir.path());
  EXPECT_EQ(lenient.status, 0) << lenient.err;
  EXPECT_TRUE(ReadFile(dir / "lenient" / "frac.png") == ReadFile(dir / "frac.png"));
  EXPECT_TRUE(fs::exists(dir / "lenient" / "bad.png"));
  Outcome strict = RunCli({"batch", "--tex", "list.txt", "-o", "strict", "--strict"}, dir.path());
  EXPECT_EQ(strict.status, 1);
  EXPECT_NE(strict.err.find("line 3: --strict: column 1 of the formula: "), std::string::npos) << strict.err;
  EXPECT_TRUE(fs::exists(dir / "strict" / "frac.png"));
  EXPECT_FALSE(fs::exists(dir / "strict" / "bad.png"));
}

}  // namespace
