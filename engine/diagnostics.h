// The list of what one layout passed over or repaired (CLexaro's
// diagnostics), kept bounded, and the name helpers its messages use.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "lexaro/engine.h"

namespace lexaro::engine {

class DiagnosticLog {
 public:
  // Entries kept; later ones are only counted.
  static constexpr size_t kMaxEntries = 1000;
  // Start tags whose spans are remembered: one a nesting level, plus the
  // level beyond the limit.
  static constexpr int kLevels = 65;

  struct Span {
    int start = 0, end = 0;  // end: past the tag's '>'
  };

  // Starts a layout: the list is emptied and recording is on. Ranges are
  // kept inside [0, limit].
  void Begin(int limit);
  // Ends it: recording stops, and the count of entries left out is added.
  void End();
  // Empties the list without recording (a layout nobody asked to diagnose).
  void Clear();
  bool Recording() const { return m_recording; }
  // Whether an entry may be added now; when the list is full the entry is
  // counted instead, so callers format no message for nothing.
  bool Room();
  void Add(LX_DIAG_KIND kind, int offset, int length, CString message);
  const std::vector<LX_DIAGNOSTIC>& List() const { return m_list; }

  // The start tag whose attributes are read next, the start tag of the
  // construct open at each nesting level, and the table row being read.
  Span tag, row;
  Span open[kLevels];

 private:
  bool m_recording = false;
  int m_limit = 0;
  long long m_dropped = 0;
  std::vector<LX_DIAGNOSTIC> m_list;
};

// A word of the text for a message: in single quotes, control bytes shown
// as '?', cut after 40 bytes (not inside a UTF-8 sequence) with "...".
CString Quoted(std::string_view text);
// The candidate that a mistyped name most likely meant: one that differs
// only in case, else one at most two edits away (one for names of up to
// three bytes); nullptr when none is that near.
const char* NearName(std::string_view name, const char* const* candidates, size_t count);
// ", did you mean 'X'?" for the near name among candidates, or "".
CString DidYouMean(std::string_view name, const char* const* candidates, size_t count);

}  // namespace lexaro::engine
