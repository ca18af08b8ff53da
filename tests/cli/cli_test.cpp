// The lexaro program run as a user runs it: errors, images, extents, turned
// drawings, batches and samples.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <regex>

#include "lexaro/lexaro.h"
#include "run_cli.h"
#include "support/device_files.h"
#include "support/pixels.h"
#include "tools/cli/files.h"
#include "tools/gallery.h"

namespace fs = std::filesystem;

namespace {

const std::string kFormula = "<FRAC><S>1</S><S>x<SUP>2</SUP></S></FRAC><+><SQRT>y</SQRT>";

std::unique_ptr<CRasterDC> Load(const fs::path& path) {
  std::string error;
  auto dc = CRasterDC::LoadPng(path.string(), &error);
  EXPECT_TRUE(dc) << path << ": " << error;
  return dc;
}

// Pixels with any coverage on a transparent image.
PixelSet Ink(const CRasterDC& dc) { return Painted(dc, 0u); }

// The layout extent of --extent's answer; *image gets the image's size.
LX_TXT_EXTENT ParseExtent(const std::string& json, CSize* image = nullptr) {
  std::smatch m;
  LX_TXT_EXTENT e{-1, -1, -1};
  if (std::regex_match(json, m,
                       std::regex(R"(\{"width":(-?\d+),"ascent":(-?\d+),"descent":(-?\d+),)"
                                  R"("imageWidth":(\d+),"imageHeight":(\d+)\}\n)"))) {
    e = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
    if (image) *image = CSize(std::stoi(m[4]), std::stoi(m[5]));
  }
  return e;
}

TEST(Cli, EveryErrorGivesAMessageItsStatusAndNoOutputFile) {
  ScratchDir dir;
  fs::create_directory(dir / "sub");
  WriteFile(dir / "nul.lxm", std::string("x\0y", 3));
  WriteFile(dir / "list.txt", "x\n");
  WriteFile(dir / "file", "");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says = "";
  } cases[] = {
      {{"render", "x", "-o", "out.png", "--frobnicate"}, 2},
      {{"render", "x", "-o", "out.png", "--size", "20.5"}, 2},
      {{"render", "x", "-o", "out.png", "--background", "mauve"}, 2},
      {{"render", "x"}, 2},
      {{"render", "-f", "missing.lxm", "-o", "out.png"}, 1},
      {{"render", "-f", "sub", "-o", "out.png"}, 1},
      {{"render", "-f", "nul.lxm", "-o", "out.png"}, 1},
      {{"render", "x", "-o", "no/such/dir/out.png"}, 1},
      {{"render", "x", "-o", "sub"}, 1},
      {{"render", std::string(40, 'x'), "--size", "1000", "-o", "out.png"}, 1},
      {{"render", "xxxxxxxxxx", "--size", "1000", "--padding", "4096", "-o", "out.png"}, 1},
      {{"batch", "missing.txt", "-o", "outdir"}, 1, "cannot open 'missing.txt'"},
      {{"batch", "sub", "-o", "outdir"}, 1, "'sub' is a directory"},
      {{"batch", "list.txt", "-o", "file/sub"}, 1, "cannot create the directory 'file/sub': Not a directory"},
      {{"batch", "list.txt", "-o", "file"}, 1, "'file' is not a directory"},
      {{"samples", "-o", "outdir", "--samples", "sub"}, 1, "no sample files"},
      {{"samples", "-o", "outdir", "--samples", "/nonexistent"}, 1, "'/nonexistent' does not exist"},
      {{"samples", "-o", "file/sub"}, 1, "cannot create the directory 'file/sub'"},
  };
  const auto before = dir.Names();
  for (const Case& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    Outcome o = RunCli(c.args, dir.path());
    EXPECT_EQ(o.status, c.status) << line << o.err;
    EXPECT_EQ(o.err.rfind("lexaro: ", 0), 0u) << line << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << line << o.err;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << line << o.err;
    EXPECT_TRUE(o.out.empty()) << line;
    EXPECT_FALSE(fs::exists(dir / "out.png")) << line;
    EXPECT_TRUE(fs::is_empty(dir / "sub")) << line;
    EXPECT_FALSE(fs::exists(dir / "outdir")) << line;
    EXPECT_EQ(dir.Names(), before) << line << "left a file behind";
  }
  Outcome help = RunCli({"--help"}, dir.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("16384"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
}

TEST(Cli, ExtentIsTheEnginesAndTheImageHoldsItWithThePadding) {
  ScratchDir dir;
  Outcome extent = RunCli({"render", "--extent", kFormula}, dir.path());
  ASSERT_EQ(extent.status, 0) << extent.err;
  CRasterDC scratch(1, 1);
  CLexaro lexaro;
  lexaro.SetText(&scratch, CString(kFormula));
  LX_TXT_EXTENT expected = lexaro.GetTextExtent_Ex(&scratch);
  LX_TXT_EXTENT got = ParseExtent(extent.out);
  EXPECT_EQ(got.width, expected.width) << extent.out;
  EXPECT_EQ(got.ascent, expected.ascent);
  EXPECT_EQ(got.descent, expected.descent);

  Outcome drawn = RunCli({"render", kFormula, "--padding", "5", "-o", "f.png"}, dir.path());
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  auto image = Load(dir / "f.png");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), expected.width + 10);
  EXPECT_EQ(image->Height(), expected.ascent + expected.descent + 10);
  CRect ink = Box(Ink(*image));
  EXPECT_FALSE(ink.IsRectEmpty());
  EXPECT_GE(ink.left, 5);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.right, image->Width() - 5 + 1);
  EXPECT_LE(ink.bottom, image->Height() - 5 + 1);
  CSize measured;
  ParseExtent(RunCli({"render", "--extent", kFormula, "--padding", "5"}, dir.path()).out, &measured);
  EXPECT_EQ(measured, CSize(image->Width(), image->Height()));

  // Negative margins make a valid layout narrower than nothing: reported as
  // it is, and drawn.
  const char* narrow = "<DIV style=\"margin:-100\">x</DIV>";
  Outcome negative = RunCli({"render", "--extent", narrow}, dir.path());
  ASSERT_EQ(negative.status, 0) << negative.err;
  EXPECT_LT(ParseExtent(negative.out).width, 0) << negative.out;
  EXPECT_EQ(RunCli({"render", narrow, "-o", "n.png"}, dir.path()).status, 0);

  // --scale 2 doubles the em height and the padding.
  Outcome scaled = RunCli({"render", kFormula, "--padding", "5", "--scale", "2", "-o", "g.png"}, dir.path());
  ASSERT_EQ(scaled.status, 0) << scaled.err;
  auto big = Load(dir / "g.png");
  ASSERT_TRUE(big);
  EXPECT_NEAR(big->Width(), 2 * image->Width(), 6);
  EXPECT_NEAR(big->Height(), 2 * image->Height(), 6);
}

TEST(Cli, TurnedDrawingsKeepAllTheirInkInsideTheImage) {
  ScratchDir dir;
  CRasterDC scratch(1, 1);
  CLexaro lexaro;
  lexaro.SetText(&scratch, CString(kFormula));
  LX_TXT_EXTENT e = lexaro.GetTextExtent_Ex(&scratch);
  for (int angle : {30, 90, 135, 180, 250, -45}) {
    std::string file = "turned" + std::to_string(angle + 360) + ".png";
    Outcome o = RunCli({"render", kFormula, "--angle", std::to_string(angle), "--padding", "3", "-o", file},
                       dir.path());
    ASSERT_EQ(o.status, 0) << o.err;
    auto image = Load(dir / file);
    ASSERT_TRUE(image);
    gallery::Bounds b = gallery::RotatedBounds(e.width, e.ascent + e.descent, angle * 10L);
    EXPECT_EQ(image->Width(), b.Width() + 6) << angle;
    EXPECT_EQ(image->Height(), b.Height() + 6) << angle;
    // The turned box fills the image up to the padding: ink comes near every
    // side but never reaches the outermost two pixels.
    CRect ink = Box(Ink(*image));
    EXPECT_GE(ink.left, 2) << angle;
    EXPECT_GE(ink.top, 2) << angle;
    EXPECT_LE(ink.right, image->Width() - 2) << angle;
    EXPECT_LE(ink.bottom, image->Height() - 2) << angle;
  }
}

TEST(Cli, GlyphsReachingOutOfTheirBoxAreNotCut) {
  // Italic f overhangs its advance on both sides: the image grows to hold it.
  ScratchDir dir;
  const std::string italic = "<I>fff</I>";
  auto coverage = [](const CRasterDC& dc) {
    long long sum = 0;
    for (int y = 0; y < dc.Height(); ++y)
      for (int x = 0; x < dc.Width(); ++x) sum += PixelAt(dc, x, y) >> 24;
    return sum;
  };
  LX_TXT_EXTENT box = ParseExtent(RunCli({"render", "--extent", italic}, dir.path()).out);
  for (int angle : {0, 75, 180}) {
    std::string a = std::to_string(angle);
    ASSERT_EQ(RunCli({"render", italic, "--angle", a, "-o", "tight.png"}, dir.path()).status, 0);
    ASSERT_EQ(RunCli({"render", italic, "--angle", a, "--padding", "10", "-o", "loose.png"}, dir.path()).status, 0);
    auto tight = Load(dir / "tight.png"), loose = Load(dir / "loose.png");
    ASSERT_TRUE(tight && loose);
    EXPECT_NEAR(coverage(*tight), coverage(*loose), 16) << angle;
    if (angle == 0) {
      EXPECT_GT(tight->Width(), box.width);
    }
  }
}

TEST(Cli, ColoursDebugBoxesAndEncodings) {
  ScratchDir dir;
  ASSERT_EQ(RunCli({"render", kFormula, "--color", "#0000FF", "--background", "white", "-o", "c.png"}, dir.path()).status, 0);
  auto coloured = Load(dir / "c.png");
  ASSERT_TRUE(coloured);
  EXPECT_EQ(PixelAt(*coloured, 0, 0), kWhite);
  int blue = 0, other = 0;
  for (auto [x, y] : Painted(*coloured)) {
    std::uint32_t p = PixelAt(*coloured, x, y);
    (((p >> 16) & 255) == ((p >> 8) & 255) && (p & 255) == 255 ? blue : other)++;
  }
  EXPECT_GT(blue, 50);
  EXPECT_EQ(other, 0);

  // Debug boxes: construct boxes in magenta, none without the option. The
  // turned boxes are anti-aliased: any share of magenta counts.
  auto magenta = [](const CRasterDC& dc) {
    int n = 0;
    for (int y = 0; y < dc.Height(); ++y)
      for (int x = 0; x < dc.Width(); ++x) {
        const std::uint32_t p = PixelAt(dc, x, y);
        n += ((p >> 8) & 255) == 0 && ((p >> 16) & 255) > (p & 255) && (p & 255) > 0;
      }
    return n;
  };
  ASSERT_EQ(RunCli({"render", kFormula, "--debug-boxes", "-o", "d.png", "--angle", "20"}, dir.path()).status, 0);
  ASSERT_EQ(RunCli({"render", kFormula, "-o", "n.png", "--angle", "20"}, dir.path()).status, 0);
  EXPECT_GT(magenta(*Load(dir / "d.png")), 40);
  EXPECT_EQ(magenta(*Load(dir / "n.png")), 0);

  // The same Japanese text in Shift_JIS and in UTF-8 draws the same image.
  WriteFile(dir / "sjis.lxm", "\x93\xfa\x96\x7b<+>x");
  ASSERT_EQ(RunCli({"render", "-f", "sjis.lxm", "--encoding", "cp932", "-o", "s.png"}, dir.path()).status, 0);
  ASSERT_EQ(RunCli({"render", "日本<+>x", "-o", "u.png"}, dir.path()).status, 0);
  EXPECT_EQ(ReadFile(dir / "s.png"), ReadFile(dir / "u.png"));
}

TEST(Cli, LinesAreAntialiasedUnlessAliasedIsAsked) {
  // Level, both modes paint the same image; turned, the bars differ.
  ScratchDir dir;
  auto render = [&](const char* name, std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", kFormula, "--background", "white", "-o", name};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(RunCli(args, dir.path()).status, 0);
    return ReadFile(dir / name);
  };
  EXPECT_EQ(render("l.png", {}), render("la.png", {"--aliased"}));
  EXPECT_NE(render("t.png", {"--angle", "30"}), render("ta.png", {"--angle", "30", "--aliased"}));
}

TEST(Cli, StandardInputAndOutput) {
  ScratchDir dir;
  Outcome piped = RunCli({"render", "-", "-o", "-"}, dir.path(), kFormula + "\n");
  ASSERT_EQ(piped.status, 0) << piped.err;
  ASSERT_GT(piped.out.size(), 8u);
  EXPECT_EQ(piped.out.substr(0, 8), "\x89PNG\r\n\x1a\n");
  ASSERT_EQ(RunCli({"render", kFormula, "-o", "file.png"}, dir.path()).status, 0);
  EXPECT_EQ(piped.out, ReadFile(dir / "file.png"));

  Outcome svg = RunCli({"render", kFormula, "-o", "f.svg"}, dir.path());
  ASSERT_EQ(svg.status, 0) << svg.err;
  EXPECT_NE(ReadFile(dir / "f.svg").find("<svg"), std::string::npos);
}

// The targets an image meets: a device or a FIFO is written in place and
// stays what it was, a replaced file keeps its mode, a link stays a link,
// the longest file name fits, and a failed write says why.
TEST(Cli, OutputsReplaceOnlyRegularFilesAndSayWhyAWriteFailed) {
  ScratchDir dir;
  ASSERT_EQ(RunCli({"render", kFormula, "-o", "ref.png"}, dir.path()).status, 0);
  const std::string png = ReadFile(dir / "ref.png");
  const std::string longName(255, 'n');
  auto path = [&](const std::string& name) { return (dir / name).string(); };
  int fifo = -1;
  struct Case {
    const char* what;
    std::string target;
    std::function<bool()> setUp;  // false: not possible here
    int status;
    std::function<void(const Outcome&)> check;
  } cases[] = {
      {"a full device", "full", [&] { return CopyDevice("/dev/full", path("full")); }, 1,
       [&](const Outcome& o) {
         EXPECT_NE(o.err.find(std::strerror(ENOSPC)), std::string::npos) << o.err;
         EXPECT_TRUE(IsCharDevice(path("full")));
       }},
      {"a null device", "null", [&] { return CopyDevice("/dev/null", path("null")); }, 0,
       [&](const Outcome&) { EXPECT_TRUE(IsCharDevice(path("null"))); }},
      {"a FIFO", "fifo", [&] { return (fifo = FifoReader(path("fifo"))) >= 0; }, 0,
       [&](const Outcome&) { EXPECT_EQ(DrainFifo(fifo), png); }},
      {"a mode 600 file", "m.png", [&] { return WriteFile(path("m.png"), "old"), ::chmod(path("m.png").c_str(), 0600) == 0; },
       0,
       [&](const Outcome&) {
         EXPECT_EQ(ReadFile(path("m.png")), png);
         EXPECT_EQ(fs::status(path("m.png")).permissions() & fs::perms::all,
                   fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"a link", "l.png", [&] { return ::symlink("ref.png", path("l.png").c_str()) == 0; }, 0,
       [&](const Outcome&) { EXPECT_TRUE(fs::is_symlink(path("l.png"))); }},
      {"a name of 255 bytes", longName, [] { return true; }, 0,
       [&](const Outcome&) { EXPECT_EQ(ReadFile(path(longName)), png); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.setUp()) {
      std::printf("skipped here: %s\n", c.what);
      continue;
    }
    Outcome o = RunCli({"render", kFormula, "-o", c.target}, dir.path());
    EXPECT_EQ(o.status, c.status) << o.err;
    c.check(o);
  }
  for (const std::string& name : dir.Names()) EXPECT_NE(name.rfind(".lx", 0), 0u) << "left behind: " << name;

  // Help and version into a full device fail like any other write.
  if (IsCharDevice("/dev/full"))
    for (const char* option : {"--help", "--version"}) {
      Outcome o = RunCli({option}, dir.path(), "", Feed::kFile, "/dev/full");
      EXPECT_EQ(o.status, 1) << option;
      EXPECT_NE(o.err.find(std::strerror(ENOSPC)), std::string::npos) << option << o.err;
    }
}

// A signal during a write removes the temporary file.
TEST(Cli, ASignalDuringAWriteLeavesNoTemporaryFile) {
  ScratchDir dir;
  pid_t pid = ::fork();
  if (pid == 0) {
    cli::RemoveTempFilesOnSignals();
    std::string error;
    cli::WriteOutput((dir / "out.png").string(), [](lexaro::output::Sink& sink, std::string*) {
      sink.Write("partial");
      std::raise(SIGTERM);
      return true;
    }, &error);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

// Beyond a file-size limit the write fails with its reason instead of the
// signal ending the program, and nothing is left behind.
TEST(Cli, AFileSizeLimitIsAWriteErrorNotTheEnd) {
  ScratchDir dir;
  pid_t pid = ::fork();
  if (pid == 0) {
    cli::RemoveTempFilesOnSignals();
    rlimit small{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    bool ok = cli::WriteOutput((dir / "out.png").string(), std::string(65536, 'x'), &error);
    ::_exit(!ok && error.find(std::strerror(EFBIG)) != std::string::npos ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

TEST(Cli, BatchDrawsEveryGoodLineAndNamesTheBadOnes) {
  ScratchDir dir;
  WriteFile(dir / "list.txt",
            "# formulas\n"
            "x<+>y\n"
            "\n"
            "frac\t<FRAC><S>1</S><S>2</S></FRAC>\n"
            "huge\t<FONT size=30000>xxxxxxxxxxxxxxxx</FONT>\n"
            "../escape\tx\n"
            "<SQRT>z</SQRT>\r\n"
            "last\t<PAREN>a</PAREN>");
  Outcome one = RunCli({"batch", "list.txt", "-o", "one"}, dir.path());
  EXPECT_EQ(one.status, 1);
  EXPECT_NE(one.err.find("line 5:"), std::string::npos) << one.err;
  EXPECT_NE(one.err.find("line 6:"), std::string::npos) << one.err;
  EXPECT_NE(one.err.find("4 of 6 formulas"), std::string::npos) << one.err;
  const std::vector<std::string> expected = {"frac.png", "last.png", "line-2.png", "line-7.png"};
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir / "one")) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(fs::exists(dir / "escape.png"));

  Outcome two = RunCli({"batch", "-", "-o", "two", "--jobs", "2"}, dir.path(), ReadFile(dir / "list.txt"));
  EXPECT_EQ(two.status, 1);
  EXPECT_NE(two.err.find("line 5:"), std::string::npos) << two.err;
  for (const std::string& name : expected) EXPECT_EQ(ReadFile(dir / "one" / name), ReadFile(dir / "two" / name)) << name;

  WriteFile(dir / "good.txt", "a\nb\tb<SUP>2</SUP>\n");
  Outcome good = RunCli({"batch", "good.txt", "-o", "good", "-j", "4"}, dir.path());
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_TRUE(fs::exists(dir / "good" / "line-1.png"));
  EXPECT_TRUE(fs::exists(dir / "good" / "b.png"));
}

TEST(Cli, SamplesDrawsEverySampleFile) {
  ScratchDir dir;
  fs::create_directories(dir / "s" / "gallery");
  WriteFile(dir / "s" / "one.lxm", "  <FRAC>\n    <S>1</S>\n    <S>2</S>\n  </FRAC>\n");
  WriteFile(dir / "s" / "two.lxm", "x<SUP>2</SUP>");
  WriteFile(dir / "s" / "gallery" / "g.lxm", "<SQRT>x</SQRT>");
  Outcome o = RunCli({"samples", "-o", "out", "--samples", "s", "--format", "svg"}, dir.path());
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(fs::exists(dir / "out" / "one.svg"));
  EXPECT_TRUE(fs::exists(dir / "out" / "two.svg"));
  EXPECT_TRUE(fs::exists(dir / "out" / "gallery" / "g.svg"));
}

}  // namespace
