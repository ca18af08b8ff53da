#include "tools/cli/diagnostics.h"

#include <algorithm>

#include "lexaro/render.h"
#include "tools/cli/render.h"

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

void SourceMap::Locate(size_t offset, long* line, long* column) const {
  const size_t at = m_origin[std::min(offset, m_origin.size() - 1)];
  const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), at);
  *line = long(next - m_lineStarts.begin());
  *column = long(at - *(next - 1)) + 1;
}

std::vector<std::string> DiagnosticLines(const std::string& file, const std::string& source,
                                         const std::string& text, const std::vector<Finding>& found) {
  std::vector<std::string> lines;
  if (found.empty()) return lines;
  const SourceMap map(source, text);
  for (const Finding& d : found) {
    long line = 0, column = 0;
    map.Locate(d.offset, &line, &column);
    lines.push_back(file + ":" + std::to_string(line) + ":" + std::to_string(column) +
                    ": warning: " + d.message);
  }
  return lines;
}

bool DiagnoseText(const std::string& text, const Options& o, std::vector<Finding>* out, std::string* error) {
  out->clear();
  if (o.tex) {
    lexaro::TexOptions lenient = TexOptionsOf(o);
    lenient.strict = false;
    for (lexaro::TexDiagnostic& d : lexaro::TranslateTex(text, lenient).diagnostics)
      out->push_back({d.offset, std::move(d.message)});
    return true;
  }
  auto found = lexaro::Diagnose(text);
  if (!found) return (*error = found.error), false;
  for (const LX_DIAGNOSTIC& d : *found) out->push_back({size_t(std::max(d.offset, 0)), d.message.str()});
  return true;
}

}  // namespace cli
