// The tags the layout's line walks read, in the order they read them: where
// each starts, its name and code, and where it ends. Drawing walks the same
// lines and meets the same tags in the same order, so it takes them from
// here instead of reading the text again; a tag met where the next one read
// does not start is read from the text as before.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "engine/records.h"

namespace lexaro::engine {

struct ReadTag {
  int lt;                  // where its '<' stands
  int nameAt, nameLength;  // its name, in the text
  int end;                 // just past its '>' (the text's end without one)
  LX_TAG_CODE code;        // of its name as a start tag
  // Where the line walk's search that found it started: a search from
  // there finds this tag again, as the text does not change.
  int from = -1;
};

class ReadTags {
 public:
  // A new layout: forgets every tag. Room for a long text's tags is given
  // back, so a run of short texts after it holds little.
  void Clear() {
    if (m_tags.capacity() > kKeptRoom)
      std::vector<ReadTag>().swap(m_tags);
    else
      m_tags.clear();
    m_next = 0;
    m_failed = false;
  }
  // Once room for a tag cannot be had, no more are kept: drawing reads
  // those from the text.
  void Add(const ReadTag& tag) {
    if (m_failed) return;
    try {
      m_tags.push_back(tag);
    } catch (const std::bad_alloc&) {
      m_failed = true;
    }
  }
  // A drawing starts at the first tag.
  void Rewind() { m_next = 0; }
  // The next tag to be taken back, null when none is left.
  const ReadTag* Peek() const { return m_next < m_tags.size() ? &m_tags[m_next] : nullptr; }
  // The next tag read when it starts at lt, null otherwise.
  const ReadTag* Next(int lt) {
    if (m_next < m_tags.size() && m_tags[m_next].lt == lt) return &m_tags[m_next++];
    return nullptr;
  }

 private:
  static constexpr size_t kKeptRoom = 4096;
  std::vector<ReadTag> m_tags;
  size_t m_next = 0;
  bool m_failed = false;
};

}  // namespace lexaro::engine
