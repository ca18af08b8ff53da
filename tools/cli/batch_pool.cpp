#include "tools/cli/batch_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {
namespace {

std::string EndOf(int status) {
  if (WIFSIGNALED(status))
    return "the worker drawing it was stopped by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  return "the worker drawing it ended early (status " + std::to_string(WEXITSTATUS(status)) + ")";
}

void CloseFd(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
}

}  // namespace

WorkerPool::WorkerPool(int jobs, DrawItemFn draw)
    : m_workers(size_t(jobs > 0 ? jobs : 1)), m_draw(std::move(draw)), m_parent(::getpid()) {}

WorkerPool::~WorkerPool() {
  m_ring.Close();
  for (Worker& w : m_workers)
    if (w.pid > 0) Retire(w);
}

int WorkerPool::Running() const {
  int running = 0;
  for (const Worker& w : m_workers) running += w.pid > 0;
  return running;
}

bool WorkerPool::CanTake(const BatchItem& item) const {
  return m_ring.HasRoomFor(item) && (Running() > 0 || !m_startFailed);
}

bool WorkerPool::Send(const BatchItem& item, std::string* error) {
  if (!JobRing::Fits(item)) return (*error = "too long to hand to a worker"), false;
  if (!m_ring.HasRoomFor(item)) return (*error = "no worker can take it"), false;
  // Another worker starts while the items outnumber the running ones.
  const int running = Running();
  if (!m_startFailed && running < int(m_workers.size()) && running <= int(m_ring.Outstanding()) &&
      !StartOne(&m_startError))
    m_startFailed = true;
  if (Running() == 0) return (*error = m_startError), false;
  m_ring.Post(item);
  return true;
}

void WorkerPool::Collect(BatchReport& report) {
  for (;;) {
    bool took = false;
    for (BatchResult r; m_ring.Take(&r); took = true) report.Add(std::move(r));
    if (took || m_ring.Outstanding() == 0) return;
    KeepDrawing();
    // The life pipes are watched only for their end (events 0 still
    // reports a hang-up).
    std::vector<pollfd> watch;
    std::vector<int> ids;
    for (size_t i = 0; i < m_workers.size(); ++i)
      if (m_workers[i].pid > 0) watch.push_back({m_workers[i].lifeFd, 0, 0}), ids.push_back(int(i));
    m_ring.Sleep(watch);
    for (size_t k = 0; k < ids.size(); ++k)
      if (watch[k].revents != 0) Lost(ids[k]);
  }
}

void WorkerPool::Lost(int id) {
  const std::string why = Retire(m_workers[size_t(id)]);
  // The worker has ended (its descriptors close after its memory is gone),
  // so nothing more is written into a slot it claimed.
  m_ring.FailClaimed(id, "not drawn: " + why);
  KeepDrawing();
}

void WorkerPool::KeepDrawing() {
  if (Running() > 0 || !m_ring.HasUnclaimed()) return;
  if (!m_startFailed && StartOne(&m_startError)) return;
  m_startFailed = true;
  m_ring.FailUnclaimed("not drawn: " + m_startError);
}

// Closes a worker's life pipe and waits for it to end; answers how it ended.
std::string WorkerPool::Retire(Worker& w) {
  CloseFd(&w.lifeFd);
  int status = 0;
  while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
  }
  w = Worker{};
  return EndOf(status);
}

bool WorkerPool::StartOne(std::string* error) {
  for (size_t i = 0; i < m_workers.size(); ++i)
    if (m_workers[i].pid < 0) return Start(int(i), error);
  return (*error = "no worker can start"), false;
}

bool WorkerPool::Start(int id, std::string* error) {
  if (!m_ring.Ok()) return (*error = "cannot start a worker: " + m_ring.Error()), false;
  int life[2];
  if (::pipe2(life, O_CLOEXEC) != 0)
    return (*error = std::string("cannot start a worker: ") + std::strerror(errno)), false;
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (Worker& other : m_workers) CloseFd(&other.lifeFd);
    ::close(life[0]);
    Serve(id);
  }
  // Only the worker holds the write end, so the read end hangs up when it ends.
  ::close(life[1]);
  if (pid < 0) {
    *error = std::string("cannot start a worker: ") + std::strerror(errno);
    ::close(life[0]);
    return false;
  }
  m_workers[size_t(id)] = Worker{pid, life[0]};
  return true;
}

// The worker: draws the items it claims until the pool closes. It stops at
// once when the parent ends, even in the middle of a drawing; its SIGTERM
// handler removes a half-written output.
void WorkerPool::Serve(int id) {
  if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != m_parent) ::_exit(0);
  // Nothing may unwind out of the worker into the parent's code it was
  // forked from: running out of memory ends the worker, whose item the
  // parent then reports as failed.
  try {
    BatchItem item;
    std::uint32_t ticket = 0;
    while (m_ring.Claim(id, &item, &ticket)) m_ring.Answer(ticket, m_draw(item));
  } catch (...) {
    ::_exit(1);
  }
  ::_exit(0);
}

}  // namespace cli
