#include "tools/cli/files.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/gallery.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

std::string Reason() { return std::strerror(errno); }

// The temporary file being written, removed when a signal ends the program.
char g_tempPath[4096];
volatile sig_atomic_t g_haveTemp = 0;

void RemoveTempAndDie(int sig) {
  if (g_haveTemp) ::unlink(g_tempPath);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

void RememberTemp(const std::string& path) {
  if (path.size() >= sizeof g_tempPath) return;
  std::memcpy(g_tempPath, path.c_str(), path.size() + 1);
  std::atomic_signal_fence(std::memory_order_release);  // the path before the flag
  g_haveTemp = 1;
}

// Reads the whole descriptor, refusing more than kMaxInputBytes.
bool ReadAll(int fd, const std::string& name, std::string* bytes, std::string* error) {
  bytes->clear();
  char buffer[65536];
  for (;;) {
    const long n = ReadSome(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) return Fail(error, "cannot read " + name + ": " + Reason());
    if ((long long)bytes->size() + n > kMaxInputBytes)
      return Fail(error, name + " is larger than " + std::to_string(kMaxInputBytes >> 20) + " MiB");
    bytes->append(buffer, size_t(n));
  }
}

// Keeps the temporary file of the write in progress for RemoveTempAndDie.
void NoteTemp(const char* path) {
  g_haveTemp = 0;
  if (path) RememberTemp(path);
}

}  // namespace

long ReadSome(int fd, void* buffer, size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0) return long(n);
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, -1) < 0 && errno != EINTR) return -1;
  }
}

bool ReadInput(const std::string& path, std::string* bytes, std::string* error) {
  if (path == "-") return ReadAll(STDIN_FILENO, "standard input", bytes, error);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(error, "cannot open '" + path + "': " + Reason());
  struct stat st {};
  bool ok;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
    ok = Fail(error, "'" + path + "' is a directory, not a file");
  else
    ok = ReadAll(fd, "'" + path + "'", bytes, error);
  ::close(fd);
  return ok;
}

namespace {

// The bytes without a leading UTF-8 byte order mark and with CR LF as LF.
std::string WithoutBomAndCr(const std::string& bytes) {
  size_t start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = start; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
  return text;
}

}  // namespace

bool MarkupOfFile(const std::string& bytes, std::string* markup, std::string* error) {
  if (bytes.find('\0') != std::string::npos) return Fail(error, "the input holds a NUL byte: not a markup text");
  *markup = gallery::EngineText(WithoutBomAndCr(bytes)).str();
  return true;
}

bool TexOfFile(const std::string& bytes, std::string* tex, std::string* error) {
  if (bytes.find('\0') != std::string::npos) return Fail(error, "the input holds a NUL byte: not a TeX text");
  *tex = WithoutBomAndCr(bytes);
  return true;
}

bool ReadText(const std::string& path, bool tex, std::string* bytes, std::string* text, std::string* error) {
  if (!ReadInput(path, bytes, error)) return false;
  return tex ? TexOfFile(*bytes, text, error) : MarkupOfFile(*bytes, text, error);
}

bool WriteOutput(const std::string& path, const lexaro::output::Producer& produce, std::string* error) {
  if (path != "-") return lexaro::output::WriteOutputFile(path, produce, error, NoteTemp);
  lexaro::output::Sink out(STDOUT_FILENO);
  std::string own;
  if (produce(out, &own) && !out.Failed()) return true;
  return Fail(error, out.Failed() ? "cannot write to standard output: " + out.Reason() : own);
}

bool WriteOutput(const std::string& path, const std::string& bytes, std::string* error) {
  return WriteOutput(path, [&](lexaro::output::Sink& sink, std::string*) { return sink.Write(bytes); }, error);
}

void RemoveTempFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveTempAndDie;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
  // Beyond a file-size limit a write then fails with its reason (and the
  // temporary file is removed) instead of the signal ending the program.
  ::signal(SIGXFSZ, SIG_IGN);
}

bool MakeDirectory(const std::string& dir, std::string* error) {
  std::error_code made, probed;
  fs::create_directories(dir, made);
  if (!fs::is_directory(dir, probed)) {
    if (fs::exists(dir, probed) || !made) return Fail(error, "'" + dir + "' is not a directory");
    return Fail(error, "cannot create the directory '" + dir + "': " + made.message());
  }
  // Refused once here rather than once for every image.
  if (::access(dir.c_str(), W_OK | X_OK) != 0)
    return Fail(error, "cannot write into the directory '" + dir + "': " + Reason());
  return true;
}

}  // namespace cli
