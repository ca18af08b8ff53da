// Diagnostics of markup as the program prints them, in the form editors and
// CI tools read: FILE:LINE:COL: warning: MESSAGE, with LINE and COL (from 1)
// counted in the bytes and lines of the text as it was written.
#pragma once

#include <string>
#include <vector>

#include "lexaro/engine.h"

namespace cli {

// Where each byte of the markup the engine got lies in the source it was
// made from: a file's bytes, joined line by line (MarkupOfFile), or the
// markup itself.
class SourceMap {
 public:
  SourceMap(const std::string& source, const std::string& markup);
  // The 1-based line and column in the source of a byte offset of the markup.
  void Locate(int offset, long* line, long* column) const;

 private:
  std::vector<size_t> m_origin;      // a source index for each markup byte, and one past the end
  std::vector<size_t> m_lineStarts;  // the source index where each line starts
};

// One line for each diagnostic: "FILE:LINE:COL: warning: MESSAGE".
std::vector<std::string> DiagnosticLines(const std::string& file, const std::string& source,
                                         const std::string& markup,
                                         const std::vector<LX_DIAGNOSTIC>& diagnostics);

// The diagnostics of the markup; false with the reason when it cannot be laid out.
bool DiagnoseMarkup(const std::string& markup, std::vector<LX_DIAGNOSTIC>* out, std::string* error);

}  // namespace cli
