#include "tex/lexer.h"

namespace lexaro::tex {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

char32_t DecodeUtf8(std::string_view text, std::size_t pos, std::size_t* length) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  *length = 1;
  if (b0 < 0x80) return b0;
  int extra = b0 >= 0xF0 && b0 < 0xF5 ? 3 : b0 >= 0xE0 && b0 < 0xF0 ? 2 : b0 >= 0xC2 && b0 < 0xE0 ? 1 : -1;
  if (extra < 0 || pos + std::size_t(extra) >= text.size()) return 0xFFFD;
  char32_t cp = b0 & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms and surrogates are not characters.
  if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0xFFFD;
  *length = std::size_t(extra) + 1;
  return cp;
}

const Token& Lexer::Peek() {
  if (!peeked_) {
    peek_ = Read();
    peeked_ = true;
  }
  return peek_;
}

Token Lexer::Next() {
  Peek();
  peeked_ = false;
  return peek_;
}

Token Lexer::Read() {
  Token t;
  t.offset = pos_;
  if (pos_ >= text_.size()) return t;
  const char c = text_[pos_];
  std::size_t n = 1;
  if (IsSpace(c) || c == '%') {
    // A run of spaces and comments is one space.
    std::size_t p = pos_;
    while (p < text_.size()) {
      if (IsSpace(text_[p])) {
        ++p;
      } else if (text_[p] == '%') {
        const std::size_t nl = text_.find('\n', p);
        p = nl == std::string_view::npos ? text_.size() : nl + 1;
      } else {
        break;
      }
    }
    n = p - pos_;
    t.kind = TokenKind::kSpace;
  } else if (c == '\\') {
    t.kind = TokenKind::kCommand;
    if (pos_ + 1 >= text_.size()) {
      t.text = {};
    } else if (IsLetter(text_[pos_ + 1])) {
      while (pos_ + n < text_.size() && IsLetter(text_[pos_ + n])) ++n;
      t.text = text_.substr(pos_ + 1, n - 1);
      // A control word swallows the spaces after it.
      pos_ += n;
      t.length = n;
      while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
      return t;
    } else {
      std::size_t len = 0;
      DecodeUtf8(text_, pos_ + 1, &len);
      n = 1 + len;
      // A backslash before a tab or a line end is TeX's control space.
      t.text = IsSpace(text_[pos_ + 1]) ? std::string_view(" ") : text_.substr(pos_ + 1, len);
    }
  } else {
    switch (c) {
      case '{': t.kind = TokenKind::kOpen; break;
      case '}': t.kind = TokenKind::kClose; break;
      case '^': t.kind = TokenKind::kSup; break;
      case '_': t.kind = TokenKind::kSub; break;
      case '&': t.kind = TokenKind::kTab; break;
      case '~': t.kind = TokenKind::kTilde; break;
      case '\'': t.kind = TokenKind::kPrime; break;
      case '$': t.kind = TokenKind::kDollar; break;
      default:
        t.kind = TokenKind::kChar;
        t.code = DecodeUtf8(text_, pos_, &n);
    }
    t.text = text_.substr(pos_, n);
  }
  t.length = n;
  pos_ += n;
  return t;
}

std::string_view Lexer::TakeRawGroupBody() {
  if (peeked_) pos_ = peek_.offset;
  peeked_ = false;
  const std::size_t start = pos_;
  int level = 0;
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (c == '\\' && pos_ + 1 < text_.size()) {
      pos_ += 2;
      continue;
    }
    if (c == '{') ++level;
    if (c == '}' && level-- == 0) break;
    ++pos_;
  }
  return text_.substr(start, pos_ - start);
}

}  // namespace lexaro::tex
