#include "tools/cli/batch_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/file_output.h"

namespace cli {
namespace {

// A message longer than this is cut, so that an answer fits in one atomic
// pipe write.
constexpr size_t kMaxMessage = 2048;

bool ReadFull(int fd, void* data, size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
}

bool WriteFull(int fd, const std::string& bytes) { return lexaro::output::Sink(fd).Write(bytes); }

void CloseFd(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
}

// A job: seq, line number, name length, markup length, then the bytes.
std::string EncodeJob(const BatchItem& item) {
  const std::int64_t header[4] = {item.seq, item.number, std::int64_t(item.name.size()),
                                  std::int64_t(item.markup.size())};
  std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
  return bytes + item.name + item.markup;
}

bool DecodeJob(int fd, BatchItem* item) {
  std::int64_t header[4];
  if (!ReadFull(fd, header, sizeof header)) return false;
  if (header[2] < 0 || header[3] < 0 || header[2] + header[3] > 2 * kMaxBatchLine) return false;
  *item = BatchItem{};
  item->seq = long(header[0]);
  item->number = long(header[1]);
  item->ok = true;
  item->name.resize(size_t(header[2]));
  item->markup.resize(size_t(header[3]));
  return ReadFull(fd, item->name.data(), item->name.size()) && ReadFull(fd, item->markup.data(), item->markup.size());
}

// An answer: seq, ok, message length, then the message.
std::string EncodeAnswer(const BatchResult& r) {
  const std::string message = r.message.substr(0, kMaxMessage);
  const std::int64_t header[3] = {r.seq, r.ok ? 1 : 0, std::int64_t(message.size())};
  return std::string(reinterpret_cast<const char*>(header), sizeof header) + message;
}

std::string EndOf(int status) {
  if (WIFSIGNALED(status))
    return "the worker drawing it was stopped by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  return "the worker drawing it ended early (status " + std::to_string(WEXITSTATUS(status)) + ")";
}

}  // namespace

WorkerPool::WorkerPool(int jobs, DrawItemFn draw)
    : m_workers(size_t(jobs > 0 ? jobs : 1)), m_draw(std::move(draw)), m_parent(::getpid()) {
  // A worker that has ended makes writing to it fail with EPIPE, not a signal.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, &m_oldPipe);
}

WorkerPool::~WorkerPool() {
  for (Worker& w : m_workers) CloseFd(&w.jobFd);
  for (Worker& w : m_workers)
    if (w.pid > 0) Retire(w);
  ::sigaction(SIGPIPE, &m_oldPipe, nullptr);
}

bool WorkerPool::CanTake() {
  return Find(true) != nullptr || (!m_startFailed && Find(false) != nullptr);
}

int WorkerPool::Busy() const {
  int busy = 0;
  for (const Worker& w : m_workers) busy += w.pid > 0 && w.seq >= 0;
  return busy;
}

WorkerPool::Worker* WorkerPool::Find(bool running) {
  for (Worker& w : m_workers)
    if (running ? w.pid > 0 && w.seq < 0 : w.pid < 0) return &w;
  return nullptr;
}

bool WorkerPool::Send(const BatchItem& item, std::string* error) {
  Worker* chosen = Find(true);
  if (!chosen) {
    chosen = m_startFailed ? nullptr : Find(false);
    if (!chosen) return (*error = "no worker can take it"), false;
    if (!Start(*chosen, error)) return (m_startFailed = true), false;
  }
  // An idle worker is waiting in read, so a long job cannot block here.
  if (!WriteFull(chosen->jobFd, EncodeJob(item))) {
    *error = Retire(*chosen);
    return false;
  }
  chosen->seq = item.seq;
  chosen->number = item.number;
  return true;
}

void WorkerPool::Collect(BatchReport& report) {
  std::vector<pollfd> fds;
  std::vector<Worker*> owners;
  for (Worker& w : m_workers)
    if (w.pid > 0) fds.push_back({w.resultFd, POLLIN, 0}), owners.push_back(&w);
  if (fds.empty()) return;
  while (::poll(fds.data(), fds.size(), -1) < 0)
    if (errno != EINTR) return;
  for (size_t i = 0; i < fds.size(); ++i)
    if (fds[i].revents != 0 && !Answer(*owners[i], report)) {
      const long seq = owners[i]->seq, number = owners[i]->number;
      std::string why = Retire(*owners[i]);
      if (seq >= 0) report.Add({seq, number, false, "not drawn: " + why});
    }
}

// Reads one answer of a worker; false when the worker has ended.
bool WorkerPool::Answer(Worker& w, BatchReport& report) {
  std::int64_t header[3];
  if (!ReadFull(w.resultFd, header, sizeof header) || header[0] != w.seq || header[2] < 0 ||
      header[2] > std::int64_t(kMaxMessage))
    return false;
  std::string message(size_t(header[2]), '\0');
  if (!ReadFull(w.resultFd, message.data(), message.size())) return false;
  report.Add({w.seq, w.number, header[1] != 0, std::move(message)});
  w.seq = -1;
  return true;
}

// Closes a worker's pipes and waits for it to end; answers how it ended.
std::string WorkerPool::Retire(Worker& w) {
  CloseFd(&w.jobFd);
  CloseFd(&w.resultFd);
  int status = 0;
  while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
  }
  w = Worker{};
  return EndOf(status);
}

bool WorkerPool::Start(Worker& w, std::string* error) {
  int jobs[2], results[2];
  if (::pipe2(jobs, O_CLOEXEC) != 0)
    return (*error = std::string("cannot start a worker: ") + std::strerror(errno)), false;
  if (::pipe2(results, O_CLOEXEC) != 0) {
    *error = std::string("cannot start a worker: ") + std::strerror(errno);
    ::close(jobs[0]), ::close(jobs[1]);
    return false;
  }
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (Worker& other : m_workers) CloseFd(&other.jobFd), CloseFd(&other.resultFd);
    ::close(jobs[1]);
    ::close(results[0]);
    Serve(jobs[0], results[1]);
  }
  ::close(jobs[0]);
  ::close(results[1]);
  if (pid < 0) {
    *error = std::string("cannot start a worker: ") + std::strerror(errno);
    ::close(jobs[1]), ::close(results[0]);
    return false;
  }
  w = Worker{pid, jobs[1], results[0], -1, 0};
  return true;
}

// The worker: draws the items it is given until its job pipe closes. It
// stops at once when the parent ends, even in the middle of a drawing; its
// SIGTERM handler removes a half-written output.
void WorkerPool::Serve(int jobFd, int resultFd) {
  if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != m_parent) ::_exit(0);
  // Nothing may unwind out of the worker into the parent's code it was
  // forked from: running out of memory ends the worker, whose item the
  // parent then reports as failed.
  try {
    BatchItem item;
    while (DecodeJob(jobFd, &item))
      if (!WriteFull(resultFd, EncodeAnswer(m_draw(item)))) break;
  } catch (...) {
    ::_exit(1);
  }
  ::_exit(0);
}

}  // namespace cli
