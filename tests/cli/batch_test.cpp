// `lexaro batch` run as a user runs it: the list read once from any stream,
// the same results whatever the number of workers, repeated image names,
// and workers that end with their parent.
#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "run_cli.h"
#include "tools/cli/batch_input.h"
#include "tools/cli/batch_pool.h"

namespace fs = std::filesystem;

namespace {

// What a run left: its status, its messages and every image with its bytes.
struct BatchRun {
  int status = -1;
  std::string err;
  std::map<std::string, std::string> images;
};

BatchRun Batch(const ScratchDir& dir, std::vector<std::string> args, const std::string& input = "",
          Feed feed = Feed::kFile) {
  fs::remove_all(dir / "out");
  args.insert(args.begin(), "batch");
  for (const char* a : {"-o", "out"}) args.push_back(a);
  Outcome o = RunCli(args, dir.path(), input, feed);
  BatchRun run{o.status, o.err, {}};
  if (fs::is_directory(dir / "out"))
    for (const auto& e : fs::directory_iterator(dir / "out")) run.images[e.path().filename()] = ReadFile(e.path());
  return run;
}

std::vector<std::string> Names(const BatchRun& run) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : run.images) names.push_back(name);
  return names;
}

bool Says(const BatchRun& run, const std::string& text) { return run.err.find(text) != std::string::npos; }

// Writes bytes into a FIFO from another thread once a reader opens it.
class FifoWriter {
 public:
  FifoWriter(fs::path path, std::string bytes) : m_path(std::move(path)) {
    ::signal(SIGPIPE, SIG_IGN);
    ::mkfifo(m_path.c_str(), 0600);
    m_thread = std::thread([this, bytes] {
      int fd = ::open(m_path.c_str(), O_WRONLY);
      for (size_t done = 0; fd >= 0 && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += size_t(n);
      }
      if (fd >= 0) ::close(fd);
    });
  }
  // A writer still waiting for a reader is let go: it finds the FIFO closed.
  ~FifoWriter() {
    int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    m_thread.join();
    ::unlink(m_path.c_str());
  }

 private:
  fs::path m_path;
  std::thread m_thread;
};

TEST(Batch, ReadsItsListOnceFromAnyStreamWithTheSameResultsForAnyNumberOfWorkers) {
  ScratchDir dir;
  const std::string list = "# formulas\n"
                           "a\tx<+>y\n"
                           "<SQRT>z</SQRT>\n" +
                           std::string("bad\tx\0y\n", 8) +
                           "long\t" + std::string(size_t(cli::kMaxBatchLine), 'x') + "\n"
                           "\n"
                           "a\t<FRAC><S>1</S><S>2</S></FRAC>\n"
                           "last\t<PAREN>a</PAREN>";
  WriteFile(dir / "list.txt", list);
  const BatchRun expected = Batch(dir, {"list.txt"});
  EXPECT_EQ(expected.status, 1);
  EXPECT_EQ(Names(expected), (std::vector<std::string>{"a.png", "last.png", "line-3.png"}));
  for (const char* text : {"line 4: the line holds a NUL byte", "line 5: the line is longer than 1 MiB",
                           "line 7: the image name 'a' was already given by line 2", "3 of 6 formulas drawn"})
    EXPECT_TRUE(Says(expected, text)) << text << "\n" << expected.err;

  struct Source {
    const char* what;
    std::string path;
    Feed feed;
    bool fifo;
  } sources[] = {
      {"a file", "list.txt", Feed::kFile, false},
      {"standard input from a file", "-", Feed::kFile, false},
      {"standard input from a pipe", "-", Feed::kPipe, false},
      {"/dev/stdin from a pipe", "/dev/stdin", Feed::kPipe, false},
      {"a FIFO", "list.fifo", Feed::kFile, true},
  };
  for (const Source& s : sources)
    for (const char* jobs : {"1", "2", "3"}) {
      std::unique_ptr<FifoWriter> writer;
      if (s.fifo) writer = std::make_unique<FifoWriter>(dir / s.path, list);
      BatchRun run = Batch(dir, {s.path, "--jobs", jobs}, s.path == "list.txt" || s.fifo ? "" : list, s.feed);
      writer.reset();
      EXPECT_EQ(run.status, expected.status) << s.what << " -j " << jobs;
      EXPECT_EQ(run.err, expected.err) << s.what << " -j " << jobs;
      EXPECT_EQ(Names(run), Names(expected)) << s.what << " -j " << jobs;
      EXPECT_TRUE(run.images == expected.images) << s.what << " -j " << jobs;
    }
}

// Every line falls in exactly one shard, by its place in the list: the
// shards' images together are the whole list's, byte for byte, and each
// failed line fails in one shard only, a repeated name included wherever the
// first line naming it falls.
TEST(Batch, TheShardsOfAListTogetherDrawExactlyTheWholeList) {
  ScratchDir dir;
  const std::string list = "# formulas\n"
                           "a\tx<+>y\n"
                           "<SQRT>z</SQRT>\n"
                           "\n"
                           "b\t<FRAC><S>1</S><S>2</S></FRAC>\n"
                           "a\ty\n"
                           "   # indented comment\n"
                           "bad/name\tq\n"
                           "w<SUP>2</SUP>\n"
                           "c\t<PAREN>a</PAREN>\n"
                           "line-3\tv\n"
                           "last";
  WriteFile(dir / "list.txt", list);
  const BatchRun whole = Batch(dir, {"list.txt"});
  ASSERT_EQ(whole.status, 1) << whole.err;
  ASSERT_EQ(Names(whole).size(), 6u) << whole.err;
  auto failed = [](const std::string& err) {
    std::multiset<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("lexaro: line ", 0) == 0) lines.insert(line);
    return lines;
  };
  struct Case {
    int count;
    const char* jobs;
  } cases[] = {{1, "1"}, {2, "1"}, {3, "2"}, {5, "1"}, {13, "1"}};
  for (const Case& c : cases) {
    std::map<std::string, std::string> images;
    std::multiset<std::string> failures;
    int worst = 0;
    for (int k = 0; k < c.count; ++k) {
      const std::string shard = std::to_string(k) + "/" + std::to_string(c.count);
      BatchRun run = Batch(dir, {"list.txt", "--shard", shard, "-j", c.jobs});
      for (auto& [name, bytes] : run.images)
        EXPECT_TRUE(images.emplace(name, bytes).second) << name << " drawn by two shards, " << shard;
      for (const std::string& f : failed(run.err)) failures.insert(f);
      EXPECT_EQ(run.status, failed(run.err).empty() ? 0 : 1) << shard << run.err;
      EXPECT_TRUE(Says(run, c.count > 1 ? "of shard " + shard + " drawn" : "drawn into")) << run.err;
      worst = std::max(worst, run.status);
    }
    EXPECT_EQ(worst, whole.status) << c.count;
    EXPECT_TRUE(images == whole.images) << c.count;
    EXPECT_EQ(failures, failed(whole.err)) << c.count;
  }
}

TEST(Batch, AnInputThatNeverEndsStopsWithAnError) {
  ScratchDir dir;
  for (const char* jobs : {"1", "2"}) {
    BatchRun run = Batch(dir, {"/dev/zero", "-j", jobs});
    EXPECT_EQ(run.status, 1) << jobs;
    EXPECT_TRUE(Says(run, "'/dev/zero' is longer than 1 GiB; line 1 and the rest were not read")) << run.err;
    EXPECT_TRUE(run.images.empty());
  }
}

TEST(Batch, ARepeatedImageNameFailsUnlessOverwriteLetsTheLastLineWin) {
  ScratchDir dir;
  // Line 3 names the image of the unnamed line 2; line 4 repeats line 1's
  // name after a slow drawing, so a later line finishing first would show.
  const std::string list = "a\t" + std::string(1200, 'x') + "\nb\nline-2\ty\na\t<SQRT>q</SQRT>\n";
  auto image = [&](const std::string& markup) {
    EXPECT_EQ(RunCli({"render", markup, "-o", "one.png"}, dir.path()).status, 0);
    return ReadFile(dir / "one.png");
  };
  const std::string slow = image(std::string(1200, 'x')), b = image("b"), y = image("y"), q = image("<SQRT>q</SQRT>");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string a, line2;
  } cases[] = {
      {{"-", "-j", "1"}, 1, slow, b},
      {{"-", "-j", "2"}, 1, slow, b},
      {{"-", "-j", "1", "--overwrite"}, 0, q, y},
      {{"-", "-j", "2", "--overwrite"}, 0, q, y},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const auto& a : c.args) line += a + " ";
    BatchRun run = Batch(dir, c.args, list, Feed::kPipe);
    EXPECT_EQ(run.status, c.status) << line << run.err;
    EXPECT_EQ(Names(run), (std::vector<std::string>{"a.png", "line-2.png"})) << line;
    EXPECT_TRUE(run.images["a.png"] == c.a) << line;
    EXPECT_TRUE(run.images["line-2.png"] == c.line2) << line;
    EXPECT_EQ(Says(run, "line 3: the image name 'line-2' was already given by line 2"), c.status == 1) << run.err;
    EXPECT_EQ(Says(run, "line 4: the image name 'a' was already given by line 1"), c.status == 1) << run.err;
  }
}

// The read end of a pipe that holds text (a little, within the pipe's
// room) and is closed after it; -1 when no pipe can be had.
int PipeHolding(const std::string& text) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const bool written = ::write(fds[1], text.data(), text.size()) == ssize_t(text.size());
  ::close(fds[1]);
  if (written) return fds[0];
  ::close(fds[0]);
  return -1;
}

// The items a list gives, one a line: "N ok" (with " after S" when it
// waits for item S) or "N: error".
std::string Items(const std::string& list, bool overwrite, cli::BatchShard shard = {}) {
  const int fd = PipeHolding(list);
  if (fd < 0) return "pipe";
  cli::BatchInput input(fd, "list", overwrite, shard);
  std::string out;
  for (cli::BatchItem item; input.Next(&item);) {
    out += std::to_string(item.number) + (item.ok ? " ok" : ": " + item.error);
    if (item.after >= 0) out += " after " + std::to_string(item.after);
    out += "\n";
  }
  ::close(fd);
  return out;
}

TEST(Batch, UnnamedLinesClaimTheirNamesAsGivenNamesDo) {
  const std::string again = ": the image name 'line-";
  const std::string tail = " (--overwrite lets a later line replace it)\n";
  struct Case {
    std::string list;
    bool overwrite;
    cli::BatchShard shard;
    std::string items;
  } cases[] = {
      // A given name taking an unnamed line's, past blank and comment lines.
      {"a\n\n# c\nb\nline-4\tq\n", false, {}, "1 ok\n4 ok\n5" + again + "4' was already given by line 4" + tail},
      {"a\n\n# c\nb\nline-4\tq\n", true, {}, "1 ok\n4 ok\n5 ok after 1\n"},
      {"a\nb\nc\nline-2\tq\n", true, {}, "1 ok\n2 ok\n3 ok\n4 ok after 1\n"},
      // An unnamed line whose name was given before it, then given again.
      {"line-2\tq\nb\nline-2\tr\n", false, {},
       "1 ok\n2" + again + "2' was already given by line 1" + tail + "3" + again + "2' was already given by line 1" + tail},
      {"line-2\tq\nb\nline-2\tr\n", true, {}, "1 ok\n2 ok after 0\n3 ok after 1\n"},
      // Only the name itself: no leading zero, sign or blank is the same.
      {"a\nline-01\tq\nline-+1\tq\nline-1x\tq\n", false, {}, "1 ok\n2 ok\n3 ok\n4 ok\n"},
      // A failed line in a run of unnamed ones takes an item of its own.
      {"a\n\tx\nc\nline-3\tq\n", true, {},
       "1 ok\n2: the image name before the tab is empty\n3 ok\n4 ok after 2\n"},
      // Another shard's unnamed line: a name it took is refused here too, and
      // with --overwrite nothing of this shard waits for it.
      {"a\nb\nc\nline-3\tq\n", false, {1, 2}, "2 ok\n4" + again + "3' was already given by line 3" + tail},
      {"a\nb\nc\nline-1\tq\nline-2\tr\n", true, {1, 2}, "2 ok\n4 ok\n"},
      {"a\nb\nc\nd\nline-3\tr\n", true, {0, 2}, "1 ok\n3 ok\n5 ok after 1\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Items(c.list, c.overwrite, c.shard), c.items) << c.list;
}

// What a reader with a limit of 8 bytes makes of an input, a letter a call:
// L line, E end, X past the limit.
TEST(Batch, InputUpToTheLimitIsReadWhole) {
  struct Case {
    std::string input, states;
  } cases[] = {
      {"abcdefgh", "LE"}, {"abcdefg\n", "LE"}, {"abc\ndefg", "LLE"},
      {"abcdefghi", "X"}, {"abcdefg\nh", "LX"}, {"", "E"},
  };
  for (const Case& c : cases) {
    const int fd = PipeHolding(c.input);
    ASSERT_GE(fd, 0);
    cli::LineReader reader(fd, 8);
    std::string states, line;
    for (cli::LineReader::State s = cli::LineReader::kLine; s == cli::LineReader::kLine;) {
      s = reader.Next(&line);
      states += s == cli::LineReader::kLine ? 'L' : s == cli::LineReader::kEnd ? 'E' : s == cli::LineReader::kInputLimit ? 'X' : '?';
    }
    ::close(fd);
    EXPECT_EQ(states, c.states) << c.input;
  }
}

// A read that fails (here a socket whose peer closed with data of its own
// unread, which resets it) stops the list: the error names the first line
// not read whole, and every line before it was given as an item.
TEST(Batch, AReadErrorNamesTheFirstLineNotReadWhole) {
  struct Case {
    std::string input, items;
  } cases[] = {
      {"", "cannot read list: Connection reset by peer; line 1 and the rest were not read"},
      {"a\nb\n", "1 ok\n2 ok\ncannot read list: Connection reset by peer; line 3 and the rest were not read"},
      {"a\nb\npartial", "1 ok\n2 ok\ncannot read list: Connection reset by peer; line 3 and the rest were not read"},
      {"a\n\n# c\npar", "1 ok\ncannot read list: Connection reset by peer; line 4 and the rest were not read"},
  };
  for (const Case& c : cases) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    ASSERT_EQ(::write(fds[1], c.input.data(), c.input.size()), ssize_t(c.input.size()));
    ASSERT_EQ(::write(fds[0], "x", 1), 1);
    ::close(fds[1]);
    cli::BatchInput input(fds[0], "list", false);
    std::string items;
    for (cli::BatchItem item; input.Next(&item);) items += std::to_string(item.number) + (item.ok ? " ok\n" : " failed\n");
    ::close(fds[0]);
    EXPECT_EQ(items + input.Error(), c.items) << c.input;
  }
}

// A list on a descriptor left non-blocking (by another program sharing it)
// is waited for, whenever its writer sends it, as on a blocking one.
TEST(Batch, AListOnANonBlockingDescriptorIsWaitedFor) {
  for (int delayMs : {0, 50}) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    std::thread writer([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      const std::string first = "a\nb\tx", second = "y\nc\n";
      EXPECT_EQ(::write(fds[1], first.data(), first.size()), ssize_t(first.size()));
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      EXPECT_EQ(::write(fds[1], second.data(), second.size()), ssize_t(second.size()));
      ::close(fds[1]);
    });
    cli::BatchInput input(fds[0], "list", false);
    std::string items;
    for (cli::BatchItem item; input.Next(&item);) items += item.name + " " + item.markup + "\n";
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(items + input.Error(), "line-1 a\nb xy\nline-3 c\n") << delayMs;
  }
}

int CountImages(const fs::path& dir) {
  int n = 0;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    n += it->path().extension() == ".png" && it->path().filename().string()[0] != '.';
  return n;
}

// The processes whose parent is `parent`, from /proc.
int CountChildren(pid_t parent) {
  int n = 0;
  std::error_code ec;
  for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
    std::string stat = ReadFile(it->path() / "stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    long ppid = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &ppid) == 2 && ppid == parent) ++n;
  }
  return n;
}

// Hands the pool items 0..count-1 (name and markup from `item`), taking
// answers whenever it is full, then every answer left.
void DrawAll(cli::WorkerPool& pool, cli::BatchReport& report, long count,
             const std::function<cli::BatchItem(long seq)>& item) {
  std::string error;
  for (long seq = 0; seq < count;) {
    const cli::BatchItem next = item(seq);
    if (!pool.CanTake(next)) {
      pool.Collect(report);
      continue;
    }
    if (!pool.Send(next, &error)) ADD_FAILURE() << error;
    ++seq;
  }
  while (pool.Busy() > 0) pool.Collect(report);
}

// Each worker is handed its next item while it draws one: when it ends in
// the middle of an item, only that item fails, and the one waiting behind it
// is drawn by another worker.
TEST(Batch, AWorkerThatEndsFailsOnlyTheItemItWasDrawing) {
  for (int jobs : {1, 2, 3}) {
    SCOPED_TRACE(jobs);
    cli::BatchReport report(false);
    {
      cli::WorkerPool pool(jobs, [](const cli::BatchItem& item) {
        if (item.seq == 1) ::_exit(3);
        return cli::BatchResult{item.seq, item.number, true, ""};
      });
      DrawAll(pool, report, 8, [](long seq) { return cli::BatchItem{seq, seq + 1, true, "n", "x", "", -1}; });
    }
    EXPECT_EQ(report.Failures(), 1);
  }
}

// Workers racing for items that take no time to draw: each answer still
// reaches its own item, once.
TEST(Batch, EveryAnswerReachesItsOwnItemWhileWorkersRace) {
  constexpr long kItems = 20000;
  std::string expected;
  for (long seq = 0; seq < kItems; ++seq)
    expected += "lexaro: line " + std::to_string(seq + 1) + ": answer of n" + std::to_string(seq) + "\n";
  // An answer given to another item would leave its own item waiting for
  // ever: the alarm ends the test then (the workers end with it).
  ::alarm(30);
  for (int jobs : {2, 4}) {
    SCOPED_TRACE(jobs);
    cli::BatchReport report(false);
    testing::internal::CaptureStderr();
    {
      cli::WorkerPool pool(jobs, [](const cli::BatchItem& item) {
        return cli::BatchResult{item.seq, item.number, false, "answer of " + item.name};
      });
      DrawAll(pool, report, kItems, [](long seq) {
        return cli::BatchItem{seq, seq + 1, true, "n" + std::to_string(seq), "x", "", -1};
      });
    }
    EXPECT_TRUE(testing::internal::GetCapturedStderr() == expected);
    EXPECT_EQ(report.Failures(), kItems);
  }
  ::alarm(0);
}

// A worker that ends holding an item fails exactly that item, however it
// ends, and whether the item travelled in its slot or in the one area for
// long items (which must then be free for the next long one).
TEST(Batch, AWorkerEndingOnAnItemFailsThatItemAndNoOther) {
  const std::string exited = "not drawn: the worker drawing it ended early (status 3)";
  const std::string killed = "not drawn: the worker drawing it was stopped by signal 9 (Killed)";
  struct Case {
    int jobs;
    size_t longSize;   // the size of every other item's markup
    long dies;         // the item whose worker ends
    bool kill;         // SIGKILL, else exit status 3
  } cases[] = {
      {1, 10, 0, false},
      {2, 10, 5, true},
      {1, 20'000, 1, true},
      {2, 20'000, 3, false},
      {3, 600'000, 7, true},
  };
  constexpr long kItems = 12;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.jobs << " jobs, dies on " << c.dies << ", long " << c.longSize);
    // Every item's markup its own, so that one handed another's shows.
    auto markup = [&c](long seq) { return std::string(seq % 2 ? c.longSize : 3, char('a' + seq)); };
    cli::BatchReport report(false);
    testing::internal::CaptureStderr();
    {
      cli::WorkerPool pool(c.jobs, [&c, &markup](const cli::BatchItem& item) {
        if (item.seq == c.dies) {
          if (c.kill) ::kill(::getpid(), SIGKILL);
          ::_exit(3);
        }
        // The other workers hold items of their own when the death is seen.
        ::usleep(3000);
        const bool intact = item.markup == markup(item.seq);
        return cli::BatchResult{item.seq, item.number, intact, intact ? "" : "handed the wrong markup"};
      });
      DrawAll(pool, report, kItems,
              [&markup](long seq) { return cli::BatchItem{seq, seq + 1, true, "n", markup(seq), "", -1}; });
    }
    report.Summary("out");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.Failures(), 1) << err;
    EXPECT_NE(err.find("line " + std::to_string(c.dies + 1) + ": " + (c.kill ? killed : exited)), std::string::npos)
        << err;
    EXPECT_NE(err.find(std::to_string(kItems - 1) + " of " + std::to_string(kItems) + " formulas"), std::string::npos)
        << err;
  }
}

TEST(Batch, WorkersEndWithTheirParent) {
  ScratchDir dir;
  // Two formulas of more than a second each (a 67-megapixel image): the
  // parent is killed while both workers draw, so a worker that went on would
  // write its image.
  WriteFile(dir / "slow.txt", "x\ny\n");
  // Workers left by their parent become this process's children, so they
  // can be waited for.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || ::chdir(dir.path().c_str()) != 0) ::_exit(127);
    for (int fd : {0, 1, 2}) ::dup2(null, fd);
    const char* argv[] = {LEXARO_CLI_PATH, "batch", "slow.txt", "-o", "out", "-j", "2", "--padding", "4096", nullptr};
    ::execv(LEXARO_CLI_PATH, const_cast<char**>(argv));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  ::setpgid(pid, pid);
  for (int i = 0; i < 6000 && CountChildren(pid) < 2; ++i) ::usleep(10'000);
  const int atKill = CountImages(dir / "out");
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  // Every worker ends: none is left in the program's process group.
  bool ended = false;
  for (int i = 0; i < 6000 && !ended; ++i) {
    pid_t reaped = ::waitpid(-pid, &status, WNOHANG);
    if (reaped < 0) ended = true;
    else if (reaped == 0) ::usleep(10'000);
  }
  if (!ended) ::kill(-pid, SIGKILL);
  while (::waitpid(-pid, &status, 0) > 0) {
  }
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
  EXPECT_TRUE(ended);
  EXPECT_EQ(CountImages(dir / "out"), atKill) << "a worker went on drawing after its parent was killed";
}

}  // namespace
