#include "tools/cli/check.h"

#include <cstdio>

#include "tools/cli/files.h"

namespace cli {

int RunCheck(const Options& o) {
  bool any = false, failed = false;
  for (const std::string& path : o.inputs) {
    std::string bytes, text, error;
    std::vector<Finding> found;
    if (!ReadText(path, o.tex, &bytes, &text, &error) || !DiagnoseText(text, o, &found, &error)) {
      std::fprintf(stderr, "lexaro: %s\n", error.c_str());
      failed = true;
      continue;
    }
    std::string out;
    for (const std::string& line : DiagnosticLines(path, bytes, text, found)) out += line + "\n";
    if (!out.empty() && !WriteOutput("-", out, &error)) {
      std::fprintf(stderr, "lexaro: %s\n", error.c_str());
      return 1;
    }
    any = any || !found.empty();
  }
  return any || failed ? 1 : 0;
}

std::string SourceName(const Options& o) {
  if (!o.haveMarkup) return o.inputFile;
  return o.tex ? "<tex>" : "<markup>";
}

bool WarnOrRefuse(const Options& o, const std::string& file, const std::string& source,
                  const std::string& text, std::string* error) {
  std::vector<Finding> found;
  if (!DiagnoseText(text, o, &found, error)) return false;
  for (const std::string& line : DiagnosticLines(file, source, text, found))
    std::fprintf(stderr, "%s\n", line.c_str());
  if (!o.strict || found.empty()) return true;
  *error = std::string(o.tex ? "the TeX" : "the markup") + " has " + std::to_string(found.size()) +
           " diagnostic" + (found.size() > 1 ? "s" : "") +
           (o.command == Command::kTex2Markup ? "; --strict writes no markup" : "; --strict draws none");
  return false;
}

std::string StrictFailure(const std::vector<Finding>& found) {
  if (found.empty()) return "";
  std::string more;
  if (found.size() > 1) more = " (and " + std::to_string(found.size() - 1) + " more)";
  return "--strict: column " + std::to_string(found.front().offset + 1) + " of the formula: " +
         found.front().message + more;
}

}  // namespace cli
