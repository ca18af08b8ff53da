// Reading tags: the resumable tag tokenizer, the end of a tag, the flat
// forward searches that constructs use to find their parts, and the lookups
// from names to vocabulary codes.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/engine.h"

using namespace lexaro::engine;

namespace {

// Index of name in a table of C strings, -1 when absent. Names compare
// byte for byte, case-sensitively.
template <size_t N>
int IndexOf(const char* const (&table)[N], const CString& name) {
  for (size_t i = 0; i < N; ++i)
    if (name == table[i]) return int(i);
  return -1;
}

}  // namespace

std::string_view CLexaro::Engine::GetTagToken(int start) {
  if (start >= 0) {
    m_tagTokenPos = start;
    m_tagTokenQuotes = 0;
  }
  // A token is a piece of the text, so it is answered as a view of it: it
  // runs to the first space or '>' outside double quotes (a '>' inside them
  // ends the tag too, and belongs to the token); empty tokens between
  // spaces are passed over.
  const std::string_view text = m_text.view();
  while (m_tagTokenPos >= 0 && size_t(m_tagTokenPos) < text.size()) {
    const size_t begin = size_t(m_tagTokenPos);
    size_t p = begin;
    for (; p < text.size(); ++p) {
      const char c = text[p];
      if (c == '"') {
        ++m_tagTokenQuotes;
      } else if (c == '>') {
        m_tagTokenPos = -1;
        return text.substr(begin, p - begin + (m_tagTokenQuotes % 2));
      } else if (c == ' ' && m_tagTokenQuotes % 2 == 0) {
        break;
      }
    }
    if (p == text.size()) {
      m_tagTokenPos = -1;
      return text.substr(begin);
    }
    m_tagTokenPos = int(p) + 1;
    if (p > begin) return text.substr(begin, p - begin);
  }
  m_tagTokenPos = -1;
  return {};
}

lexaro::engine::ReadTag CLexaro::Engine::ReadTagAt(int lt) {
  const std::string_view name = GetTagToken(lt + 1);
  // An empty name may be a view of nothing: it is placed after the '<'.
  const int at = name.empty() ? lt + 1 : int(name.data() - m_text.view().data());
  return lexaro::engine::ReadTag{lt, at, int(name.size()), GetETagIdx(lt + 1) + 1, GetSTagCode(name)};
}

namespace {

// Where c next occurs at or after pos, or -1.
int FindFrom(std::string_view text, char c, int pos) {
  const size_t p = text.find(c, size_t(std::max(pos, 0)));
  return p == std::string_view::npos ? -1 : int(p);
}

}  // namespace

int CLexaro::Engine::GetETagIdx(int pos) const {
  int p = FindFrom(m_text.view(), '>', pos);
  return p < 0 ? m_textLength - 1 : p;
}

int CLexaro::Engine::NextTagStart(int pos) const {
  int lt = FindFrom(m_text.view(), '<', pos);
  return lt < 0 || lt >= m_textLength - 1 ? -1 : lt;
}

int CLexaro::Engine::EscapedLessThans(int lt) const {
  int k = 0;
  for (; lt + 1 < m_textLength && m_text.GetAt(lt) == '<' && m_text.GetAt(lt + 1) == '<'; lt += 2) ++k;
  return k;
}

int CLexaro::Engine::GetTagIdx(LX_TAG_CODE code, int which, int start) {
  int found = 0;
  return GetTagIdx_Ex(code, which, code, which, &found, start);
}

int CLexaro::Engine::GetTagIdx_Ex(LX_TAG_CODE codeA, int whichA, LX_TAG_CODE codeB, int whichB,
                                  int* found, int start) {
  const std::string_view nameA = whichA == 1 ? StartTagName(codeA) : EndTagName(codeA);
  const std::string_view nameB = whichB == 1 ? StartTagName(codeB) : EndTagName(codeB);
  int p = start;
  while (p < m_textLength) {
    int lt = NextTagStart(p);
    if (lt < 0) return m_textLength;
    if (m_text.GetAt(lt + 1) == '<') {
      p = lt + 2;
      continue;
    }
    std::string_view name = GetTagToken(lt + 1);
    p = GetETagIdx(lt + 1) + 1;
    // An empty table name ("no end tag") never matches.
    if (!nameA.empty() && name == nameA) {
      *found = 0;
      return p;
    }
    if (!nameB.empty() && name == nameB) {
      *found = 1;
      return p;
    }
  }
  return p;
}

namespace {

// The start tag names by their first byte, each with its code: every tag of
// a text is looked up, and a name is compared with the few of its bucket
// only. Where two codes share a name, the lowest code answers.
class StartTagIndex {
 public:
  StartTagIndex() {
    for (int code = 0; code < kTagCount; ++code) {
      const std::string_view name = StartTagName(code);
      if (name.empty() && m_empty == LX_TC_NONE) m_empty = LX_TAG_CODE(code);
      if (name.empty() || Find(name) != LX_TC_NONE) continue;
      m_buckets[static_cast<unsigned char>(name[0])].push_back(Entry{name, LX_TAG_CODE(code)});
    }
  }
  LX_TAG_CODE Find(std::string_view name) const {
    if (name.empty()) return m_empty;
    for (const Entry& e : m_buckets[static_cast<unsigned char>(name[0])])
      if (e.name == name) return e.code;
    return LX_TC_NONE;
  }

 private:
  struct Entry {
    std::string_view name;
    LX_TAG_CODE code;
  };
  std::vector<Entry> m_buckets[256];
  LX_TAG_CODE m_empty = LX_TC_NONE;
};

}  // namespace

LX_TAG_CODE CLexaro::Engine::GetSTagCode(std::string_view name) {
  static const StartTagIndex index;
  return index.Find(name);
}

LX_TAG_PROPERTY_CODE CLexaro::Engine::GetTagPropertyCode(const CString& name) {
  return LX_TAG_PROPERTY_CODE(IndexOf(kTagPropertyTable, name));
}

LX_TAG_STYLE_CODE CLexaro::Engine::GetTagStyleCode(const CString& name) {
  return LX_TAG_STYLE_CODE(IndexOf(kTagStyleTable, name));
}

LX_PAREN_CODE CLexaro::Engine::GetParenCode(const CString& name) {
  for (int i = 0; i < 9; ++i)
    if (name == kParenCng[i].name) return LX_PAREN_CODE(i);
  return LX_PAREN_NONE;
}
