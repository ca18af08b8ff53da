// The worker processes of `lexaro batch --jobs N`. The parent reads the list
// and hands one item at a time to each idle worker through a pipe; the
// worker draws it and answers through another pipe. Workers are started as
// items come, so a short list starts no more of them than it needs. A worker
// ends when its job pipe closes, and at once when the parent ends, however
// it ends (the kernel sends the worker SIGTERM).
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <functional>
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

  // Whether an item can be handed out now: a worker is idle or can start.
  bool CanTake();
  // Hands the item to a worker; false with the reason when none took it.
  bool Send(const BatchItem& item, std::string* error);
  // Workers drawing an item.
  int Busy() const;
  // Waits until a worker answers or ends, and reports every answer; the
  // item of a worker that ended while drawing it fails.
  void Collect(BatchReport& report);

 private:
  struct Worker {
    pid_t pid = -1;
    int jobFd = -1, resultFd = -1;
    long seq = -1, number = 0;  // the item being drawn; seq -1 when idle
  };

  // An idle running worker, or (running false) a slot without a worker.
  Worker* Find(bool running);
  bool Start(Worker& w, std::string* error);
  [[noreturn]] void Serve(int jobFd, int resultFd);
  std::string Retire(Worker& w);
  bool Answer(Worker& w, BatchReport& report);

  std::vector<Worker> m_workers;
  DrawItemFn m_draw;
  pid_t m_parent;
  bool m_startFailed = false;
  struct sigaction m_oldPipe {};
};

}  // namespace cli
