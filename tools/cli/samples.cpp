#include "tools/cli/samples.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/cli/files.h"
#include "tools/cli/render.h"
#include "tools/gallery.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// The samples of dir, with outDir made to receive them; false, said, when
// there are none or the directory cannot be made.
bool Prepare(const std::string& dir, const std::string& outDir, std::vector<std::string>* paths) {
  std::string error;
  if (gallery::ListSamples(dir, paths, &error) && MakeDirectory(outDir, &error)) return true;
  std::fprintf(stderr, "lexaro: %s\n", error.c_str());
  return false;
}

// Draws the samples into outDir; false when any failed (each failure is
// reported and the others are still drawn).
bool DrawSamples(const std::vector<std::string>& paths, const std::string& outDir, const Options& o, int* count) {
  const Format format = o.format == Format::kAuto ? Format::kPng : o.format;
  bool ok = true;
  for (const std::string& path : paths) {
    std::string text, error;
    std::string out = (fs::path(outDir) / (fs::path(path).stem().string() + Extension(format))).string();
    if (gallery::ReadSample(path, &text, &error) &&
        RenderMarkup(gallery::EngineText(text).str(), o, format, out, &error)) {
      ++*count;
    } else {
      std::fprintf(stderr, "lexaro: %s: %s\n", path.c_str(), error.c_str());
      ok = false;
    }
  }
  return ok;
}

// Whether the samples directory is there; says why not.
bool SamplesDirExists(const std::string& dir) {
  std::error_code ec;
  const fs::file_status status = fs::status(dir, ec);
  if (fs::is_directory(status)) return true;
  if (status.type() == fs::file_type::not_found)
    std::fprintf(stderr, "lexaro: the samples directory '%s' does not exist\n", dir.c_str());
  else if (ec)
    std::fprintf(stderr, "lexaro: cannot read the samples directory '%s': %s\n", dir.c_str(), ec.message().c_str());
  else
    std::fprintf(stderr, "lexaro: '%s' is not a directory of samples\n", dir.c_str());
  return false;
}

}  // namespace

int RunSamples(const Options& o) {
  const std::string dir = o.samplesDir.empty() ? gallery::DefaultSamplesDir() : o.samplesDir;
  // A directory without samples, or an output that cannot be made, is one
  // error of the whole command.
  std::vector<std::string> paths;
  if (!SamplesDirExists(dir) || !Prepare(dir, o.output, &paths)) return 1;
  ApplyEngineDefaults(o);
  int count = 0;
  bool ok = DrawSamples(paths, o.output, o, &count);
  const fs::path gallery = fs::path(dir) / "gallery";
  const std::string galleryOut = (fs::path(o.output) / "gallery").string();
  std::error_code ec;
  if (fs::is_directory(gallery, ec))
    ok = Prepare(gallery.string(), galleryOut, &paths) && DrawSamples(paths, galleryOut, o, &count) && ok;
  std::fprintf(stderr, "lexaro: %d samples drawn from %s into %s%s\n", count, dir.c_str(), o.output.c_str(),
               ok ? "" : " (some failed)");
  return ok ? 0 : 1;
}

}  // namespace cli
