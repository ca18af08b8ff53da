#include "tools/cli/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>

#include "tools/cli/batch_pool.h"
#include "tools/cli/batch_report.h"
#include "tools/cli/check.h"
#include "tools/cli/diagnostics.h"
#include "tools/cli/files.h"
#include "tools/cli/render.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Results told ahead of the oldest item still being drawn, at most: a slow
// formula holds the others back rather than letting untold results pile up.
constexpr long kMaxWaiting = 256;

// Draws and writes one formula.
BatchResult DrawItem(const BatchItem& item, const Options& o) {
  BatchResult r{item.seq, item.number, false, item.error};
  if (!item.ok) return r;
  const Format format = o.format == Format::kAuto ? Format::kPng : o.format;
  const std::string path = (fs::path(o.output) / (item.name + Extension(format))).string();
  try {
    std::vector<Finding> found;
    if (o.strict && (!DiagnoseText(item.markup, o, &found, &r.message) || !found.empty())) {
      if (!found.empty()) r.message = StrictFailure(found);
      return r;
    }
    r.ok = RenderMarkup(item.markup, o, format, path, &r.message);
  } catch (const std::bad_alloc&) {
    r.message = "out of memory";
  } catch (const std::exception& e) {
    r.message = e.what();
  }
  return r;
}

void DrawInline(BatchInput& input, const Options& o, BatchReport& report) {
  BatchItem item;
  while (input.Next(&item)) report.Add(DrawItem(item, o));
}

BatchResult Failed(const BatchItem& item, const std::string& why) {
  return {item.seq, item.number, false, item.ok ? "not drawn: " + why : item.error};
}

// Hands the items to the workers in input order. An item waits while the
// image of the same name drawn before it (--overwrite) is not yet written,
// so the last line naming an image always wins whatever the timing.
void DrawInWorkers(BatchInput& input, const Options& o, BatchReport& report) {
  WorkerPool pool(o.jobs, [&o](const BatchItem& item) { return DrawItem(item, o); });
  std::optional<BatchItem> next;  // read but not yet handed out
  bool ended = false;
  std::string error;
  // Whether `next` holds an item that may go now; reads one when there is
  // none and not too many results wait to be told.
  auto ready = [&] {
    if (!next && !ended && report.Waiting() < kMaxWaiting) {
      BatchItem item;
      if (input.Next(&item)) next = std::move(item);
      else ended = true;
    }
    return next && (!next->ok || next->after < 0 || report.Done(next->after));
  };
  for (;;) {
    for (; ready(); next.reset()) {
      if (!next->ok) report.Add(Failed(*next, ""));
      else if (!pool.CanTake(*next)) break;
      else if (!pool.Send(*next, &error)) report.Add(Failed(*next, error));
    }
    if (pool.Busy() > 0) {
      pool.Collect(report);
      continue;
    }
    // Nothing is being drawn, so `next`, if any, is ready: no worker can
    // start, and the rest of the list fails line by line.
    if (next) {
      for (BatchItem item = std::move(*next);; ) {
        report.Add(Failed(item, error));
        if (!input.Next(&item)) break;
      }
    }
    return;
  }
}

// Opens the list: a file or standard input ("-"). False with the reason.
bool OpenList(const std::string& path, int* fd, std::string* error) {
  if (path == "-") return (*fd = STDIN_FILENO), true;
  *fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (*fd < 0) return (*error = "cannot open '" + path + "': " + std::strerror(errno)), false;
  struct stat st {};
  if (::fstat(*fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(*fd);
    return (*error = "'" + path + "' is a directory, not a file"), false;
  }
  return true;
}

}  // namespace

int RunBatch(const Options& o) {
  std::string error;
  int fd = -1;
  if (!OpenList(o.inputFile, &fd, &error) || !MakeDirectory(o.output, &error)) {
    if (fd > STDIN_FILENO) ::close(fd);
    std::fprintf(stderr, "lexaro: %s\n", error.c_str());
    return 1;
  }
  ApplyEngineDefaults(o);
  BatchInput input(fd, o.inputFile == "-" ? "standard input" : "'" + o.inputFile + "'", o.overwrite,
                   {o.shardIndex, o.shardCount});
  BatchReport report(!o.quiet && ::isatty(STDERR_FILENO));
  if (o.shardCount > 1) report.SetShard(o.shardIndex, o.shardCount);
  if (o.jobs > 1) DrawInWorkers(input, o, report);
  else DrawInline(input, o, report);
  if (!input.Error().empty()) report.Stopped(input.Error());
  report.Summary(o.output);
  if (fd > STDIN_FILENO) ::close(fd);
  return report.Failures() > 0 ? 1 : 0;
}

}  // namespace cli
