#include "tools/cli/diagnostics.h"

#include <algorithm>

#include "lexaro/render.h"

namespace cli {

// The markup is the source with some bytes left out (a byte-order mark at
// the start, the carriage return of CR LF, line feeds, each line's leading
// white space) and nothing added. Every byte left out is white space
// followed by a byte kept that is not, so matching each markup byte to the
// next equal source byte finds exactly the byte it came from.
SourceMap::SourceMap(const std::string& source, const std::string& markup) {
  size_t i = 0;
  const std::string bom = "\xEF\xBB\xBF";
  if (source.rfind(bom, 0) == 0 && markup.rfind(bom, 0) != 0) i = bom.size();
  m_origin.reserve(markup.size() + 1);
  for (char c : markup) {
    while (i < source.size() && source[i] != c) ++i;
    m_origin.push_back(std::min(i, source.size()));
    if (i < source.size()) ++i;
  }
  m_origin.push_back(m_origin.empty() ? i : std::min(std::max(i, m_origin.back()), source.size()));
  m_lineStarts.push_back(0);
  for (size_t k = 0; k < source.size(); ++k)
    if (source[k] == '\n') m_lineStarts.push_back(k + 1);
}

void SourceMap::Locate(int offset, long* line, long* column) const {
  const size_t at = m_origin[std::clamp<size_t>(size_t(std::max(offset, 0)), 0, m_origin.size() - 1)];
  const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), at);
  *line = long(next - m_lineStarts.begin());
  *column = long(at - *(next - 1)) + 1;
}

std::vector<std::string> DiagnosticLines(const std::string& file, const std::string& source,
                                         const std::string& markup,
                                         const std::vector<LX_DIAGNOSTIC>& diagnostics) {
  std::vector<std::string> lines;
  if (diagnostics.empty()) return lines;
  const SourceMap map(source, markup);
  for (const LX_DIAGNOSTIC& d : diagnostics) {
    long line = 0, column = 0;
    map.Locate(d.offset, &line, &column);
    lines.push_back(file + ":" + std::to_string(line) + ":" + std::to_string(column) +
                    ": warning: " + d.message.str());
  }
  return lines;
}

bool DiagnoseMarkup(const std::string& markup, std::vector<LX_DIAGNOSTIC>* out, std::string* error) {
  auto found = lexaro::Diagnose(markup);
  if (!found) return (*error = found.error), false;
  *out = std::move(*found);
  return true;
}

}  // namespace cli
