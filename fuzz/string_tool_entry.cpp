// The string tool on any text with any positions: every scan ends, and no
// operation reads or writes outside the strings.
#include <string_view>

#include "fuzz/entries.h"
#include "lexaro/string_tool.h"

namespace lexaro::fuzz {
namespace {

// Reads the input as: a position byte pair, a separator length, the
// separators, then the text.
struct Input {
  int start, end;
  char quote;
  CString separators, text;
};

Input Split(const uint8_t* data, size_t size) {
  Input in{0, -1, '"', ",", ""};
  auto take = [&](size_t n) {
    std::string_view v(reinterpret_cast<const char*>(data), n < size ? n : size);
    data += v.size(), size -= v.size();
    return v;
  };
  if (size >= 4) {
    in.start = int8_t(data[0]) * 3;  // far before, inside and past short texts
    in.end = int8_t(data[1]) * 3;
    in.quote = char(data[2]);
    size_t n = data[3] % 5;
    data += 4, size -= 4;
    in.separators = CString(take(n));
  }
  in.text = CString(take(size));
  return in;
}

// A scan may return at most one token per byte plus its closing answer.
void Tokenize(const Input& in) {
  const int limit = in.text.GetLength() + 2;
  CStringTool tool;
  int n = 0;
  for (CString t = tool.GetToken(&in.text, in.separators, in.start); !t.IsEmpty();
       t = tool.GetToken(nullptr, in.separators, 0))
    Require(++n <= limit, "GetToken does not end");
  n = 0;
  for (CString t = tool.GetToken_Ex(&in.text, in.separators, in.quote, in.start); !t.IsEmpty();
       t = tool.GetToken_Ex(nullptr, in.separators, in.quote, 0))
    Require(++n <= limit, "GetToken_Ex does not end");
  n = 0;
  CString line;
  tool.SetText(&in.text, in.separators);
  while (tool.Gets(&line)) Require(++n <= limit, "Gets does not end");
}

void Edit(const Input& in) {
  CStringTool tool;
  CString s = in.text;
  const int length = s.GetLength();
  int found = tool.FindOneOf(&s, in.separators, in.start);
  Require(found >= -1 && found < length, "FindOneOf outside the string");
  int count = tool.GetCount(&s, in.quote, in.start, in.end);
  Require(count >= 0 && count <= length, "GetCount beyond the length");
  Require(tool.GetChar(&s, in.start).GetLength() <= 2, "GetChar longer than a character");
  tool.Substitute(&s, in.start, in.end, in.separators);
  Require(s.GetLength() == length, "Substitute changed the length");
  int left = tool.Delete(&s, in.start, in.end);
  Require(left == s.GetLength() && left <= length, "Delete answers a wrong length");
  tool.DeleteZero(&s);
  tool.GetChar(nullptr, 0);
  tool.FindOneOf(nullptr, in.separators, 0);
}

}  // namespace

void StringTool(const uint8_t* data, size_t size) {
  Input in = Split(data, size);
  Tokenize(in);
  Edit(in);
}

}  // namespace lexaro::fuzz
