// Diagnostics of markup or TeX as the program prints them, in the form editors and
// CI tools read: FILE:LINE:COL: warning: MESSAGE, with LINE and COL (from 1)
// counted in the bytes and lines of the text as it was written.
#pragma once

#include <string>
#include <vector>

#include "lexaro/engine.h"
#include "tools/cli/options.h"

namespace cli {

// Where each byte of the markup the engine got lies in the source it was
// made from: a file's bytes, joined line by line (MarkupOfFile) or kept as
// TeX (TexOfFile), or the text itself.
class SourceMap {
 public:
  SourceMap(const std::string& source, const std::string& markup);
  // The 1-based line and column in the source of a byte offset of the markup.
  void Locate(size_t offset, long* line, long* column) const;

 private:
  std::vector<size_t> m_origin;      // a source index for each markup byte, and one past the end
  std::vector<size_t> m_lineStarts;  // the source index where each line starts
};

// A diagnostic of either notation: a byte offset into the markup the engine
// laid out, or into the TeX the translator read, and its message.
struct Finding {
  size_t offset = 0;
  std::string message;
};

// One line for each finding: "FILE:LINE:COL: warning: MESSAGE".
std::vector<std::string> DiagnosticLines(const std::string& file, const std::string& source,
                                         const std::string& text, const std::vector<Finding>& found);

// The diagnostics of the text: what the layout of markup passes over or
// repairs, or (--tex) what the translation of TeX cannot take as written.
// False with the reason when markup cannot be laid out.
bool DiagnoseText(const std::string& text, const Options& options, std::vector<Finding>* out,
                  std::string* error);

}  // namespace cli
