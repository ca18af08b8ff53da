#include "tools/cli/check.h"

#include <cstdio>

#include "tools/cli/diagnostics.h"
#include "tools/cli/files.h"

namespace cli {

int RunCheck(const Options& o) {
  bool any = false, failed = false;
  for (const std::string& path : o.inputs) {
    std::string bytes, markup, error;
    std::vector<LX_DIAGNOSTIC> found;
    if (!ReadInput(path, &bytes, &error) || !MarkupOfFile(bytes, &markup, &error) ||
        !DiagnoseMarkup(markup, &found, &error)) {
      std::fprintf(stderr, "lexaro: %s\n", error.c_str());
      failed = true;
      continue;
    }
    std::string out;
    for (const std::string& line : DiagnosticLines(path, bytes, markup, found)) out += line + "\n";
    if (!out.empty() && !WriteOutput("-", out, &error)) {
      std::fprintf(stderr, "lexaro: %s\n", error.c_str());
      return 1;
    }
    any = any || !found.empty();
  }
  return any || failed ? 1 : 0;
}

bool WarnOrRefuse(const Options& o, const std::string& file, const std::string& source,
                  const std::string& markup, std::string* error) {
  std::vector<LX_DIAGNOSTIC> found;
  if (!DiagnoseMarkup(markup, &found, error)) return false;
  for (const std::string& line : DiagnosticLines(file, source, markup, found))
    std::fprintf(stderr, "%s\n", line.c_str());
  if (!o.strict || found.empty()) return true;
  *error = "the markup has " + std::to_string(found.size()) + " diagnostic" + (found.size() > 1 ? "s" : "") +
           "; --strict draws none";
  return false;
}

std::string StrictFailure(const std::vector<LX_DIAGNOSTIC>& diagnostics) {
  if (diagnostics.empty()) return "";
  const LX_DIAGNOSTIC& first = diagnostics.front();
  std::string more;
  if (diagnostics.size() > 1) more = " (and " + std::to_string(diagnostics.size() - 1) + " more)";
  return "--strict: column " + std::to_string(first.offset + 1) + " of the formula: " + first.message.str() + more;
}

}  // namespace cli
