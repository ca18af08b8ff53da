// The worker processes of `lexaro batch --jobs N`. The parent reads the list
// and hands items to the workers through a pipe each; a worker draws them in
// order and answers each through another pipe. A worker is given its next
// item while it draws one (when the item is small enough to wait in the
// pipe), so that it never waits for the parent between items; it rings a
// bell shared by all workers after a few answers and before it would wait,
// so that the parent wakes once for several answers. Workers are started as
// items come, so a short list starts no more of them than it needs. A worker
// ends when its job pipe closes, and at once when the parent ends, however
// it ends (the kernel sends the worker SIGTERM).
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/cli/batch_input.h"
#include "tools/cli/batch_report.h"

namespace cli {

using DrawItemFn = std::function<BatchResult(const BatchItem&)>;

class WorkerPool {
 public:
  WorkerPool(int jobs, DrawItemFn draw);
  // Closes the job pipes and waits for the workers to end.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Whether the item can be handed out now: a worker is idle or can start,
  // or it can wait behind a worker's item.
  bool CanTake(const BatchItem& item);
  // Hands the item to a worker; false with the reason when none took it.
  bool Send(const BatchItem& item, std::string* error);
  // Workers drawing an item.
  int Busy() const;
  // Waits until a worker answers or ends, and reports every answer; the
  // item of a worker that ended while drawing it fails.
  void Collect(BatchReport& report);

 private:
  struct Handed {
    long seq, number;
    std::optional<BatchItem> waiting;  // a copy, for an item handed out to wait
  };
  struct Worker {
    pid_t pid = -1;
    int jobFd = -1, resultFd = -1;
    std::deque<Handed> items;  // handed out, not yet answered, in order
    std::string answers;       // read from resultFd, not yet a whole answer
  };

  // An idle running worker, or (running false) a slot without a worker.
  Worker* Find(bool running);
  // A running worker whose item the given one can wait behind, or null.
  Worker* Queue(const BatchItem& item);
  bool Start(Worker& w, std::string* error);
  [[noreturn]] void Serve(int jobFd, int resultFd);
  std::string Retire(Worker& w);
  // Retires a worker that failed: its first item fails with the reason, the
  // items waiting behind it are handed out again.
  void Lost(Worker& w, BatchReport* report);
  bool Drain(Worker& w, std::vector<BatchResult>& answers);

  std::vector<Worker> m_workers;
  // Results of items lost while handing out another, told at the next Collect.
  std::vector<BatchResult> m_lost;
  DrawItemFn m_draw;
  pid_t m_parent;
  int m_bell;  // an eventfd the workers ring when they have answered
  bool m_startFailed = false;
  struct sigaction m_oldPipe {};
};

}  // namespace cli
