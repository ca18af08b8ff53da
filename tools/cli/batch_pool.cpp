#include "tools/cli/batch_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
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
constexpr size_t kItemsPerWorker = 8;
constexpr size_t kMaxWaitingJob = 8 << 10;
// A worker rings the parent's bell after this many answers, and when it
// would wait for its next item: the parent wakes once for several answers
// rather than once for each, and refills the worker before it runs dry.
constexpr size_t kAnswersPerRing = kItemsPerWorker / 2;


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

// The worker's end of its job pipe (non-blocking), read ahead: the jobs
// waiting in the pipe usually come in one read.
class JobReader {
 public:
  // beforeWait runs when the pipe is empty, before the worker waits.
  JobReader(int fd, std::function<void()> beforeWait) : m_fd(fd), m_beforeWait(std::move(beforeWait)) {}
  bool Read(void* data, size_t size) {
    char* out = static_cast<char*>(data);
    while (size > 0) {
      if (m_at == m_end) {
        // A long job is read straight into place.
        const bool direct = size >= sizeof m_buffer;
        ssize_t n = ::read(m_fd, direct ? out : m_buffer, direct ? size : sizeof m_buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
          m_beforeWait();
          pollfd readable{m_fd, POLLIN, 0};
          if (::poll(&readable, 1, -1) < 0 && errno != EINTR) return false;
          continue;
        }
        if (n <= 0) return false;
        if (direct) {
          out += n, size -= size_t(n);
          continue;
        }
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
  std::function<void()> m_beforeWait;
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
    : m_workers(size_t(jobs > 0 ? jobs : 1)),
      m_draw(std::move(draw)),
      m_parent(::getpid()),
      m_bell(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
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
  CloseFd(&m_bell);
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
  // The bell wakes the parent; a worker's result pipe is watched only for
  // its end (events 0 still reports a hang-up).
  std::vector<pollfd> fds{{m_bell, POLLIN, 0}};
  std::vector<Worker*> owners;
  for (Worker& w : m_workers)
    if (w.pid > 0 && !w.items.empty()) fds.push_back({w.resultFd, 0, 0}), owners.push_back(&w);
  if (owners.empty()) return;
  while (::poll(fds.data(), fds.size(), -1) < 0)
    if (errno != EINTR) return;
  // Reading the bell silences it until a worker rings again.
  std::uint64_t rings;
  if ((fds[0].revents & POLLIN) && ::read(m_bell, &rings, sizeof rings) < 0) rings = 0;
  std::vector<BatchResult> answers;
  for (size_t i = 0; i < owners.size(); ++i) {
    const bool alive = Drain(*owners[i], answers);
    for (BatchResult& r : answers) report.Add(std::move(r));
    answers.clear();
    if (!alive) Lost(*owners[i], &report);
  }
}

// Takes every whole answer a worker has written so far; false when the
// worker has ended or wrote what is not an answer to its first item.
bool WorkerPool::Drain(Worker& w, std::vector<BatchResult>& answers) {
  bool ended = false;
  for (char buffer[16 << 10];;) {
    const ssize_t n = ::read(w.resultFd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n <= 0) {
      ended = true;
      break;
    }
    w.answers.append(buffer, size_t(n));
  }
  size_t at = 0;
  std::int64_t header[3];
  while (w.answers.size() - at >= sizeof header) {
    std::memcpy(header, w.answers.data() + at, sizeof header);
    if (w.items.empty() || header[0] != w.items.front().seq || header[2] < 0 ||
        header[2] > std::int64_t(kMaxMessage))
      return false;
    if (w.answers.size() - at - sizeof header < size_t(header[2])) break;
    answers.push_back({w.items.front().seq, w.items.front().number, header[1] != 0,
                       w.answers.substr(at + sizeof header, size_t(header[2]))});
    w.items.pop_front();
    at += sizeof header + size_t(header[2]);
  }
  w.answers.erase(0, at);
  return !ended;
}

void WorkerPool::Lost(Worker& w, BatchReport* report) {
  // What it answered before it ended still counts.
  std::vector<BatchResult> answered;
  Drain(w, answered);
  for (BatchResult& r : answered)
    if (report) report->Add(std::move(r));
    else m_lost.push_back(std::move(r));
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
  if (m_bell < 0) return (*error = std::string("cannot start a worker: no event descriptor")), false;
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
  // The parent reads answers as far as they have come, never waiting.
  ::fcntl(results[0], F_SETFL, ::fcntl(results[0], F_GETFL) | O_NONBLOCK);
  if (pid < 0) {
    *error = std::string("cannot start a worker: ") + std::strerror(errno);
    ::close(jobs[1]), ::close(results[0]);
    return false;
  }
  w = Worker{pid, jobs[1], results[0], {}, {}};
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
    size_t unrung = 0;  // answers written since the bell last rang
    auto ring = [this, &unrung] {
      const std::uint64_t one = 1;
      if (unrung > 0 && ::write(m_bell, &one, sizeof one) >= 0) unrung = 0;
    };
    BatchItem item;
    ::fcntl(jobFd, F_SETFL, ::fcntl(jobFd, F_GETFL) | O_NONBLOCK);
    JobReader jobs(jobFd, ring);
    while (DecodeJob(jobs, &item)) {
      if (!WriteFull(resultFd, EncodeAnswer(m_draw(item)))) break;
      if (++unrung >= kAnswersPerRing) ring();
    }
    ring();
  } catch (...) {
    ::_exit(1);
  }
  ::_exit(0);
}

}  // namespace cli
