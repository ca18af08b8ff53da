// Every input the fuzzers found and that was mended (fuzz/regressions/) and
// the seed corpus (fuzz/corpus/) are replayed here through the fuzzers' entry
// points, in the normal build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/entries.h"

namespace lexaro::fuzz {

// The entry points report a broken answer here instead of aborting.
void Require(bool condition, const char* what) {
  if (!condition) ADD_FAILURE() << what;
}

}  // namespace lexaro::fuzz

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const char* target) {
  std::vector<fs::path> out;
  for (const char* kind : {"regressions", "corpus"}) {
    fs::path dir = fs::path(LEXARO_FUZZ_DIR) / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file()) out.push_back(entry.path());
  }
  return out;
}

void Replay(const char* target, void (*entry)(const uint8_t*, size_t)) {
  std::vector<fs::path> inputs = Inputs(target);
  EXPECT_FALSE(inputs.empty()) << "no inputs for " << target;
  for (const fs::path& path : inputs) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
}

TEST(FuzzRegressions, MarkupInputsLayOutAndDraw) { Replay("markup", lexaro::fuzz::Markup); }
TEST(FuzzRegressions, InkInputsStayWithinTheDrawingBudget) { Replay("ink", lexaro::fuzz::Ink); }
TEST(FuzzRegressions, PropertyInputsParse) { Replay("properties", lexaro::fuzz::Properties); }
TEST(FuzzRegressions, ColourInputsRead) { Replay("color", lexaro::fuzz::Color); }
TEST(FuzzRegressions, StringToolInputsEnd) { Replay("string_tool", lexaro::fuzz::StringTool); }
TEST(FuzzRegressions, CommandLinesParse) { Replay("options", lexaro::fuzz::Options); }
TEST(FuzzRegressions, TexTranslatesLaysOutAndDraws) { Replay("tex", lexaro::fuzz::Tex); }

}  // namespace
