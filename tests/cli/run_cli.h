// Runs the built lexaro program in a scratch directory and collects its exit
// status, standard output and standard error.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef LEXARO_CLI_PATH
#error "LEXARO_CLI_PATH must name the lexaro program"
#endif

// How long a run may take before it counts as hung.
constexpr int kRunCliSeconds = 120;

struct Outcome {
  int status = -1;  // exit status; 128 + signal when killed
  std::string out, err;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh directory, removed with its contents at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lexaro-cli-test-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data()) ? pattern : "";
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

  // The names in the directory (not recursive), sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(m_path)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path m_path;
};

// How standard input reaches the program: a regular file, or a pipe that
// can be read only once.
enum class Feed { kFile, kPipe };

// Runs lexaro with args in dir, standard input from `input`; the outputs
// go through files so that nothing can block. Standard output goes to
// `stdoutPath` instead when it is given (Outcome::out is then empty).
inline Outcome RunCli(const std::vector<std::string>& args, const std::filesystem::path& dir,
                      const std::string& input = "", Feed feed = Feed::kFile,
                      const std::string& stdoutPath = "") {
  const std::filesystem::path io = dir / ".io";
  std::filesystem::create_directories(io);
  WriteFile(io / "in", input);
  int pipeFds[2] = {-1, -1};
  if (feed == Feed::kPipe && ::pipe(pipeFds) != 0) return {};
  pid_t pid = ::fork();
  if (pid == 0) {
    int in = feed == Feed::kPipe ? pipeFds[0] : ::open((io / "in").c_str(), O_RDONLY);
    if (feed == Feed::kPipe) ::close(pipeFds[1]);
    int out = stdoutPath.empty() ? ::open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)
                                 : ::open(stdoutPath.c_str(), O_WRONLY);
    int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || ::chdir(dir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv{const_cast<char*>(LEXARO_CLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(LEXARO_CLI_PATH, argv.data());
    ::_exit(127);
  }
  if (feed == Feed::kPipe) {
    // The program may stop reading early: a write to the closed pipe then
    // fails instead of ending the test.
    ::signal(SIGPIPE, SIG_IGN);
    ::close(pipeFds[0]);
    for (size_t done = 0; pid > 0 && done < input.size();) {
      ssize_t n = ::write(pipeFds[1], input.data() + done, input.size() - done);
      if (n <= 0) break;
      done += size_t(n);
    }
    ::close(pipeFds[1]);
  }
  Outcome o;
  int status = 0;
  // A program that hangs is killed after a generous while, so that the
  // test fails instead of hanging.
  pid_t ended = 0;
  for (long waited = 0; pid > 0 && (ended = ::waitpid(pid, &status, WNOHANG)) == 0; ++waited) {
    if (waited == kRunCliSeconds * 1000L) ::kill(pid, SIGKILL);
    ::usleep(1000);
  }
  if (pid > 0 && ended == pid) o.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  o.out = ReadFile(io / "out");
  o.err = ReadFile(io / "err");
  std::filesystem::remove_all(io);
  return o;
}
