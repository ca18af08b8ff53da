// Diagnostics of the layout: the bounded list, and the notes the layout
// takes where it passes over a tag, text between parts, or a missing end
// tag. The hooks in the walks and searches call the Note functions here;
// drawing calls none, and nothing is recorded outside a layout.
#include "engine/diagnostics.h"

#include <algorithm>
#include <new>

#include "engine/engine.h"
#include "lexaro/raster_dc.h"

using namespace lexaro::engine;

static_assert(DiagnosticLog::kLevels == CLexaro::Engine::kMaxNesting + 1,
              "a start tag span for every level a construct can open at");

namespace lexaro::engine {

void DiagnosticLog::Begin(int limit) {
  m_list.clear();
  m_dropped = 0;
  m_limit = std::max(limit, 0);
  m_recording = true;
}

void DiagnosticLog::Clear() {
  m_list.clear();
  m_dropped = 0;
  m_recording = false;
}

void DiagnosticLog::End() {
  m_recording = false;
  // In the order of the text, as editors list them; a construct's own
  // notes come after what is nested in it otherwise.
  if (m_list.size() > 1)
    std::stable_sort(m_list.begin(), m_list.end(),
                     [](const LX_DIAGNOSTIC& a, const LX_DIAGNOSTIC& b) { return a.offset < b.offset; });
  if (m_dropped == 0) return;
  CString message;
  message.Format("%lld more diagnostics not listed", m_dropped);
  try {
    m_list.push_back(LX_DIAGNOSTIC{0, 0, LX_DIAG_DROPPED, message});
  } catch (const std::bad_alloc&) {
  }
}

bool DiagnosticLog::Room() {
  if (!m_recording) return false;
  if (m_list.size() < kMaxEntries) return true;
  ++m_dropped;
  return false;
}

void DiagnosticLog::Add(LX_DIAG_KIND kind, int offset, int length, CString message) {
  // Ranges stay inside the text whatever the caller computed.
  offset = std::clamp(offset, 0, m_limit);
  length = std::clamp(length, 0, m_limit - offset);
  try {
    m_list.push_back(LX_DIAGNOSTIC{offset, length, kind, std::move(message)});
  } catch (const std::bad_alloc&) {
    ++m_dropped;  // a diagnostic never fails the layout
  }
}

CString Quoted(std::string_view text) {
  constexpr size_t kMaxShown = 40;
  size_t n = text.size();
  const bool cut = n > kMaxShown;
  if (cut) {
    n = kMaxShown;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  std::string s = "'";
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    s += c < 0x20 || c == 0x7F ? '?' : char(c);
  }
  s += cut ? "...'" : "'";
  return CString(std::move(s));
}

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Edits (insert, delete, replace) from a to b; both are short.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

const char* NearName(std::string_view name, const char* const* candidates, size_t count) {
  constexpr size_t kLongestName = 32;  // no name of the vocabulary is longer
  if (name.empty() || name.size() > kLongestName) return nullptr;
  for (size_t i = 0; i < count; ++i)
    if (SameIgnoringCase(name, candidates[i])) return candidates[i];
  const size_t allowed = name.size() <= 3 ? 1 : 2;
  const char* best = nullptr;
  size_t bestDistance = allowed + 1;
  for (size_t i = 0; i < count; ++i) {
    std::string_view c = candidates[i];
    if (c.empty() || (c.size() > name.size() ? c.size() - name.size() : name.size() - c.size()) > allowed)
      continue;
    const size_t d = EditDistance(name, c);
    if (d < bestDistance) best = candidates[i], bestDistance = d;
  }
  return best;
}

CString DidYouMean(std::string_view name, const char* const* candidates, size_t count) {
  const char* near = NearName(name, candidates, count);
  return near ? ", did you mean " + Quoted(near) + "?" : CString();
}

}  // namespace lexaro::engine

namespace {

// Every tag name, start and end, for suggestions.
const std::vector<const char*>& TagNames() {
  static const std::vector<const char*> names = [] {
    std::vector<const char*> v;
    for (int code = 0; code < kTagCount; ++code) v.push_back(StartTagName(code));
    for (int code = 0; code < kTagCount; ++code)
      if (*EndTagName(code)) v.push_back(EndTagName(code));
    return v;
  }();
  return names;
}

bool IsEndTagName(const CString& name) {
  for (int code = 0; code < LX_TC_FIRST_SYMBOL; ++code)
    if (*EndTagName(code) && name == EndTagName(code)) return true;
  return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The S parts a construct takes.
int PartsTaken(LX_TAG_CODE code) { return code == LX_TC_TB || code == LX_TC_RTB ? 3 : 2; }

// Where passed-over content lies, for messages.
CString Between(LX_TAG_CODE within) {
  const CString name = StartTagName(within);
  if (within == LX_TC_TABLE) return "between the rows of TABLE";
  if (within == LX_TC_TR) return "between the cells of TR";
  return "between the parts of " + name;
}

}  // namespace

int CLexaro::Engine::TagStartBefore(int end) const {
  const std::string_view text = m_text.view().substr(0, size_t(std::clamp(end, 0, m_textLength)));
  if (text.empty()) return 0;
  const size_t lt = text.rfind('<', text.size() - 1 - (text.back() == '>' ? 1 : 0));
  return lt == std::string_view::npos ? 0 : int(lt);
}

CString CLexaro::Engine::TagNameAt(int lt) {
  // The tokenizer's cursor belongs to the tag being read: kept as it was.
  const int pos = m_tagTokenPos, quotes = m_tagTokenQuotes;
  CString name(GetTagToken(lt + 1));
  m_tagTokenPos = pos;
  m_tagTokenQuotes = quotes;
  return name;
}

void CLexaro::Engine::NotePassedOver(LX_TAG_CODE code, const CString& name, int lt, int end,
                                     LX_TAG_CODE within) {
  if (!m_diag.Room()) return;
  const int length = end - lt;
  const CString where = within == LX_TC_NONE ? CString() : " " + Between(within);
  if (code == LX_TC_NONE && (name.IsEmpty() || IsBlank(m_text.GetAt(lt + 1)))) {
    // Most likely a less-than sign meant as text.
    m_diag.Add(LX_DIAG_UNKNOWN_NAME, lt, length,
               "'<' starts a tag, passed over up to its '>' (write << for a '<')");
  } else if ((code == LX_TC_NONE && IsEndTagName(name)) || code == LX_TC_FONT_END) {
    m_diag.Add(LX_DIAG_STRAY_END_TAG, lt, length,
               "end tag " + Quoted(name.view()) +
                   (within == LX_TC_NONE ? " without an open " + Quoted(name.view().substr(1)) + ", passed over"
                                         : where + " is passed over"));
  } else if (code == LX_TC_NONE) {
    const auto& names = TagNames();
    m_diag.Add(LX_DIAG_UNKNOWN_NAME, lt, length,
               "unknown tag " + Quoted(name.view()) + where + " passed over" +
                   DidYouMean(name.view(), names.data(), names.size()));
  } else if (within != LX_TC_NONE) {
    m_diag.Add(LX_DIAG_OUT_OF_PLACE, lt, length, Quoted(name.view()) + where + " is passed over");
  } else if (code == LX_TC_S || code == LX_TC_TR || code == LX_TC_TD) {
    const char* outside = code == LX_TC_S ? " outside FRAC, SQRTN and the scripts"
                          : code == LX_TC_TR ? " outside a TABLE"
                                             : " outside a TR";
    m_diag.Add(LX_DIAG_OUT_OF_PLACE, lt, length, Quoted(name.view()) + outside + " is passed over");
  } else {
    CString message;
    message.Format(" nested deeper than %d constructs is passed over", kMaxNesting);
    m_diag.Add(LX_DIAG_NESTING, lt, length, Quoted(name.view()) + message);
  }
}

void CLexaro::Engine::NoteUnended(LX_TAG_CODE code, int walkStart) {
  if (m_error != 0 || !m_diag.Room()) return;
  const int lt = TagStartBefore(walkStart);
  m_diag.Add(LX_DIAG_UNENDED, lt, walkStart - lt,
             Quoted(StartTagName(code)) + " has no end tag " + Quoted(EndTagName(code)) +
                 ": it runs to the end of the text");
}

void CLexaro::Engine::NoteUnendedConstruct(LX_TAG_CODE code) {
  if (m_error != 0 || !m_diag.Room()) return;
  DiagnosticLog::Span span;
  if (code == LX_TC_TR)
    span = m_diag.row;
  else if (m_depth >= 1 && m_depth <= DiagnosticLog::kLevels)
    span = m_diag.open[m_depth - 1];
  m_diag.Add(LX_DIAG_UNENDED, span.start, span.end - span.start,
             Quoted(StartTagName(code)) + " has no end tag " + Quoted(EndTagName(code)) +
                 ": it runs to the end of the text");
}

void CLexaro::Engine::NoteMissingParts(LX_TAG_CODE code, int found) {
  if (m_error != 0 || !m_diag.Room()) return;
  const DiagnosticLog::Span span =
      m_depth >= 1 && m_depth <= DiagnosticLog::kLevels ? m_diag.open[m_depth - 1] : DiagnosticLog::Span{};
  CString message;
  message.Format(" has %d of its %d S parts; the missing ones are left empty", found, PartsTaken(code));
  m_diag.Add(LX_DIAG_PARTS, span.start, span.end - span.start, Quoted(StartTagName(code)) + message);
}

int CLexaro::Engine::EndOfPart(int from, int to) {
  int depth = 1, pos = from;
  while (pos < to) {
    const int lt = NextTagStart(pos);
    if (lt < 0 || lt >= to) return to;
    if (m_text.GetAt(lt + 1) == '<') {
      pos = lt + 2 * EscapedLessThans(lt);
      continue;
    }
    const CString name = TagNameAt(lt);
    pos = std::min(GetETagIdx(lt + 1) + 1, to);
    if (name == "S") ++depth;
    if (name == "/S" && --depth == 0) return pos;
  }
  return to;
}

void CLexaro::Engine::NoteSkipped(int from, int to, LX_TAG_CODE within, bool extraParts) {
  int textStart = -1, textEnd = -1;
  auto text = [&](int a, int b) {
    for (int i = a; i < b; ++i)
      if (!IsBlank(m_text.GetAt(i))) {
        if (textStart < 0) textStart = i;
        textEnd = i + 1;
      }
  };
  auto flush = [&] {
    if (textStart >= 0 && m_diag.Room())
      m_diag.Add(LX_DIAG_OUT_OF_PLACE, textStart, textEnd - textStart,
                 "text " + Between(within) + " is passed over");
    textStart = -1;
  };
  int pos = from;
  while (pos < to) {
    const int lt = NextTagStart(pos);
    if (lt < 0 || lt >= to) {
      text(pos, to);
      break;
    }
    text(pos, lt);
    if (m_text.GetAt(lt + 1) == '<') {
      pos = std::min(lt + 2 * EscapedLessThans(lt), to);
      text(lt, pos);
      continue;
    }
    flush();
    const CString name = TagNameAt(lt);
    int end = std::min(GetETagIdx(lt + 1) + 1, to);
    const LX_TAG_CODE code = GetSTagCode(name.view());
    if (code == LX_TC_S && extraParts) {
      end = EndOfPart(end, to);
      if (m_diag.Room()) {
        CString message;
        message.Format("extra S part passed over: %s takes %d", StartTagName(within), PartsTaken(within));
        m_diag.Add(LX_DIAG_PARTS, lt, end - lt, message);
      }
    } else {
      NotePassedOver(code, name, lt, end, within);
    }
    pos = end;
  }
  flush();
}

int CLexaro::Engine::FindPart(LX_TAG_CODE codeA, int whichA, LX_TAG_CODE codeB, int whichB,
                              int* found, int start) {
  *found = -1;
  const int p = GetTagIdx_Ex(codeA, whichA, codeB, whichB, found, start);
  if (!m_diag.Recording()) return p;
  // A search for anything but an S part passes over every S it meets: parts
  // beyond the construct's count, or parts where a table takes none.
  const bool extraParts = codeA != LX_TC_S && codeB != LX_TC_TABLE && codeB != LX_TC_TR;
  if (*found < 0) {
    NoteSkipped(start, m_textLength, codeB, extraParts);
    NoteUnendedConstruct(codeB);
    return p;
  }
  const int lt = TagStartBefore(p);
  if (lt > start) NoteSkipped(start, lt, codeB, extraParts);
  m_diag.tag = {lt, p};
  if (codeA == LX_TC_TR && *found == 0) m_diag.row = m_diag.tag;
  return p;
}

int CLexaro::Engine::FindEnd(LX_TAG_CODE code, int start) {
  int found = -1;
  return FindPart(code, 0, code, 0, &found, start);
}

void CLexaro::Engine::FinishDiagnostics() {
  if (m_givenLength > m_textLength && m_diag.Room()) {
    CString message;
    message.Format("text beyond %d bytes is not laid out", kMaxTextLength);
    m_diag.Add(LX_DIAG_LENGTH, m_textLength, m_givenLength - m_textLength, message);
  }
  m_diag.End();
}

// A layout records what it passes over only when asked to, so that laying
// out and drawing cost nothing for it. The diagnostics of a layout are found
// when first asked for, by laying the same text out again on a surface of
// its own (they depend on the text alone, not on fonts or sizes), so the
// surface the text was laid out with need not still exist.
void CLexaro::Engine::Diagnose() {
  Engine probe;
  probe.m_ownFont = m_ownFont, probe.m_font = m_font;
  probe.m_ownColor = m_ownColor, probe.m_color = m_color;
  probe.m_lfEscapement = m_lfEscapement;
  probe.m_recordDiagnostics = true;
  CRasterDC scratch(1, 1, CLR_TRANSPARENT);
  probe.m_pDC = &scratch;
  probe.m_text = m_text;
  probe.m_givenLength = m_givenLength;
  probe.Analyze();
  m_diag = std::move(probe.m_diag);
  m_diagnosed = true;
}

const std::vector<LX_DIAGNOSTIC>& CLexaro::GetDiagnostics() const {
  if (!m_engine->m_diagnosed) m_engine->Diagnose();
  return m_engine->m_diag.List();
}
