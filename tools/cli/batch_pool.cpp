#include "tools/cli/batch_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
// A worker holds at most this many items; one beyond the first waits in the
// pipe only when it takes at most kMaxWaitingJob bytes, so that writing it
// never blocks (a pipe holds 64 KiB).
constexpr size_t kItemsPerWorker = 2;
constexpr size_t kMaxWaitingJob = 16 << 10;

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

// The worker's end of its job pipe, read ahead: a job and the one waiting
// behind it usually come in one read.
class JobReader {
 public:
  explicit JobReader(int fd) : m_fd(fd) {}
  bool Read(void* data, size_t size) {
    char* out = static_cast<char*>(data);
    while (size > 0) {
      if (m_at == m_end) {
        if (size >= sizeof m_buffer) return ReadFull(m_fd, out, size);
        ssize_t n = ::read(m_fd, m_buffer, sizeof m_buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        m_at = 0, m_end = size_t(n);
      }
      const size_t take = std::min(size, m_end - m_at);
      std::memcpy(out, m_buffer + m_at, take);
      m_at += take, out += take, size -= take;
    }
    return true;
  }

 private:
  int m_fd;
  char m_buffer[16 << 10];
  size_t m_at = 0, m_end = 0;
};

bool DecodeJob(JobReader& in, BatchItem* item) {
  std::int64_t header[4];
  if (!in.Read(header, sizeof header)) return false;
  if (header[2] < 0 || header[3] < 0 || header[2] + header[3] > 2 * kMaxBatchLine) return false;
  *item = BatchItem{};
  item->seq = long(header[0]);
  item->number = long(header[1]);
  item->ok = true;
  item->name.resize(size_t(header[2]));
  item->markup.resize(size_t(header[3]));
  return in.Read(item->name.data(), item->name.size()) && in.Read(item->markup.data(), item->markup.size());
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

bool WorkerPool::CanTake(const BatchItem& item) {
  return Find(true) != nullptr || (!m_startFailed && Find(false) != nullptr) || Queue(item) != nullptr;
}

int WorkerPool::Busy() const {
  int busy = 0;
  for (const Worker& w : m_workers) busy += w.pid > 0 && !w.items.empty();
  return busy + (m_lost.empty() ? 0 : 1);
}

WorkerPool::Worker* WorkerPool::Find(bool running) {
  for (Worker& w : m_workers)
    if (running ? w.pid > 0 && w.items.empty() : w.pid < 0) return &w;
  return nullptr;
}

WorkerPool::Worker* WorkerPool::Queue(const BatchItem& item) {
  if (sizeof(std::int64_t) * 4 + item.name.size() + item.markup.size() > kMaxWaitingJob) return nullptr;
  for (Worker& w : m_workers)
    if (w.pid > 0 && w.items.size() < kItemsPerWorker) return &w;
  return nullptr;
}

bool WorkerPool::Send(const BatchItem& item, std::string* error) {
  // A worker may have ended since it last answered: its item goes to
  // another one, a few times at most.
  for (size_t attempt = 0; attempt <= m_workers.size(); ++attempt) {
    Worker* chosen = Find(true);
    if (!chosen && !m_startFailed && (chosen = Find(false)) != nullptr && !Start(*chosen, error))
      return (m_startFailed = true), false;
    if (!chosen) chosen = Queue(item);
    if (!chosen) return (*error = "no worker can take it"), false;
    // An idle worker is waiting in read, so a long job cannot block here; a
    // job that waits behind another fits in the pipe.
    if (WriteFull(chosen->jobFd, EncodeJob(item))) {
      chosen->items.push_back({item.seq, item.number, std::nullopt});
      if (chosen->items.size() > 1) chosen->items.back().waiting = item;
      return true;
    }
    Lost(*chosen, nullptr);
  }
  *error = "the workers keep ending";
  return false;
}

void WorkerPool::Collect(BatchReport& report) {
  for (BatchResult& r : m_lost) report.Add(std::move(r));
  m_lost.clear();
  std::vector<pollfd> fds;
  std::vector<Worker*> owners;
  for (Worker& w : m_workers)
    if (w.pid > 0 && !w.items.empty()) fds.push_back({w.resultFd, POLLIN, 0}), owners.push_back(&w);
  if (fds.empty()) return;
  while (::poll(fds.data(), fds.size(), -1) < 0)
    if (errno != EINTR) return;
  for (size_t i = 0; i < fds.size(); ++i)
    if (fds[i].revents != 0 && !Answer(*owners[i], report)) Lost(*owners[i], &report);
}

// Reads one answer of a worker; false when the worker has ended.
bool WorkerPool::Answer(Worker& w, BatchReport& report) {
  std::int64_t header[3];
  if (w.items.empty() || !ReadFull(w.resultFd, header, sizeof header) || header[0] != w.items.front().seq ||
      header[2] < 0 || header[2] > std::int64_t(kMaxMessage))
    return false;
  std::string message(size_t(header[2]), '\0');
  if (!ReadFull(w.resultFd, message.data(), message.size())) return false;
  report.Add({w.items.front().seq, w.items.front().number, header[1] != 0, std::move(message)});
  w.items.pop_front();
  return true;
}

void WorkerPool::Lost(Worker& w, BatchReport* report) {
  std::deque<Handed> items = std::move(w.items);
  const std::string why = Retire(w);
  std::string error;
  // A worker draws its items in order: the first unanswered one is the one
  // it ended on, and only those behind it are handed out again.
  for (size_t i = 0; i < items.size(); ++i) {
    const Handed& h = items[i];
    const bool again = i > 0 && h.waiting;
    if (again && Send(*h.waiting, &error)) continue;
    BatchResult r{h.seq, h.number, false, "not drawn: " + (again ? error : why)};
    if (report) report->Add(std::move(r));
    else m_lost.push_back(std::move(r));
  }
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
  w = Worker{pid, jobs[1], results[0], {}};
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
    JobReader jobs(jobFd);
    while (DecodeJob(jobs, &item))
      if (!WriteFull(resultFd, EncodeAnswer(m_draw(item)))) break;
  } catch (...) {
    ::_exit(1);
  }
  ::_exit(0);
}

}  // namespace cli
