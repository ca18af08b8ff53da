// The command-line parser and the batch line classifier, without running
// the program.
#include <gtest/gtest.h>

#include "tools/cli/batch.h"
#include "tools/cli/options.h"

using namespace cli;

namespace {

ParseResult Parse(std::vector<std::string> args) { return ParseOptions(args); }

TEST(Options, ReadsEveryOptionInBothSpellings) {
  ParseResult r = Parse({"render", "--size=32", "--font", "DejaVu Serif", "--color", "RGB(255, 0, 0)",
                         "--background=#00ff80", "--angle", "-30.5", "--padding", "7", "--dpi=144",
                         "--scale", "1.5", "--encoding", "cp932", "--debug-boxes", "--aliased", "--format", "svg",
                         "-oout.svg", "--", "-x"});
  ASSERT_TRUE(r.ok) << r.error;
  const Options& o = r.options;
  EXPECT_EQ(o.command, Command::kRender);
  EXPECT_EQ(o.emHeight, 32);
  EXPECT_EQ(o.font, "DejaVu Serif");
  EXPECT_EQ(o.color, "RGB(255, 0, 0)");
  EXPECT_EQ(o.background, "#00ff80");
  EXPECT_DOUBLE_EQ(o.angle, -30.5);
  EXPECT_EQ(o.padding, 7);
  EXPECT_EQ(o.dpi, 144);
  EXPECT_DOUBLE_EQ(o.scale, 1.5);
  EXPECT_EQ(o.encoding, Encoding::kCp932);
  EXPECT_TRUE(o.debugBoxes);
  EXPECT_TRUE(o.aliased);
  EXPECT_EQ(o.format, Format::kSvg);
  EXPECT_EQ(o.output, "out.svg");
  EXPECT_TRUE(o.haveMarkup);
  EXPECT_EQ(o.markup, "-x");  // after "--" a leading dash is markup

  r = Parse({"render", "-", "-o", "-"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.inputFile, "-");
  EXPECT_FALSE(r.options.haveMarkup);

  r = Parse({"batch", "list.txt", "-o", "dir", "-j", "3", "-q", "--overwrite"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.inputFile, "list.txt");
  EXPECT_EQ(r.options.jobs, 3);
  EXPECT_TRUE(r.options.quiet);
  EXPECT_TRUE(r.options.overwrite);

  r = Parse({"batch", "list.txt", "-o", "dir", "--shard", "7/8"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.shardIndex, 7);
  EXPECT_EQ(r.options.shardCount, 8);

  r = Parse({"samples", "-o", "dir", "--samples", "s"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.samplesDir, "s");

  r = Parse({"tex2markup", "--display"});  // standard input to standard output
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.options.tex && r.options.display);
  EXPECT_EQ(r.options.inputFile, "-");
  EXPECT_EQ(r.options.output, "-");

  EXPECT_EQ(Parse({"--version"}).options.command, Command::kVersion);
  EXPECT_EQ(Parse({"batch", "--help"}).options.command, Command::kHelp);
}

TEST(Options, RefusesBadCommandLinesWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"draw", "x"},
      {"--version", "x"},
      {"render", "x"},                          // no output
      {"render", "x", "-o"},                    // missing value
      {"render", "x", "y", "-o", "a.png"},      // two markups
      {"render", "x", "-f", "a", "-o", "b"},   // markup twice
      {"render", "--extent", "x", "-o", "a"},  // extent takes no output
      {"render", "x", "-o", "a", "--size", "12px"},
      {"render", "x", "-o", "a", "--size", ""},
      {"render", "x", "-o", "a", "--size", "0"},
      {"render", "x", "-o", "a", "--size", "99999999999999999999"},
      {"render", "x", "-o", "a", "--angle", "nan"},
      {"render", "x", "-o", "a", "--angle", "inf"},
      {"render", "x", "-o", "a", "--angle", "1e400"},
      {"render", "x", "-o", "a", "--scale", "0"},
      {"render", "x", "-o", "a", "--scale", "-2"},
      {"render", "x", "-o", "a", "--dpi", "0x60"},
      {"render", "x", "-o", "a", "--padding", "-1"},
      {"render", "x", "-o", "a", "--color", "transparent"},
      {"render", "x", "-o", "a", "--color", "redish"},
      {"render", "x", "-o", "a", "--background", "#12345"},
      {"render", "x", "-o", "a", "--background", "rgb(1,2,256)"},
      {"render", "x", "-o", "a", "--background", "rgb(1,2)"},
      {"render", "x", "-o", "a", "--format", "gif"},
      {"render", "x", "-o", "a", "--encoding", "latin1"},
      {"render", "x", "-o", "a", "--jobs", "2"},  // a batch option
      {"render", "x", "-o", "a", "--overwrite"},
      {"render", "x", "-o", "a", "--extent=yes"},
      {"render", "x", "-o", "a", "--nope"},
      {"render", "x", "-o", "a", "-z"},
      {"batch", "-o", "dir"},                    // no file
      {"batch", "f", "-o", "-"},                 // not a directory
      {"batch", "f", "-o", "d", "--jobs", "65"},
      {"batch", "f", "-o", "d", "--shard", "3/3"},  // K counts from 0
      {"batch", "f", "-o", "d", "--shard", "0/0"},
      {"batch", "f", "-o", "d", "--shard", "-1/3"},
      {"batch", "f", "-o", "d", "--shard", "1/-3"},
      {"batch", "f", "-o", "d", "--shard", "+1/3"},
      {"batch", "f", "-o", "d", "--shard", "1"},
      {"batch", "f", "-o", "d", "--shard", "1/"},
      {"batch", "f", "-o", "d", "--shard", "/3"},
      {"batch", "f", "-o", "d", "--shard", "1/3/4"},
      {"batch", "f", "-o", "d", "--shard", "1/3 "},
      {"batch", "f", "-o", "d", "--shard", "a/b"},
      {"batch", "f", "-o", "d", "--shard", "0/1000001"},
      {"batch", "f", "-o", "d", "--shard", "0/99999999999999999999"},
      {"batch", "f", "-o", "d", "--shard"},
      {"batch", "f", "-o", "d", "--shard", "0/2", "--overwrite"},
      {"render", "x", "-o", "a", "--shard", "0/2"},
      {"samples", "-o", "d", "extra"},
      {"samples"},
      {"render", "x", "-o", "a", "--display"},  // a style of TeX without --tex
      {"render", "x", "-o", "a", "--tex", "--encoding", "cp932"},
      {"samples", "-o", "d", "--tex"},
      {"check", "--display"},
      {"tex2markup", "a", "b"},
      {"tex2markup", "a", "-f", "f"},
      {"tex2markup", "a", "--size", "30"},
  };
  for (const auto& args : bad) {
    std::string line;
    for (const auto& a : args) line += "[" + a + "]";
    ParseResult r = Parse(args);
    EXPECT_FALSE(r.ok) << line;
    EXPECT_FALSE(r.error.empty()) << line;
    EXPECT_EQ(r.error.find('\n'), std::string::npos) << line;
  }
}

TEST(Options, ColoursFollowTheMarkupSyntax) {
  for (const char* good : {"red", "NAVY", "Black", "#a0B1c2", "rgb(0,0,0)", "rgb( 255 , 128 , 0 )", "RGB(1,2,3)"})
    EXPECT_TRUE(IsColor(good, false)) << good;
  for (const char* bad : {"", "#", "#12345g", "#1234567", "rgb(1,2,3", "rgb(1,,3)", "rgb(1,2,3,4)",
                          "rgb(-1,2,3)", "rgb(a,b,c)", "dark red", "reddish", "transparent"})
    EXPECT_FALSE(IsColor(bad, false)) << bad;
  EXPECT_TRUE(IsColor("Transparent", true));
}

TEST(BatchLines, NamesSkipsAndRefusals) {
  EXPECT_EQ(ParseBatchLine("", 1).kind, BatchLine::kSkip);
  EXPECT_EQ(ParseBatchLine("  \t \r", 1).kind, BatchLine::kSkip);
  EXPECT_EQ(ParseBatchLine("  # a comment", 1).kind, BatchLine::kSkip);

  BatchLine plain = ParseBatchLine("x<+>y\r", 12);
  EXPECT_EQ(plain.kind, BatchLine::kFormula);
  EXPECT_EQ(plain.name, "line-12");
  EXPECT_EQ(plain.markup, "x<+>y");

  BatchLine named = ParseBatchLine(" quad \t<FRAC><S>a</S><S>b</S></FRAC>", 3);
  EXPECT_EQ(named.kind, BatchLine::kFormula);
  EXPECT_EQ(named.name, "quad");
  EXPECT_EQ(named.markup, "<FRAC><S>a</S><S>b</S></FRAC>");
  EXPECT_EQ(ParseBatchLine("数式\tx", 3).name, "数式");

  for (const char* bad : {"../up\tx", "a/b\tx", ".hidden\tx", "\tx", "name\t  ", "a\x01" "b\tx"})
    EXPECT_EQ(ParseBatchLine(bad, 1).kind, BatchLine::kBad) << bad;
  EXPECT_EQ(ParseBatchLine(std::string(kMaxBatchLine > 300 ? 300 : 1, 'n') + "\tx", 1).kind, BatchLine::kBad);
}

}  // namespace
