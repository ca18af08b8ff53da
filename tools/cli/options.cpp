#include "tools/cli/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "lexaro/color.h"

#ifndef LEXARO_VERSION
#define LEXARO_VERSION "unknown"
#endif

namespace cli {
namespace {

// Which commands accept an option.
enum : unsigned {
  kRender = 1,
  kBatch = 2,
  kSamples = 4,
  kCheck = 8,
  kTex2Markup = 16,
  kDrawing = kRender | kBatch | kSamples,
  kReadsTex = kRender | kBatch | kCheck,
};

using Setter = std::function<bool(Options&, const std::string& value, std::string* error)>;

struct OptionSpec {
  const char* longName;  // without "--"
  char shortName;        // 0 for none
  bool takesValue;
  unsigned commands;
  Setter set;
};

// Errors quote the words they refuse; a control character in a word (a line
// break, an escape sequence) would break the one-line message, so it shows
// as '?'.
std::string Printable(std::string message) {
  for (char& c : message)
    if ((unsigned char)c < 0x20 || c == 0x7F) c = '?';
  return message;
}

bool Fail(std::string* error, std::string message) {
  *error = Printable(std::move(message));
  return false;
}

bool ParseInt(const std::string& text, int low, int high, const char* what, int* out,
              std::string* error) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end)
    return Fail(error, std::string(what) + " must be a whole number, not '" + text + "'");
  if (value < low || value > high)
    return Fail(error, std::string(what) + " must be between " + std::to_string(low) + " and " +
                           std::to_string(high) + ", not " + text);
  *out = value;
  return true;
}

bool ParseReal(const std::string& text, double low, double high, const char* what, double* out,
               std::string* error) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end || !std::isfinite(value))
    return Fail(error, std::string(what) + " must be a number, not '" + text + "'");
  if (value < low || value > high) {
    char range[96];
    std::snprintf(range, sizeof range, " must be between %g and %g, not ", low, high);
    return Fail(error, std::string(what) + range + text);
  }
  *out = value;
  return true;
}

// A whole number of digits only (no sign, no spaces), at most `high`.
bool ParseCount(std::string_view text, long high, long* out) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && *out <= high;
}

// "K/N": 0 <= K < N <= kMaxShards.
bool ParseShard(const std::string& text, Options& o, std::string* error) {
  const size_t slash = text.find('/');
  long k = 0, n = 0;
  const std::string_view whole(text);
  if (slash == std::string::npos || !ParseCount(whole.substr(0, slash), kMaxShards, &k) ||
      !ParseCount(whole.substr(slash + 1), kMaxShards, &n) || n < 1)
    return Fail(error, "the shard must be K/N with 0 <= K < N <= " + std::to_string(kMaxShards) +
                           " (such as 0/4), not '" + text + "'");
  if (k >= n) return Fail(error, "the shard K/N must have K below N (K counts from 0), not " + text);
  o.shardIndex = k;
  o.shardCount = n;
  return true;
}

bool SetColor(std::string* field, const std::string& value, bool allowTransparent, const char* what,
              std::string* error) {
  if (!IsColor(value, allowTransparent))
    return Fail(error, std::string(what) + " '" + value +
                           "' is not a colour: use a name such as red, #rrggbb or rgb(r,g,b)" +
                           (allowTransparent ? " or transparent" : ""));
  *field = value;
  return true;
}

bool NonEmpty(const std::string& value, const char* what, std::string* error) {
  if (value.empty()) return Fail(error, std::string(what) + " must not be empty");
  return true;
}

const std::vector<OptionSpec>& Specs() {
  static const std::vector<OptionSpec> specs = {
      {"output", 'o', true, kDrawing | kTex2Markup,
       [](Options& o, const std::string& v, std::string* e) {
         o.output = v;
         return NonEmpty(v, "the output (-o)", e);
       }},
      {"file", 'f', true, kRender | kTex2Markup,
       [](Options& o, const std::string& v, std::string* e) {
         o.inputFile = v;
         return NonEmpty(v, "the input file (-f)", e);
       }},
      {"format", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         if (v == "png") o.format = Format::kPng;
         else if (v == "svg") o.format = Format::kSvg;
         else return Fail(e, "the format must be png or svg, not '" + v + "'");
         return true;
       }},
      {"size", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return ParseInt(v, 1, kMaxEmHeight, "the size", &o.emHeight, e);
       }},
      {"font", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         o.font = v;
         return NonEmpty(v, "the font", e);
       }},
      {"color", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return SetColor(&o.color, v, false, "the colour", e);
       }},
      {"background", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return SetColor(&o.background, v, true, "the background", e);
       }},
      {"angle", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return ParseReal(v, -kMaxAngle, kMaxAngle, "the angle", &o.angle, e);
       }},
      {"padding", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return ParseInt(v, 0, kMaxPadding, "the padding", &o.padding, e);
       }},
      {"dpi", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return ParseInt(v, kMinDpi, kMaxDpi, "the resolution (--dpi)", &o.dpi, e);
       }},
      {"scale", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         return ParseReal(v, kMinScale, kMaxScale, "the scale", &o.scale, e);
       }},
      {"encoding", 0, true, kDrawing,
       [](Options& o, const std::string& v, std::string* e) {
         if (v == "utf-8" || v == "utf8" || v == "UTF-8") o.encoding = Encoding::kUtf8;
         else if (v == "cp932" || v == "shift_jis" || v == "CP932") o.encoding = Encoding::kCp932;
         else return Fail(e, "the encoding must be utf-8 or cp932, not '" + v + "'");
         return true;
       }},
      {"extent", 0, false, kRender,
       [](Options& o, const std::string&, std::string*) { return o.extent = true; }},
      {"debug-boxes", 0, false, kDrawing,
       [](Options& o, const std::string&, std::string*) { return o.debugBoxes = true; }},
      {"aliased", 0, false, kDrawing,
       [](Options& o, const std::string&, std::string*) { return o.aliased = true; }},
      {"jobs", 'j', true, kBatch,
       [](Options& o, const std::string& v, std::string* e) {
         return ParseInt(v, 1, kMaxJobs, "the number of jobs", &o.jobs, e);
       }},
      {"shard", 0, true, kBatch,
       [](Options& o, const std::string& v, std::string* e) { return ParseShard(v, o, e); }},
      {"quiet", 'q', false, kBatch,
       [](Options& o, const std::string&, std::string*) { return o.quiet = true; }},
      {"tex", 0, false, kReadsTex,
       [](Options& o, const std::string&, std::string*) { return o.tex = true; }},
      {"display", 0, false, kReadsTex | kTex2Markup,
       [](Options& o, const std::string&, std::string*) { return o.display = true; }},
      {"strict", 0, false, kRender | kBatch | kTex2Markup,
       [](Options& o, const std::string&, std::string*) { return o.strict = true; }},
      {"warnings", 0, false, kRender,
       [](Options& o, const std::string&, std::string*) { return o.warnings = true; }},
      {"overwrite", 0, false, kBatch,
       [](Options& o, const std::string&, std::string*) { return o.overwrite = true; }},
      {"samples", 0, true, kSamples,
       [](Options& o, const std::string& v, std::string* e) {
         o.samplesDir = v;
         return NonEmpty(v, "the samples directory", e);
       }},
  };
  return specs;
}

const OptionSpec* FindLong(std::string_view name) {
  for (const OptionSpec& s : Specs())
    if (name == s.longName) return &s;
  return nullptr;
}

const OptionSpec* FindShort(char name) {
  for (const OptionSpec& s : Specs())
    if (s.shortName != 0 && s.shortName == name) return &s;
  return nullptr;
}

unsigned CommandBit(Command c) {
  switch (c) {
    case Command::kRender: return kRender;
    case Command::kBatch: return kBatch;
    case Command::kSamples: return kSamples;
    case Command::kCheck: return kCheck;
    case Command::kTex2Markup: return kTex2Markup;
    default: return 0;
  }
}

const char* CommandName(Command c) {
  switch (c) {
    case Command::kRender: return "render";
    case Command::kBatch: return "batch";
    case Command::kSamples: return "samples";
    case Command::kCheck: return "check";
    case Command::kTex2Markup: return "tex2markup";
    default: return "";
  }
}

ParseResult Error(std::string message) {
  ParseResult r;
  r.error = Printable(std::move(message));
  return r;
}

// Checks what the TeX options say together.
bool CheckTex(const Options& o, std::string* error) {
  if (o.display && !o.tex) return Fail(error, "--display is a style of TeX: add --tex");
  // The translation keeps the TeX's own characters, so both are UTF-8.
  if (o.tex && o.encoding != Encoding::kUtf8) return Fail(error, "TeX is read as UTF-8: --tex takes no --encoding cp932");
  return true;
}

// Checks what the options say together, once all are read.
bool CheckCombination(Options& o, const std::vector<std::string>& positional, std::string* error) {
  if (o.command == Command::kTex2Markup) o.tex = true;
  if (!CheckTex(o, error)) return false;
  switch (o.command) {
    case Command::kRender:
      if (positional.size() > 1)
        return Fail(error, "render takes one markup text; quote it to keep its spaces (extra: '" +
                               positional[1] + "')");
      if (!positional.empty() && !o.inputFile.empty())
        return Fail(error, "give the markup either as an argument or with -f, not both");
      if (positional.empty() && o.inputFile.empty())
        return Fail(error, "no markup: give it as an argument, with -f FILE, or '-' for standard input");
      if (!positional.empty()) {
        if (positional[0] == "-") o.inputFile = "-";
        else o.markup = positional[0], o.haveMarkup = true;
      }
      if (!o.extent && o.output.empty()) return Fail(error, "no output: give -o FILE (or -o - for standard output)");
      if (o.extent && !o.output.empty()) return Fail(error, "--extent prints the size; it takes no -o");
      return true;
    case Command::kBatch:
      if (positional.size() != 1) return Fail(error, "batch takes one FILE of formulas ('-' for standard input)");
      o.inputFile = positional[0];
      if (o.output.empty()) return Fail(error, "no output directory: give -o DIR");
      if (o.output == "-") return Fail(error, "batch writes one file per formula: -o must name a directory");
      // Which of two lines naming one image wins would depend on which
      // machine finishes last when they fall into different shards.
      if (o.overwrite && o.shardCount > 1) return Fail(error, "--overwrite does not go with --shard");
      return true;
    case Command::kSamples:
      if (!positional.empty()) return Fail(error, "samples takes no arguments (unexpected '" + positional[0] + "')");
      if (o.output.empty()) return Fail(error, "no output directory: give -o DIR");
      if (o.output == "-") return Fail(error, "samples writes one file per sample: -o must name a directory");
      return true;
    case Command::kCheck:
      o.inputs = positional.empty() ? std::vector<std::string>{"-"} : positional;
      return true;
    case Command::kTex2Markup:
      if (positional.size() > 1)
        return Fail(error, "tex2markup takes one TeX text; quote it to keep its spaces (extra: '" +
                               positional[1] + "')");
      if (!positional.empty() && !o.inputFile.empty())
        return Fail(error, "give the TeX either as an argument or with -f, not both");
      if (!positional.empty() && positional[0] != "-") o.markup = positional[0], o.haveMarkup = true;
      else if (o.inputFile.empty()) o.inputFile = "-";
      if (o.output.empty()) o.output = "-";
      return true;
    default:
      return true;
  }
}

}  // namespace

bool IsColor(const std::string& text, bool allowTransparent) {
  return IsColorText(CString(text), allowTransparent);
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.options;
  if (args.empty()) return Error("no command: try 'lexaro --help'");
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    o.command = Command::kHelp;
  } else if (first == "--version" || first == "-V" || first == "version") {
    o.command = Command::kVersion;
  } else if (first == "render") {
    o.command = Command::kRender;
  } else if (first == "batch") {
    o.command = Command::kBatch;
  } else if (first == "samples") {
    o.command = Command::kSamples;
  } else if (first == "check") {
    o.command = Command::kCheck;
  } else if (first == "tex2markup") {
    o.command = Command::kTex2Markup;
  } else {
    return Error("unknown command '" + first +
                 "': use render, batch, samples, check or tex2markup (see 'lexaro --help')");
  }
  if (o.command == Command::kHelp || o.command == Command::kVersion) {
    if (args.size() > 1) return Error("'" + first + "' takes no arguments");
    result.ok = true;
    return result;
  }

  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      o.command = Command::kHelp;
      result.ok = true;
      return result;
    }
    const OptionSpec* spec = nullptr;
    std::string value, shown;
    bool haveValue = false;
    if (arg[1] == '-') {
      std::string name = arg.substr(2);
      size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        haveValue = true;
        name.resize(eq);
      }
      spec = FindLong(name);
      shown = "--" + name;
    } else {
      spec = FindShort(arg[1]);
      shown = arg.substr(0, 2);
      if (arg.size() > 2) {
        value = arg.substr(2);
        haveValue = true;
      }
    }
    if (!spec)
      return Error("unknown option '" + shown + "' (see 'lexaro --help'; markup that starts with '-' goes after '--')");
    if (!(spec->commands & CommandBit(o.command)))
      return Error("option '" + shown + "' does not apply to " + CommandName(o.command));
    if (spec->takesValue && !haveValue) {
      if (i + 1 >= args.size()) return Error("option '" + shown + "' needs a value");
      value = args[++i];
    } else if (!spec->takesValue && haveValue) {
      return Error("option '" + shown + "' takes no value");
    }
    if (!spec->set(o, value, &result.error)) return result;
  }
  if (!CheckCombination(o, positional, &result.error)) return result;
  result.ok = true;
  return result;
}

ParseResult ParseOptions(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc && argv; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return ParseOptions(args);
}

std::string VersionText() { return std::string("lexaro ") + LEXARO_VERSION + "\n"; }

}  // namespace cli
