#include "tools/cli/batch.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "tools/cli/files.h"
#include "tools/cli/render.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxName = 200;
constexpr int kFailedShown = 20;  // failed line numbers listed in the summary

// Streams the lines of a file; a line longer than kMaxBatchLine is read to
// its end but not kept.
class LineReader {
 public:
  explicit LineReader(const std::string& path) : m_file(std::fopen(path.c_str(), "rb")) {}
  ~LineReader() {
    if (m_file) std::fclose(m_file);
  }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool IsOpen() const { return m_file != nullptr; }
  bool Failed() const { return m_file && std::ferror(m_file); }
  long Number() const { return m_number; }

  // The next line; false at the end of the file.
  bool Next(std::string* line, bool* tooLong) {
    line->clear();
    *tooLong = false;
    int c = std::getc(m_file);
    if (c == EOF) return false;
    ++m_number;
    for (; c != EOF && c != '\n'; c = std::getc(m_file)) {
      if ((long long)line->size() < kMaxBatchLine) line->push_back(char(c));
      else *tooLong = true;
    }
    return true;
  }

 private:
  std::FILE* m_file;
  long m_number = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

// Names become file names: no directory parts, no hidden or control names.
bool ValidName(const std::string& name, std::string* error) {
  if (name.empty()) return (*error = "the image name before the tab is empty"), false;
  if (name.size() > kMaxName) return (*error = "the image name is longer than " + std::to_string(kMaxName) + " bytes"), false;
  if (name[0] == '.') return (*error = "the image name '" + name + "' starts with a dot"), false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
      return (*error = "the image name '" + name + "' holds a slash or a control character"), false;
  return true;
}

// The result of one line as a worker reports it: "number ok message\n".
struct Result {
  long number = 0;
  bool ok = false;
  std::string message;
};

std::string Encode(const Result& r) {
  std::string message = r.message;
  for (char& c : message)
    if (c == '\n' || c == '\r') c = ' ';
  return std::to_string(r.number) + (r.ok ? " 1 " : " 0 ") + message + "\n";
}

bool Decode(const std::string& line, Result* r) {
  char* end = nullptr;
  r->number = std::strtol(line.c_str(), &end, 10);
  if (!end || end[0] != ' ' || (end[1] != '0' && end[1] != '1') || end[2] != ' ') return false;
  r->ok = end[1] == '1';
  r->message = end + 3;
  return true;
}

// Progress on a terminal, messages and the summary.
class Progress {
 public:
  Progress(long total, bool bar) : m_total(total), m_bar(bar) {}

  void Add(const Result& r) {
    ++m_done;
    if (!r.ok) {
      Clear();
      std::fprintf(stderr, "lexaro: line %ld: %s\n", r.number, r.message.c_str());
      // The lowest failed line numbers, whatever order the workers report in.
      m_failed.insert(std::upper_bound(m_failed.begin(), m_failed.end(), r.number), r.number);
      if (m_failed.size() > size_t(kFailedShown)) m_failed.pop_back();
      ++m_failedCount;
    }
    Draw();
  }

  void Lost(long count, const std::string& why) {
    Clear();
    std::fprintf(stderr, "lexaro: %s: %ld formulas were not drawn\n", why.c_str(), count);
    m_lost += count;
  }

  long Failures() const { return m_failedCount + m_lost; }

  void Summary(const std::string& dir) {
    Clear();
    std::fprintf(stderr, "lexaro: %ld of %ld formulas drawn into %s", m_done - m_failedCount, m_total, dir.c_str());
    if (m_failedCount > 0) {
      std::fprintf(stderr, "; %ld failed (line%s", m_failedCount, m_failedCount > 1 ? "s" : "");
      for (size_t i = 0; i < m_failed.size(); ++i) std::fprintf(stderr, "%s %ld", i ? "," : "", m_failed[i]);
      std::fputs(m_failedCount > kFailedShown ? ", ...)" : ")", stderr);
    }
    std::fprintf(stderr, "\n");
  }

 private:
  void Clear() {
    if (m_bar && m_drawn) std::fprintf(stderr, "\r\033[K");
    m_drawn = false;
  }
  void Draw() {
    if (!m_bar || m_total <= 0) return;
    constexpr int kWidth = 30;
    int filled = int(std::min<long>(m_done, m_total) * kWidth / m_total);
    std::fprintf(stderr, "\r[%.*s%*s] %ld/%ld", filled, "##############################", kWidth - filled, "",
                 m_done, m_total);
    if (m_failedCount) std::fprintf(stderr, "  %ld failed", m_failedCount);
    std::fflush(stderr);
    m_drawn = true;
  }

  long m_total, m_done = 0, m_failedCount = 0, m_lost = 0;
  bool m_bar, m_drawn = false;
  std::vector<long> m_failed;
};

// Draws and writes one formula.
Result DrawLine(const BatchLine& line, long number, const Options& o) {
  Result r{number, false, line.error};
  if (line.kind == BatchLine::kBad) return r;
  std::string bytes;
  Format format = o.format == Format::kAuto ? Format::kPng : o.format;
  std::string path = (fs::path(o.output) / (line.name + Extension(format))).string();
  r.ok = DrawMarkup(line.markup, o, format, &bytes, &r.message) && WriteOutput(path, bytes, &r.message);
  return r;
}

// Every formula of the file whose index modulo workers is worker.
void ProcessShare(const std::string& path, const Options& o, int worker, int workers,
                  const std::function<void(const Result&)>& report) {
  LineReader reader(path);
  std::string text;
  bool tooLong;
  long index = 0;
  while (reader.Next(&text, &tooLong)) {
    BatchLine line = ParseBatchLine(text, reader.Number());
    if (tooLong) line = {BatchLine::kBad, "", "", "the line is longer than 1 MiB"};
    if (line.kind == BatchLine::kSkip) continue;
    if (index++ % workers == worker) report(DrawLine(line, reader.Number(), o));
  }
}

bool CountFormulas(const std::string& path, long* count, std::string* error) {
  LineReader reader(path);
  if (!reader.IsOpen()) return (*error = "cannot open '" + path + "': " + std::strerror(errno)), false;
  std::string text;
  bool tooLong;
  *count = 0;
  while (reader.Next(&text, &tooLong))
    if (tooLong || ParseBatchLine(text, reader.Number()).kind != BatchLine::kSkip) ++*count;
  if (reader.Failed()) return (*error = "cannot read '" + path + "'"), false;
  return true;
}

// Copies standard input into an unnamed temporary file that every worker
// can read; *path names it through /proc while the descriptor *fd is open,
// and nothing is left on disk however the program ends.
constexpr long long kMaxSpooled = 1LL << 30;

bool SpoolStdin(std::string* path, int* fd, std::string* error) {
  std::string temp = (fs::temp_directory_path() / "lexaro-batch-XXXXXX").string();
  *fd = ::mkstemp(temp.data());
  if (*fd < 0) return (*error = std::string("cannot create a temporary file: ") + std::strerror(errno)), false;
  ::unlink(temp.c_str());
  char buffer[65536];
  long long total = 0;
  ssize_t n;
  while ((n = ::read(STDIN_FILENO, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || ::write(*fd, buffer, size_t(n)) != n)
      return (*error = std::string("cannot copy standard input: ") + std::strerror(errno)), false;
    if ((total += n) > kMaxSpooled) return (*error = "standard input is larger than 1 GiB"), false;
  }
  *path = "/proc/self/fd/" + std::to_string(*fd);
  return true;
}

struct Worker {
  pid_t pid = -1;
  int fd = -1;
  std::string pending;  // a partial result line
  long reported = 0;
  long share = 0;       // formulas this worker was given
};

// Reads results until every worker has closed its pipe.
void Collect(std::vector<Worker>& workers, Progress& progress) {
  std::vector<pollfd> fds;
  for (;;) {
    fds.clear();
    for (const Worker& w : workers)
      if (w.fd >= 0) fds.push_back({w.fd, POLLIN, 0});
    if (fds.empty()) return;
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (Worker& w : workers) {
      if (w.fd < 0) continue;
      char buffer[4096];
      ssize_t n = ::read(w.fd, buffer, sizeof buffer);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) {
        ::close(w.fd);
        w.fd = -1;
        continue;
      }
      w.pending.append(buffer, size_t(n));
      size_t nl;
      while ((nl = w.pending.find('\n')) != std::string::npos) {
        Result r;
        if (Decode(w.pending.substr(0, nl), &r)) {
          ++w.reported;
          progress.Add(r);
        }
        w.pending.erase(0, nl + 1);
      }
    }
  }
}

int RunWorkers(const std::string& path, const Options& o, int jobs, long total, Progress& progress) {
  std::vector<Worker> workers(static_cast<size_t>(jobs));
  for (int k = 0; k < jobs; ++k) {
    workers[size_t(k)].share = total / jobs + (k < total % jobs ? 1 : 0);
    int fds[2];
    if (::pipe(fds) != 0) {
      progress.Lost(workers[size_t(k)].share, std::string("cannot start a worker: ") + std::strerror(errno));
      continue;
    }
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      for (int j = 0; j < k; ++j)
        if (workers[size_t(j)].fd >= 0) ::close(workers[size_t(j)].fd);
      ApplyEngineDefaults(o);
      ProcessShare(path, o, k, jobs, [&](const Result& r) {
        std::string line = Encode(r);
        size_t done = 0;
        while (done < line.size()) {
          ssize_t n = ::write(fds[1], line.data() + done, line.size() - done);
          if (n < 0 && errno == EINTR) continue;
          if (n <= 0) ::_exit(3);
          done += size_t(n);
        }
      });
      ::_exit(0);
    }
    ::close(fds[1]);
    if (pid < 0) {
      ::close(fds[0]);
      progress.Lost(workers[size_t(k)].share, std::string("cannot start a worker: ") + std::strerror(errno));
      continue;
    }
    workers[size_t(k)].pid = pid;
    workers[size_t(k)].fd = fds[0];
  }
  Collect(workers, progress);
  for (Worker& w : workers) {
    if (w.pid < 0) continue;
    int status = 0;
    while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (w.reported < w.share) {
      std::string why = WIFSIGNALED(status) ? "a worker was stopped by signal " + std::to_string(WTERMSIG(status))
                                            : "a worker ended early";
      progress.Lost(w.share - w.reported, why);
    }
  }
  return 0;
}

}  // namespace

BatchLine ParseBatchLine(const std::string& raw, long number) {
  BatchLine line;
  std::string text = raw;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed[0] == '#') return line;
  line.kind = BatchLine::kFormula;
  size_t tab = text.find('\t');
  if (tab == std::string::npos) {
    line.name = "line-" + std::to_string(number);
    line.markup = text;
    return line;
  }
  line.name = Trim(text.substr(0, tab));
  line.markup = text.substr(tab + 1);
  if (!ValidName(line.name, &line.error)) line.kind = BatchLine::kBad;
  else if (Trim(line.markup).empty()) line = {BatchLine::kBad, line.name, "", "no markup after the name"};
  return line;
}

int RunBatch(const Options& o) {
  std::string error;
  if (!MakeDirectory(o.output, &error)) {
    std::fprintf(stderr, "lexaro: %s\n", error.c_str());
    return 1;
  }
  std::string path = o.inputFile;
  int spooled = -1;
  if (path == "-") {
    if (!SpoolStdin(&path, &spooled, &error)) {
      if (spooled >= 0) ::close(spooled);
      std::fprintf(stderr, "lexaro: %s\n", error.c_str());
      return 1;
    }
  } else {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      std::fprintf(stderr, "lexaro: '%s' is a directory, not a file\n", path.c_str());
      return 1;
    }
  }
  long total = 0;
  int status = 0;
  if (!CountFormulas(path, &total, &error)) {
    std::fprintf(stderr, "lexaro: %s\n", error.c_str());
    status = 1;
  } else {
    Progress progress(total, !o.quiet && ::isatty(STDERR_FILENO));
    int jobs = int(std::min<long>(o.jobs, std::max(1L, total)));
    if (jobs == 1) {
      ApplyEngineDefaults(o);
      ProcessShare(path, o, 0, 1, [&](const Result& r) { progress.Add(r); });
    } else {
      RunWorkers(path, o, jobs, total, progress);
    }
    progress.Summary(o.output);
    status = progress.Failures() > 0 ? 1 : 0;
  }
  if (spooled >= 0) ::close(spooled);
  return status;
}

}  // namespace cli
