// Splits TeX math into tokens: control sequences, characters (whole UTF-8
// sequences), braces, script marks, alignment tabs and spaces. Comments
// (from % to the end of the line) read as a space.
#pragma once

#include <cstddef>
#include <string_view>

namespace lexaro::tex {

enum class TokenKind {
  kEnd,      // past the last byte
  kCommand,  // \name or \symbol; text is the name without the backslash
  kChar,     // one character; text is its UTF-8 bytes
  kOpen,     // {
  kClose,    // }
  kSup,      // ^
  kSub,      // _
  kTab,      // &
  kSpace,    // white space or a comment
  kTilde,    // ~, an unbreakable space
  kPrime,    // '
  kDollar,   // $
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::size_t offset = 0;  // of the first byte in the TeX text
  std::size_t length = 0;
  std::string_view text;
  char32_t code = 0;  // the character of a kChar (U+FFFD for a stray byte)
};

class Lexer {
 public:
  explicit Lexer(std::string_view text, std::size_t pos = 0) : text_(text), pos_(pos) {}
  // The next token, without taking it.
  const Token& Peek();
  Token Next();
  std::size_t Offset() const { return peeked_ ? peek_.offset : pos_; }
  std::string_view Text() const { return text_; }
  // Takes raw bytes up to (not including) the next unbalanced '}', for
  // \text, colour names and environment names; the brace is left.
  std::string_view TakeRawGroupBody();

 private:
  Token Read();
  std::string_view text_;
  std::size_t pos_ = 0;
  Token peek_;
  bool peeked_ = false;
};

// Decodes the UTF-8 character at text[pos]; sets `length` to its bytes (1
// for a byte that starts no valid sequence, which decodes as U+FFFD).
char32_t DecodeUtf8(std::string_view text, std::size_t pos, std::size_t* length);

}  // namespace lexaro::tex
