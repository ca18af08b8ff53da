#include "platform/font/text_decode.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <mutex>

#include "util/utf8.h"

namespace lexaro::font {
namespace {

// Code page 1252 at 0x80-0x9F; the rest of its upper half equals Latin-1.
// Unassigned positions read as U+FFFD.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t Cp1252(unsigned char b) {
  return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char32_t(b);
}

// Wingdings byte codes with a Unicode counterpart that common fonts carry.
struct WingdingsEntry {
  unsigned char byte;
  char32_t cp;
};
constexpr WingdingsEntry kWingdings[] = {
    {0x22, 0x2702}, {0x23, 0x2701}, {0x28, 0x260E}, {0x2A, 0x2709}, {0x41, 0x270C},
    {0x45, 0x261C}, {0x46, 0x261E}, {0x47, 0x261D}, {0x48, 0x261F}, {0x4A, 0x263A},
    {0x4C, 0x2639}, {0x4E, 0x2620}, {0x51, 0x2708}, {0x52, 0x263C}, {0x54, 0x2744},
    {0x56, 0x271E}, {0x58, 0x2720}, {0x59, 0x2721}, {0x5A, 0x262A}, {0x5B, 0x262F},
    {0x5C, 0x0950}, {0x5D, 0x2638}, {0x5E, 0x2648}, {0x5F, 0x2649}, {0x60, 0x264A},
    {0x61, 0x264B}, {0x62, 0x264C}, {0x63, 0x264D}, {0x64, 0x264E}, {0x65, 0x264F},
    {0x66, 0x2650}, {0x67, 0x2651}, {0x68, 0x2652}, {0x69, 0x2653}, {0x6C, 0x25CF},
    {0x6D, 0x274D}, {0x6E, 0x25A0}, {0x6F, 0x25A1}, {0x71, 0x2751}, {0x72, 0x2752},
    {0x74, 0x29EB}, {0x75, 0x25C6}, {0x76, 0x2756}, {0x80, 0x24EA}, {0x81, 0x2460},
    {0x82, 0x2461}, {0x83, 0x2462}, {0x84, 0x2463}, {0x85, 0x2464}, {0x86, 0x2465},
    {0x87, 0x2466}, {0x88, 0x2467}, {0x89, 0x2468}, {0x8A, 0x2469}, {0x8B, 0x24FF},
    {0x8C, 0x2776}, {0x8D, 0x2777}, {0x8E, 0x2778}, {0x8F, 0x2779}, {0x90, 0x277A},
    {0x91, 0x277B}, {0x92, 0x277C}, {0x93, 0x277D}, {0x94, 0x277E}, {0x95, 0x277F},
    {0xA1, 0x25CB}, {0xA4, 0x25C9}, {0xA5, 0x25CE}, {0xA8, 0x25FB}, {0xAA, 0x2726},
    {0xAB, 0x2605}, {0xAC, 0x2736}, {0xAD, 0x2734}, {0xAE, 0x2739}, {0xAF, 0x2735},
    {0xB1, 0x2316}, {0xB3, 0x2311}, {0xD5, 0x232B}, {0xD6, 0x2326}, {0xD8, 0x27A2},
    {0xE8, 0x2794}, {0xEF, 0x21E6}, {0xF0, 0x21E8}, {0xF1, 0x21E7}, {0xF2, 0x21E9},
    {0xF3, 0x2B04}, {0xF4, 0x21F3}, {0xFB, 0x2717}, {0xFC, 0x2714}, {0xFD, 0x2612},
    {0xFE, 0x2611},
};

char32_t Wingdings(unsigned char b) {
  for (const auto& e : kWingdings)
    if (e.byte == b) return e.cp;
  return 0xFFFD;
}

// Length of the valid UTF-8 sequence at s (at most n bytes), 0 when the
// bytes there do not form one; the code point goes to *cp.
int Utf8Sequence(const unsigned char* s, int n, char32_t* cp) {
  unsigned char b = s[0];
  int len;
  char32_t v, min;
  if (b < 0x80) { *cp = b; return 1; }
  if (b >= 0xC2 && b <= 0xDF) { len = 2; v = b & 0x1F; min = 0x80; }
  else if (b >= 0xE0 && b <= 0xEF) { len = 3; v = b & 0x0F; min = 0x800; }
  else if (b >= 0xF0 && b <= 0xF4) { len = 4; v = b & 0x07; min = 0x10000; }
  else return 0;
  if (n < len) return 0;
  for (int i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    v = (v << 6) | (s[i] & 0x3F);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *cp = v;
  return len;
}

bool IsSjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsSjisTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The double-byte half of code page 932, converted once by iconv.
class Cp932Table {
 public:
  char32_t Lookup(unsigned char lead, unsigned char trail) {
    std::call_once(m_once, [this] { Build(); });
    return m_table[size_t(lead) << 8 | trail];
  }

 private:
  void Build() {
    m_table.fill(0xFFFD);
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    if (cd == iconv_t(-1)) return;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsSjisTrail(static_cast<unsigned char>(trail))) continue;
        char in[2] = {char(lead), char(trail)};
        unsigned char outBuf[8];
        char* ip = in;
        char* op = reinterpret_cast<char*>(outBuf);
        size_t il = 2, ol = sizeof outBuf;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &il, &op, &ol) != size_t(-1) && ol == 4)
          m_table[size_t(lead) << 8 | trail] =
              char32_t(outBuf[0]) | char32_t(outBuf[1]) << 8 | char32_t(outBuf[2]) << 16;
      }
    }
    iconv_close(cd);
  }

  std::once_flag m_once;
  std::array<char32_t, 65536> m_table;
};

Cp932Table& Cp932() {
  static Cp932Table table;
  return table;
}

void DecodeUtf8(const unsigned char* s, int n, std::u32string& out) {
  for (int i = 0; i < n;) {
    char32_t cp;
    int len = Utf8Sequence(s + i, n - i, &cp);
    if (len == 0) {
      out += Cp1252(s[i]);
      ++i;
    } else {
      out += cp;
      i += len;
    }
  }
}

void DecodeCp932(const unsigned char* s, int n, std::u32string& out) {
  for (int i = 0; i < n; ++i) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out += b;
    } else if (b >= 0xA1 && b <= 0xDF) {
      out += char32_t(0xFF61 + (b - 0xA1));  // half-width katakana
    } else if (IsSjisLead(b) && i + 1 < n && IsSjisTrail(s[i + 1])) {
      out += Cp932().Lookup(b, s[i + 1]);
      ++i;
    } else {
      out += char32_t(0xFFFD);
    }
  }
}

}  // namespace

void Decode(const char* s, int n, Encoding enc, int codePage, std::u32string& out) {
  out.clear();
  if (!s || n <= 0) return;
  auto* u = reinterpret_cast<const unsigned char*>(s);
  switch (enc) {
    case Encoding::Symbol:
      for (int i = 0; i < n; ++i) out += u[i];
      return;
    case Encoding::Wingdings:
      for (int i = 0; i < n; ++i) out += Wingdings(u[i]);
      return;
    case Encoding::Text:
      if (codePage == 932)
        DecodeCp932(u, n, out);
      else
        DecodeUtf8(u, n, out);
      return;
  }
}

bool IsValidUtf8(const char* s, int n) {
  auto* u = reinterpret_cast<const unsigned char*>(s);
  for (int i = 0; i < n;) {
    char32_t cp;
    int len = Utf8Sequence(u + i, n - i, &cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string FaceNameToUtf8(const char* name) {
  if (!name) return {};
  int n = int(std::strlen(name));
  if (IsValidUtf8(name, n)) return std::string(name, size_t(n));
  std::u32string cps;
  Decode(name, n, Encoding::Text, 932, cps);
  std::string out;
  for (char32_t c : cps) lexaro::util::AppendUtf8(out, c);
  return out;
}

}  // namespace lexaro::font
