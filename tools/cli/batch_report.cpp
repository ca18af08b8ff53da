#include "tools/cli/batch_report.h"

#include <cstdio>

namespace cli {
namespace {

constexpr size_t kFailedShown = 20;  // failed line numbers listed in the summary

}  // namespace

void BatchReport::Add(BatchResult result) {
  if (result.seq != m_next) {
    m_waiting.emplace(result.seq, std::move(result));
    return;
  }
  Tell(result);
  for (auto it = m_waiting.begin(); it != m_waiting.end() && it->first == m_next; it = m_waiting.erase(it))
    Tell(it->second);
}

void BatchReport::Tell(const BatchResult& r) {
  ++m_next;
  ++m_done;
  if (!r.ok) {
    Clear();
    std::fprintf(stderr, "lexaro: line %ld: %s\n", r.number, r.message.c_str());
    if (m_failed.size() < kFailedShown) m_failed.push_back(r.number);
    ++m_failedCount;
  }
  Draw();
}

void BatchReport::Stopped(const std::string& why) {
  Clear();
  std::fprintf(stderr, "lexaro: %s\n", why.c_str());
  m_stopped = true;
}

void BatchReport::Summary(const std::string& dir) {
  Clear();
  std::fprintf(stderr, "lexaro: %ld of %ld formulas %s%sdrawn into %s", m_done - m_failedCount, m_done,
               m_shard.empty() ? "" : ("of shard " + m_shard).c_str(), m_shard.empty() ? "" : " ", dir.c_str());
  if (m_failedCount > 0) {
    std::fprintf(stderr, "; %ld failed (line%s", m_failedCount, m_failedCount > 1 ? "s" : "");
    for (size_t i = 0; i < m_failed.size(); ++i) std::fprintf(stderr, "%s %ld", i ? "," : "", m_failed[i]);
    std::fputs(m_failedCount > long(kFailedShown) ? ", ...)" : ")", stderr);
  }
  std::fprintf(stderr, "\n");
}

void BatchReport::Clear() {
  if (m_bar && m_drawn) std::fprintf(stderr, "\r\033[K");
  m_drawn = false;
}

// The list is read as it is drawn, so its length is unknown: the counter
// tells what is done.
void BatchReport::Draw() {
  if (!m_bar) return;
  std::fprintf(stderr, "\r%ld drawn", m_done - m_failedCount);
  if (m_failedCount) std::fprintf(stderr, ", %ld failed", m_failedCount);
  std::fflush(stderr);
  m_drawn = true;
}

}  // namespace cli
