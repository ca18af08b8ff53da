// lexaro check, render --strict / --warnings and batch --strict: exit
// statuses, where the messages go, and FILE:LINE:COL counted in the file
// as written (lines joined, leading white space dropped, CR LF, a BOM).
#include <gtest/gtest.h>

#include "run_cli.h"
#include "tools/cli/diagnostics.h"
#include "tools/cli/files.h"

namespace {

namespace fs = std::filesystem;

TEST(SourceMap, OffsetsOfTheJoinedTextLandOnTheFilesLineAndColumn) {
  struct Case {
    const char* file;
    const char* at;  // the markup's bytes the offset points to
    long line, column;
  };
  const Case cases[] = {
      {"<x>", "<x>", 1, 1},
      {"ab\n  <x>", "<x>", 2, 3},
      {"ab\r\n\t\t<x>\r\n", "<x>", 2, 3},
      {"\xEF\xBB\xBF<B>\n <x>", "<x>", 2, 2},
      {"a\n\n   \n   b<x>c", "<x>", 4, 5},
      {"a < b\n  c<x>", "<x>", 2, 4},
  };
  for (const Case& c : cases) {
    std::string markup, error;
    ASSERT_TRUE(cli::MarkupOfFile(c.file, &markup, &error)) << error;
    const size_t offset = markup.find(c.at);
    ASSERT_NE(offset, std::string::npos) << c.file;
    long line = 0, column = 0;
    cli::SourceMap(c.file, markup).Locate(int(offset), &line, &column);
    EXPECT_EQ(line, c.line) << c.file;
    EXPECT_EQ(column, c.column) << c.file;
  }
  long line = 0, column = 0;
  cli::SourceMap("ab\n", "ab").Locate(2, &line, &column);  // the end: just past the last byte
  EXPECT_EQ(line, 1);
  EXPECT_EQ(column, 3);
}

TEST(Check, PrintsFileLineColumnAndFailsOnAnyDiagnostic) {
  ScratchDir dir;
  WriteFile(dir / "bad.lxm", "<FRAC>\n  <S>a</S>\r\n  <S>b<frac></S>\n</FRAC>\n");
  WriteFile(dir / "good.lxm", "<FRAC><S>a</S><S>b</S></FRAC>\n");
  Outcome bad = RunCli({"check", "good.lxm", "bad.lxm"}, dir.path());
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "bad.lxm:3:7: warning: unknown tag 'frac' passed over, did you mean 'FRAC'?\n");
  EXPECT_EQ(RunCli({"check", "good.lxm"}, dir.path()).status, 0);
  Outcome piped = RunCli({"check", "-"}, dir.path(), "x\n <alfa>");
  EXPECT_EQ(piped.status, 1);
  EXPECT_EQ(piped.out, "-:2:2: warning: unknown tag 'alfa' passed over, did you mean 'alpha'?\n");
  EXPECT_EQ(RunCli({"check"}, dir.path(), "<B>b</B>").status, 0);  // standard input by default
  Outcome missing = RunCli({"check", "none.lxm"}, dir.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.lxm"), std::string::npos);
  EXPECT_EQ(RunCli({"check", "--strict", "good.lxm"}, dir.path()).status, 2);
}

TEST(Check, RenderDrawsDespiteDiagnosticsUnlessStrict) {
  ScratchDir dir;
  Outcome quiet = RunCli({"render", "a<frac>b", "-o", "quiet.png"}, dir.path());
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");
  Outcome warned = RunCli({"render", "a<frac>b", "-o", "warned.png", "--warnings"}, dir.path());
  EXPECT_EQ(warned.status, 0);
  EXPECT_EQ(warned.err, "<markup>:1:2: warning: unknown tag 'frac' passed over, did you mean 'FRAC'?\n");
  EXPECT_EQ(ReadFile(dir / "quiet.png"), ReadFile(dir / "warned.png"));
  Outcome strict = RunCli({"render", "a<frac>b", "-o", "strict.png", "--strict"}, dir.path());
  EXPECT_EQ(strict.status, 1);
  EXPECT_NE(strict.err.find("<markup>:1:2: warning:"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "strict.png"));
  WriteFile(dir / "f.lxm", "a\n  b</DIV>");
  Outcome file = RunCli({"render", "-f", "f.lxm", "-o", "f.png", "--strict"}, dir.path());
  EXPECT_EQ(file.status, 1);
  EXPECT_NE(file.err.find("f.lxm:2:4: warning: end tag '/DIV'"), std::string::npos) << file.err;
  EXPECT_EQ(RunCli({"render", "<B>a</B>", "-o", "ok.png", "--strict"}, dir.path()).status, 0);
  EXPECT_EQ(RunCli({"render", "a", "--extent", "--strict"}, dir.path()).status, 0);
}

TEST(Check, BatchStrictFailsTheLineWithItsMessage) {
  ScratchDir dir;
  WriteFile(dir / "list.txt", "good\ta<SUP>2</SUP>\nbad\tx<frac>\nalso\tb\n");
  for (const char* jobs : {"1", "2"}) {
    Outcome run = RunCli({"batch", "list.txt", "-o", std::string("out") + jobs, "--strict", "-j", jobs}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("line 2: --strict: column 2 of the formula: unknown tag 'frac'"), std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::exists(dir / (std::string("out") + jobs) / "good.png"));
    EXPECT_FALSE(fs::exists(dir / (std::string("out") + jobs) / "bad.png"));
  }
  EXPECT_EQ(RunCli({"batch", "list.txt", "-o", "lenient"}, dir.path()).status, 0);
}

}  // namespace
