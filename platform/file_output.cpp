#include "platform/file_output.h"

#include <fcntl.h>
#include <pthread.h>
#include <linux/magic.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace lexaro::output {
namespace {

// Links followed at most, as the system does when it resolves a path.
constexpr int kMaxLinks = 40;

std::string DirOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Links under /proc (/dev/stdout leads to /proc/self/fd/1) name open files,
// not paths: their text may be "pipe:[123]" or a deleted file's old name.
bool OnProcFs(const std::string& linkPath) {
  struct statfs fs {};
  return ::statfs(DirOf(linkPath).c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

bool ReadLink(const std::string& path, std::string* text) {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) return false;
    if (size_t(n) < buffer.size()) {
      text->assign(buffer.data(), size_t(n));
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Where the bytes of an output go.
struct Target {
  std::string path;      // the name replaced (the last link's target)
  bool inPlace = false;  // not a regular file: opened and written directly
  bool exists = false;   // something is there, and st describes it
  struct stat st {};
};

// Follows the links at path; 0 or the errno why the output cannot go there.
int Resolve(const std::string& path, Target* t) {
  std::string name = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      break;  // a new file
    }
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISLNK(st.st_mode)) {
      t->inPlace = !S_ISREG(st.st_mode);
      t->exists = true;
      t->st = st;
      break;
    }
    if (hops == kMaxLinks) return ELOOP;
    if (OnProcFs(name)) {
      t->inPlace = true;
      break;
    }
    std::string text;
    if (!ReadLink(name, &text)) return errno;
    name = text[0] == '/' ? text : DirOf(name) + "/" + text;
  }
  t->path = name;
  return 0;
}

// Eight bytes from the system's random source, drawn 256 at a time so that
// a program writing many files does not ask for every one. Each thread and
// each process (after a fork) has its own pool, so none hands out another's
// bytes. False when the source has no entropy yet.
std::atomic<unsigned> g_forks{0};

bool TakeRandom(unsigned char (&out)[8]) {
  static const bool counting = ::pthread_atfork(nullptr, nullptr, [] { ++g_forks; }) == 0;
  thread_local struct {
    unsigned forks = ~0u;
    size_t used = 0, size = 0;
    unsigned char bytes[256];
  } pool;
  const unsigned forks = g_forks.load();
  if (!counting || pool.forks != forks || pool.used + sizeof out > pool.size) {
    ssize_t n = ::getrandom(pool.bytes, sizeof pool.bytes, GRND_NONBLOCK);
    pool.forks = forks;
    pool.used = 0;
    pool.size = n > 0 ? size_t(n) : 0;
    if (pool.size < sizeof out) return false;
  }
  std::memcpy(out, pool.bytes + pool.used, sizeof out);
  pool.used += sizeof out;
  return true;
}

// Eight characters nobody can guess before the file is created.
std::string RandomChars() {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[8];
  if (!TakeRandom(bytes)) {
    // No entropy yet (early boot): the clock and a counter still make
    // clashes rare, and O_EXCL makes them harmless.
    static std::atomic<unsigned> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    unsigned long long v = (unsigned long long)now.tv_nsec * 0x9E3779B97F4A7C15ULL ^
                           (unsigned long long)now.tv_sec << 20 ^ (unsigned long long)::getpid() << 40 ^ counter++;
    for (unsigned char& b : bytes) b = (unsigned char)(v >> 56), v = v * 6364136223846793005ULL + 1442695040888963407ULL;
  }
  std::string out;
  for (unsigned char b : bytes) out += kAlphabet[b % (sizeof kAlphabet - 1)];
  return out;
}

// A temporary name in dir, and how many are tried before giving up. The
// name is short so that it fits wherever the target's name fits.
constexpr int kTempNameTries = 100;
std::string TempName(const std::string& dir) { return dir + "/.lx" + RandomChars(); }

// A new file of a short unpredictable name in dir, created exclusively so
// that nothing planted at the name (a link above all) is ever opened.
// A replacement of an existing file starts private and gets the old file's
// mode once it is ours alone, so nobody can open it in between and read
// what was meant for a private file.
int CreateTemp(const std::string& dir, mode_t mode, std::string* tempPath) {
  for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
    std::string name = TempName(dir);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) {
      *tempPath = name;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// The replacement keeps the replaced file's owner (when allowed: root
// writing a user's file) and permission bits.
bool KeepOwnerAndMode(int fd, const struct stat& old) {
  struct stat st {};
  if (::fstat(fd, &st) == 0 && (st.st_uid != old.st_uid || st.st_gid != old.st_gid))
    (void)!::fchown(fd, old.st_uid, old.st_gid);
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool Fail(std::string* error, const std::string& path, int code) {
  if (error) *error = "cannot write '" + path + "': " + std::strerror(code);
  return false;
}

// Runs the producer; on failure *error holds the sink's or its own reason.
bool Produce(const Producer& produce, Sink& sink, const std::string& path, std::string* error) {
  std::string own;
  bool ok = produce(sink, &own) && !sink.Failed();
  if (ok) return true;
  if (error) *error = sink.Failed() ? "cannot write '" + path + "': " + sink.Reason() : own;
  return false;
}

// Devices, FIFOs, sockets and the files behind /proc links: opened through
// the path as given, the way a shell's redirection opens them.
bool WriteInPlace(const std::string& path, const Producer& produce, std::string* error) {
  int fd;
  while ((fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC)) < 0 && errno == EINTR) {
  }
  if (fd < 0) return Fail(error, path, errno);
  Sink sink(fd);
  bool ok = Produce(produce, sink, path, error);
  if (::close(fd) != 0 && ok) ok = Fail(error, path, errno);
  return ok;
}

// A rename asks only for the directory's permission, and links followed
// here escape the system's protection of links in shared directories. So the
// system opens the path first, as any writer would, and must come to the
// file the rename replaces: a file the caller may not write, or a link the
// system refuses to follow, is refused. A link to nothing gets the empty
// file it names (*created), which the rename then replaces.
int MayWrite(const std::string& path, Target* t, bool* created) {
  const bool linkToNothing = !t->exists && path != t->path;
  if (!t->exists && !linkToNothing) return 0;
  const int flags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (linkToNothing ? O_CREAT : 0);
  int fd = ::open(path.c_str(), flags, 0600);
  if (fd < 0) return errno;
  struct stat st {};
  int code = ::fstat(fd, &st) != 0 ? errno : 0;
  ::close(fd);
  if (code) return code;
  if (linkToNothing) {
    *created = true;
    t->st = st;
  } else if (st.st_dev != t->st.st_dev || st.st_ino != t->st.st_ino) {
    return EAGAIN;  // the path changed under us
  }
  return 0;
}

// Whether an unnamed file can be given a name through /proc/self/fd (with
// /proc unmounted it cannot, and named temporary files are used).
bool CanNameUnnamed() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

// Gives the unnamed file fd the name path, which must be free. 0 or errno.
int NameUnnamed(int fd, const std::string& path) {
  char self[40];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  return ::linkat(AT_FDCWD, self, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// A path where nothing is: the file is written unnamed (O_TMPFILE) and
// linked at the path once complete. That changes the directory once where a
// named temporary file changes it twice (create, rename), which is most of
// a small file's cost and what parallel writers into one directory queue
// for; and a process killed midway leaves nothing behind. Should something
// appear at the path meanwhile, the file is linked at a temporary name and
// renamed over it, as a named temporary file would have been. -1 when the
// system or the file system has no unnamed files, or refuses to name one
// (a sandbox that forbids the link through /proc); else whether it worked.
int WriteUnnamed(const std::string& path, const Producer& produce, std::string* error, TempNotice notice) {
  if (!CanNameUnnamed()) return -1;
  const std::string dir = DirOf(path);
  int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  Sink sink(fd);
  bool ok = Produce(produce, sink, path, error);
  int code = ok ? NameUnnamed(fd, path) : 0;
  for (int attempt = 0; code == EEXIST && attempt < kTempNameTries; ++attempt) {
    const std::string temp = TempName(dir);
    code = NameUnnamed(fd, temp);
    if (code != 0) continue;
    if (notice) notice(temp.c_str());
    if (::rename(temp.c_str(), path.c_str()) != 0) {
      code = errno;
      ::unlink(temp.c_str());
    }
    if (notice) notice(nullptr);
  }
  const bool refused = code == EPERM || code == EACCES || code == ENOENT || code == EOPNOTSUPP || code == EXDEV;
  if (code && !refused) ok = Fail(error, path, code);
  if (::close(fd) != 0 && ok) ok = Fail(error, path, errno);
  return ok && refused ? -1 : ok;
}

bool Replace(const std::string& path, Target t, const Producer& produce, std::string* error,
             TempNotice notice) {
  if (!t.exists && path == t.path) {
    const int unnamed = WriteUnnamed(path, produce, error, notice);
    if (unnamed >= 0) return unnamed;
  }
  bool created = false;
  if (int code = MayWrite(path, &t, &created)) return Fail(error, path, code);
  std::string temp;
  int fd = CreateTemp(DirOf(t.path), t.exists ? 0600 : 0666, &temp);
  if (fd < 0) {
    int code = errno;
    if (created) ::unlink(t.path.c_str());
    return Fail(error, path, code);
  }
  if (notice) notice(temp.c_str());
  Sink sink(fd);
  bool ok = Produce(produce, sink, path, error);
  if (ok && t.exists && !KeepOwnerAndMode(fd, t.st)) ok = Fail(error, path, errno);
  if (::close(fd) != 0 && ok) ok = Fail(error, path, errno);
  if (ok && ::rename(temp.c_str(), t.path.c_str()) != 0) ok = Fail(error, path, errno);
  if (!ok) {
    ::unlink(temp.c_str());
    if (created) ::unlink(t.path.c_str());
  }
  if (notice) notice(nullptr);
  return ok;
}

}  // namespace

bool Sink::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0 && m_errno == 0) {
    ssize_t n = ::write(m_fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) m_errno = errno;
    else if (n == 0) m_errno = EIO;  // the file takes nothing more and says no reason
    else p += n, size -= size_t(n);
  }
  return m_errno == 0;
}

std::string Sink::Reason() const { return std::strerror(m_errno); }

bool WriteOutputFile(const std::string& path, const Producer& produce, std::string* error, TempNotice notice) {
  Target target;
  if (int code = Resolve(path, &target)) return Fail(error, path, code);
  return target.inPlace ? WriteInPlace(path, produce, error)
                        : Replace(path, target, produce, error, notice);
}

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string* error, TempNotice notice) {
  return WriteOutputFile(
      path, [bytes](Sink& sink, std::string*) { return sink.Write(bytes); }, error, notice);
}

}  // namespace lexaro::output
