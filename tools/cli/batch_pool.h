// The worker processes of `lexaro batch --jobs N`. The parent publishes the
// items of the list in a ring of shared memory (job_ring.h) and the workers
// claim them one at a time, so an item waits for whichever worker is free
// first and no system call is made for an item but the image's own. Workers
// are started as items come, so a short list starts no more of them than it
// needs. A worker that ends while drawing an item fails that item only; the
// items it had not claimed are drawn by the others (or by a new worker when
// none is left). Workers end when the pool closes, and at once when the
// parent ends, however it ends (the kernel sends the worker SIGTERM).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/cli/batch_input.h"
#include "tools/cli/batch_report.h"
#include "tools/cli/job_ring.h"

namespace cli {

using DrawItemFn = std::function<BatchResult(const BatchItem&)>;

class WorkerPool {
 public:
  WorkerPool(int jobs, DrawItemFn draw);
  // Tells the workers to end and waits for them.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Whether the item can be handed out now: the ring has room for it and a
  // worker runs or can start.
  bool CanTake(const BatchItem& item) const;
  // Hands the item to the workers; false with the reason when none can take it.
  bool Send(const BatchItem& item, std::string* error);
  // Items handed out and not yet answered.
  int Busy() const { return int(m_ring.Outstanding()); }
  // Reports the answers in, in input order; when there is none yet, waits
  // for several (or for a worker to end, whose item then fails).
  void Collect(BatchReport& report);

 private:
  struct Worker {
    pid_t pid = -1;
    int lifeFd = -1;  // the read end of a pipe only the worker holds open: it hangs up when the worker ends
  };

  int Running() const;
  // Starts a worker in a free place; false with the reason.
  bool StartOne(std::string* error);
  bool Start(int id, std::string* error);
  [[noreturn]] void Serve(int id);
  std::string Retire(Worker& w);
  // A worker ended: the item it was drawing fails.
  void Lost(int id);
  // An unclaimed item with no worker running gets one, or fails.
  void KeepDrawing();

  std::vector<Worker> m_workers;
  JobRing m_ring;
  DrawItemFn m_draw;
  pid_t m_parent;
  bool m_startFailed = false;
  std::string m_startError;
};

}  // namespace cli
