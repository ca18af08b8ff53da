#include "tools/cli/batch_input.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/cli/files.h"

namespace cli {
namespace {

constexpr size_t kMaxName = 200;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

// Names become file names: no directory parts, no hidden or control names.
bool ValidName(const std::string& name, std::string* error) {
  if (name.empty()) return (*error = "the image name before the tab is empty"), false;
  if (name.size() > kMaxName)
    return (*error = "the image name is longer than " + std::to_string(kMaxName) + " bytes"), false;
  if (name[0] == '.') return (*error = "the image name '" + name + "' starts with a dot"), false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
      return (*error = "the image name '" + name + "' holds a slash or a control character"), false;
  return true;
}

// Blank and comment lines, told without copying them, so that a long run
// of them (or an endless one) is read quickly.
bool Skipped(const std::string& text) {
  for (char c : text)
    if (!IsBlank(c)) return c == '#';
  return true;
}

std::string Count(long long n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

BatchLine ParseBatchLine(const std::string& raw, long number) {
  BatchLine line;
  if (Skipped(raw)) return line;
  std::string text = raw;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  line.kind = BatchLine::kFormula;
  size_t tab = text.find('\t');
  if (tab == std::string::npos) {
    line.name = "line-" + std::to_string(number);
    line.markup = text;
    return line;
  }
  line.name = Trim(text.substr(0, tab));
  line.named = true;
  line.markup = text.substr(tab + 1);
  if (!ValidName(line.name, &line.error)) line.kind = BatchLine::kBad;
  else if (Trim(line.markup).empty()) line = {BatchLine::kBad, line.name, "", "no markup after the name"};
  return line;
}

bool LineReader::Fill() {
  if (m_eof) return false;
  // At the limit one more byte is asked for: only input that goes on past
  // it is refused, and the byte read is not used.
  const bool atLimit = m_total >= m_limitBytes;
  const size_t want = atLimit ? 1 : size_t(std::min<long long>(sizeof m_buffer, m_limitBytes - m_total));
  const long n = ReadSome(m_fd, m_buffer, want);
  if (n <= 0) {
    m_errno = n < 0 ? errno : 0;
    m_eof = true;
    return false;
  }
  if (atLimit) return (m_limit = true), false;
  m_pos = 0;
  m_end = size_t(n);
  m_total += n;
  return true;
}

LineReader::State LineReader::Next(std::string* line) {
  line->clear();
  bool started = false, tooLong = false, nul = false;
  for (;;) {
    if (m_pos == m_end && !Fill()) {
      if (m_errno || m_limit) {
        // Number() is then the line that was not read (whole), so that it
        // is named among those left out.
        if (!started) ++m_number;
        return m_errno ? kReadError : kInputLimit;
      }
      if (!started) return kEnd;
      break;  // a last line without a line feed
    }
    if (!started) started = true, ++m_number;
    const char* start = m_buffer + m_pos;
    const char* feed = static_cast<const char*>(std::memchr(start, '\n', m_end - m_pos));
    const size_t length = feed ? size_t(feed - start) : m_end - m_pos;
    nul = nul || std::memchr(start, '\0', length) != nullptr;
    if (!tooLong && (long long)(line->size() + length) <= kMaxBatchLine) line->append(start, length);
    else tooLong = true;
    m_pos += length + (feed ? 1 : 0);
    if (feed) break;
  }
  if (tooLong) {
    line->clear();
    return kTooLong;
  }
  return nul ? kHoldsNul : kLine;
}

bool BatchInput::Next(BatchItem* item) {
  for (;;) {
    const LineReader::State state = m_reader.Next(&m_text);
    const long number = m_reader.Number();
    switch (state) {
      case LineReader::kEnd: return false;
      case LineReader::kReadError:
        m_error = "cannot read " + m_what + ": " + std::strerror(m_reader.Errno()) + "; line " +
                  std::to_string(number) + " and the rest were not read";
        return false;
      case LineReader::kInputLimit:
        m_error = m_what + " is longer than " + std::to_string(kMaxBatchInput >> 30) + " GiB; line " +
                  std::to_string(number) + " and the rest were not read";
        return false;
      default: break;
    }
    if (number == 1 && m_text.rfind("\xEF\xBB\xBF", 0) == 0) m_text.erase(0, 3);
    BatchLine line;
    if (state == LineReader::kTooLong)
      line = {BatchLine::kBad, "", "", "the line is longer than " + std::to_string(kMaxBatchLine >> 20) + " MiB"};
    else if (state == LineReader::kHoldsNul)
      line = {BatchLine::kBad, "", "", "the line holds a NUL byte, which no formula holds"};
    else
      line = ParseBatchLine(m_text, number);
    if (line.kind == BatchLine::kSkip) continue;
    if (m_count++ >= kMaxBatchFormulas) {
      m_error = m_what + " holds more than " + Count(kMaxBatchFormulas) + " formulas; line " +
                std::to_string(number) + " and the rest were not read";
      return false;
    }
    // An item of another shard gets no place (-1): none of this run's items
    // waits for it.
    const bool held = m_shard.Holds(number);
    *item = BatchItem{held ? m_seq : -1, number, line.kind == BatchLine::kFormula, std::move(line.name),
                      std::move(line.markup), std::move(line.error), -1, line.named};
    if (item->ok) ClaimName(item);
    if (!held) continue;
    ++m_seq;
    return true;
  }
}

// A name belongs to the first line that gives it; a later line giving it
// again fails, or with --overwrite replaces that image after it is written.
void BatchInput::ClaimName(BatchItem* item) {
  // Most lists name no line: their names, line-N, are kept as runs of line
  // numbers unless a given name took one first.
  if (!item->named && m_names.find(item->name) == m_names.end()) return AddUnnamed(item->number);
  auto [claim, fresh] = m_names.try_emplace(item->name, Claim{item->number, item->seq});
  if (fresh) {
    Claim earlier;
    if (!UnnamedClaim(item->name, &earlier)) return;
    claim->second = earlier;  // an unnamed line's name, given again
  }
  if (!m_overwrite) {
    item->ok = false;
    item->error = "the image name '" + item->name + "' was already given by line " +
                  std::to_string(claim->second.number) + " (--overwrite lets a later line replace it)";
    return;
  }
  item->after = claim->second.seq;
  claim->second = Claim{item->number, item->seq};
}

void BatchInput::AddUnnamed(long number) {
  // Consecutive lines only: a blank, comment, failed or named line between
  // two ends the run, so no item lies between a run's lines but its own.
  if (!m_unnamed.empty() && number == m_unnamed.back().last + 1) {
    m_unnamed.back().last = number;
    return;
  }
  m_unnamed.push_back({number, number, m_seq});
}

bool BatchInput::UnnamedClaim(const std::string& name, Claim* claim) const {
  // Only the name an unnamed line is given: line-, then the number as
  // std::to_string writes it, of at most ten digits (no list has more than
  // 2^30 lines).
  if (name.size() < 6 || name.size() > 15 || name.compare(0, 5, "line-") != 0) return false;
  long number = 0;
  for (size_t i = 5; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || (i == 5 && name[i] == '0')) return false;
    number = number * 10 + (name[i] - '0');
  }
  auto run = std::upper_bound(m_unnamed.begin(), m_unnamed.end(), number,
                              [](long n, const UnnamedRun& r) { return n < r.first; });
  if (run == m_unnamed.begin() || number > (--run)->last) return false;
  *claim = Claim{number, run->SeqOf(number, m_shard)};
  return true;
}

}  // namespace cli
