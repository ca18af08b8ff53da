// lexaro: draws markup (or TeX) texts into PNG or SVG images from the command
// line, and translates TeX into markup.
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "tools/cli/batch.h"
#include "tools/cli/check.h"
#include "tools/cli/files.h"
#include "tools/cli/options.h"
#include "tools/cli/render.h"
#include "tools/cli/samples.h"
#include "tools/cli/tex2markup.h"

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

int Failed(const std::string& message) {
  std::fprintf(stderr, "lexaro: %s\n", message.c_str());
  return kFailed;
}

// Prints to standard output; a full disk or a closed pipe is a failure
// like any other write.
int Print(const std::string& text) {
  std::string error;
  return cli::WriteOutput("-", text, &error) ? kOk : Failed(error);
}

int Render(const cli::Options& o) {
  std::string markup = o.markup, error, bytes = o.markup;
  if (!o.haveMarkup && !cli::ReadText(o.inputFile, o.tex, &bytes, &markup, &error)) return Failed(error);
  cli::ApplyEngineDefaults(o);
  if ((o.strict || o.warnings) && !cli::WarnOrRefuse(o, cli::SourceName(o), bytes, markup, &error))
    return Failed(error);
  if (o.extent) {
    lexaro::Measurement size;
    if (!cli::MeasureMarkup(markup, o, &size, &error)) return Failed(error);
    return Print(cli::ExtentJson(size));
  }
  return cli::RenderMarkup(markup, o, cli::ResolveFormat(o, o.output), o.output, &error) ? kOk : Failed(error);
}

int Run(int argc, char** argv) {
  cli::RemoveTempFilesOnSignals();
  cli::ParseResult parsed = cli::ParseOptions(argc, argv);
  if (!parsed.ok) {
    std::fprintf(stderr, "lexaro: %s\n", parsed.error.c_str());
    return kUsage;
  }
  const cli::Options& o = parsed.options;
  switch (o.command) {
    case cli::Command::kHelp: return Print(cli::HelpText());
    case cli::Command::kVersion: return Print(cli::VersionText());
    case cli::Command::kRender: return Render(o);
    case cli::Command::kBatch: return cli::RunBatch(o);
    case cli::Command::kSamples: return cli::RunSamples(o);
    case cli::Command::kCheck: return cli::RunCheck(o);
    case cli::Command::kTex2Markup: return cli::RunTex2Markup(o);
  }
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return Failed("out of memory");
  } catch (const std::exception& e) {
    return Failed(e.what());
  }
}
