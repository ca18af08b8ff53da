// The formula list of `lexaro batch`, read once as a stream from anything
// (a file, a pipe, a FIFO, a terminal, a device) and turned into numbered
// items whose image names are decided here, in input order, so that the
// result never depends on how the drawing is shared among workers.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace cli {

// The longest formula line kept; a longer line fails on its own.
constexpr long long kMaxBatchLine = 1LL << 20;
// The most bytes read from one list: an input that never ends (/dev/zero, a
// stream of blank lines) stops here with an error.
constexpr long long kMaxBatchInput = 1LL << 30;
// The most formulas of one list. Every name given on a line is remembered
// to refuse a repeat, so this bounds that memory (about 100 bytes plus the
// name each); the names of unnamed lines are kept as runs of consecutive
// line numbers, 24 bytes a run, so a list of unnamed lines with no blank,
// comment, failed or named line between them is read in flat memory.
constexpr long kMaxBatchFormulas = 1'000'000;

// One line of a batch file, classified.
struct BatchLine {
  enum Kind { kSkip, kFormula, kBad } kind = kSkip;
  std::string name;    // the image's file name without extension
  std::string markup;
  std::string error;   // kBad: why
  bool named = false;  // whether the line gives the name (else line-N)
};

// Classifies one line (without its line feed) read at line number `number`.
BatchLine ParseBatchLine(const std::string& line, long number);

// A formula to draw, or a line that failed before drawing.
struct BatchItem {
  long seq = 0;      // 0, 1, 2, ... over the items of the list
  long number = 0;   // the line number
  bool ok = false;   // false: not to be drawn, `error` says why
  std::string name, markup, error;
  long after = -1;   // with --overwrite: the item drawing the same name
                     // before this one, which must be written first
  bool named = false;  // whether the line gives the name
};

// Reads the lines of a descriptor once, in chunks; a line longer than
// kMaxBatchLine is read to its end without being kept.
class LineReader {
 public:
  enum State { kLine, kTooLong, kHoldsNul, kEnd, kReadError, kInputLimit };

  // `limit` bounds the bytes read; input exactly that long is read whole.
  explicit LineReader(int fd, long long limit = kMaxBatchInput) : m_fd(fd), m_limitBytes(limit) {}

  // The next line without its line feed, and what it is.
  State Next(std::string* line);
  // The line number of the last line given; after kReadError or
  // kInputLimit, of the first line not read whole.
  long Number() const { return m_number; }
  int Errno() const { return m_errno; }

 private:
  bool Fill();

  int m_fd;
  char m_buffer[65536];
  size_t m_pos = 0, m_end = 0;
  long long m_total = 0, m_limitBytes;
  long m_number = 0;
  int m_errno = 0;
  bool m_eof = false, m_limit = false;
};

// Which lines of the list one run draws: those whose line number less one is
// `index` modulo `count`. Every line counts, blank and comment lines too, so
// the shards of a list follow from the lines' places alone.
struct BatchShard {
  long index = 0, count = 1;
  bool Holds(long number) const { return (number - 1) % count == index; }
  // How many of the lines before line `number` (from 1) it holds.
  long HeldBefore(long number) const { return (number - 1 + count - 1 - index) / count; }
};

class BatchInput {
 public:
  // `what` names the input in messages ("'list.txt'", "standard input").
  BatchInput(int fd, std::string what, bool overwrite, BatchShard shard = {})
      : m_reader(fd), m_what(std::move(what)), m_overwrite(overwrite), m_shard(shard) {}

  // The next item of the shard. The lines of other shards are read and
  // their image names claimed, so that a repeated name fails in whichever
  // shard holds the later line, as it does in the whole list.
  // False at the end of the input or when reading stopped
  // early, which Error() then tells.
  bool Next(BatchItem* item);
  const std::string& Error() const { return m_error; }

 private:
  void ClaimName(BatchItem* item);

  struct Claim {
    long number, seq;  // the last line that named the image, and its item
  };
  // Unnamed lines first to last of one list, each an item: the shard's own
  // numbered from `seq` up, the others' -1. Their names line-first ..
  // line-last cannot repeat one another.
  struct UnnamedRun {
    long first, last, seq;
    long SeqOf(long number, const BatchShard& shard) const {
      return shard.Holds(number) ? seq + shard.HeldBefore(number) - shard.HeldBefore(first) : -1;
    }
  };
  // The claim on the name line-N of an unnamed line N, if it was one.
  bool UnnamedClaim(const std::string& name, Claim* claim) const;
  // Adds unnamed line `number`, read when the shard's next item is m_seq.
  void AddUnnamed(long number);

  LineReader m_reader;
  std::string m_what, m_error, m_text;
  bool m_overwrite;
  BatchShard m_shard;
  long m_seq = 0;     // items of the shard
  long m_count = 0;   // items of the whole list, for its limit
  std::unordered_map<std::string, Claim> m_names;  // given names, and names claimed again
  std::vector<UnnamedRun> m_unnamed;                // in line order
};

}  // namespace cli
