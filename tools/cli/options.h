// The command line of `lexaro`: turns argv into an Options record or a
// clear error. Parsing has no side effects (no files are touched), so it can
// be tested and fuzzed on its own.
#pragma once

#include <string>
#include <vector>

namespace cli {

enum class Command { kHelp, kVersion, kRender, kBatch, kSamples, kCheck, kTex2Markup };
enum class Format { kAuto, kPng, kSvg };
enum class Encoding { kUtf8, kCp932 };

// Limits of what the command line accepts.
constexpr int kMaxEmHeight = 4096;   // pixels, before --scale
constexpr int kMaxPadding = 4096;    // pixels, before --scale
constexpr int kMinDpi = 10, kMaxDpi = 9600;
constexpr double kMinScale = 0.1, kMaxScale = 16;
constexpr double kMaxAngle = 36000;  // degrees either way
constexpr int kMaxJobs = 64;
constexpr long kMaxShards = 1'000'000;  // batch --shard K/N: N at most

struct Options {
  Command command = Command::kHelp;
  // What to render (or, for tex2markup, translate): markup (TeX with --tex)
  // given on the command line, a file (-f), or standard input ("-" or -f -).
  std::string markup;
  bool haveMarkup = false;
  std::string inputFile;  // -f; also batch's FILE
  std::string output;     // -o: file, "-" for standard output, or directory
  Format format = Format::kAuto;
  int emHeight = 20;
  std::string font;                      // empty: the engine's default face
  std::string color = "black";           // validated colour text
  std::string background = "transparent";
  double angle = 0;                      // degrees, counter-clockwise
  int padding = 0;
  int dpi = 96;
  double scale = 1;
  Encoding encoding = Encoding::kUtf8;
  bool extent = false;
  bool debugBoxes = false;
  bool aliased = false;  // lines and fills as the library draws them by default
  int jobs = 1;
  std::string samplesDir;  // samples --samples DIR; empty: the built-in one
  bool quiet = false;      // batch: no progress bar
  bool overwrite = false;  // batch: a later line may repeat an image name
  // batch --shard K/N: only the lines whose number less one is K modulo N
  long shardIndex = 0, shardCount = 1;
  bool strict = false;     // render, batch: a formula with any diagnostic fails
  bool warnings = false;   // render: diagnostics go to standard error
  bool tex = false;        // the text is TeX math (always for tex2markup)
  bool display = false;    // TeX in display style
  std::vector<std::string> inputs;  // check: the files ("-" for standard input)
};

struct ParseResult {
  bool ok = false;
  Options options;
  std::string error;  // when !ok: one line, without the program name
};

// args are the words after the program name.
ParseResult ParseOptions(const std::vector<std::string>& args);
ParseResult ParseOptions(int argc, const char* const* argv);

// True for "#rrggbb", "rgb(r,g,b)" (0..255 each), a colour name the markup
// knows, and, when allowTransparent, "transparent"; case is ignored.
bool IsColor(const std::string& text, bool allowTransparent);

// The --help text and the version line.
std::string HelpText();
std::string VersionText();

}  // namespace cli
