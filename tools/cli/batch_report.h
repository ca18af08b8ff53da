// What `lexaro batch` tells on standard error: each failed line, a progress
// counter on a terminal, and the summary. Results may arrive in any order
// from the workers; they are told in input order, so the messages never
// depend on timing.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace cli {

// The result of one item of the list.
struct BatchResult {
  long seq = 0;
  long number = 0;  // the line number
  bool ok = false;
  std::string message;  // why it failed
};

class BatchReport {
 public:
  explicit BatchReport(bool bar) : m_bar(bar) {}

  // Takes a result; it is told once every earlier item's result is in.
  void Add(BatchResult result);
  // Whether the item's result is in.
  bool Done(long seq) const { return seq < m_next || m_waiting.count(seq) > 0; }
  // Results in but not yet told, for lack of an earlier one.
  long Waiting() const { return long(m_waiting.size()); }

  // The run draws shard `index` of `count`: the summary says so, as its
  // counts are of the shard's formulas only.
  void SetShard(long index, long count) { m_shard = std::to_string(index) + "/" + std::to_string(count); }

  // Why reading the list stopped early (an error of the whole batch).
  void Stopped(const std::string& why);
  long Failures() const { return m_failedCount + (m_stopped ? 1 : 0); }
  void Summary(const std::string& dir);

 private:
  void Tell(const BatchResult& r);
  void Clear();
  void Draw();

  bool m_bar, m_drawn = false, m_stopped = false;
  long m_next = 0, m_done = 0, m_failedCount = 0;
  std::vector<long> m_failed;  // the first failed line numbers
  std::map<long, BatchResult> m_waiting;
  std::string m_shard;  // "K/N", or empty for the whole list
};

}  // namespace cli
