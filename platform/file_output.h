// Writing an output file without harming what is already there. Every writer
// of the library and of the lexaro program (PNG, SVG, batch images) goes
// through WriteOutputFile:
//
// - A path where nothing is yet gets an unnamed file (O_TMPFILE), linked
//   at the path when complete.
// - A regular file (or a new one where unnamed files cannot be made) is
//   written to a temporary file created exclusively (never through a link
//   planted at its name) in the same directory, which is renamed over the
//   target only when complete. An existing file's permission bits and owner
//   are kept; a new file gets 0666 less the umask. On failure the temporary
//   file is removed and the target is untouched.
// - A symbolic link is followed: its final target is written as above and
//   the link stays a link.
// - Anything else (a device, a FIFO, a socket, /dev/stdout) is opened and
//   written in place, never replaced.
//
// Not part of the installed API; exported only for the lexaro program.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "lexaro/export.h"

namespace lexaro::output {

// An open file the bytes of an output go to. Once a write fails, every
// later one fails too and Reason() tells why.
class LEXARO_API Sink {
 public:
  explicit Sink(int fd) : m_fd(fd) {}
  // Writes all of the bytes, however many calls the system needs.
  bool Write(const void* data, std::size_t size);
  bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
  bool Failed() const { return m_errno != 0; }
  // The system's reason for the failed write.
  std::string Reason() const;

 private:
  int m_fd;
  int m_errno = 0;
};

// Puts the output's bytes into the sink. False on failure: a failed write
// of the sink, or the producer's own reason in *error. It is called again,
// into a fresh sink, when an unnamed file was written but the system
// refused to name it.
using Producer = std::function<bool(Sink& sink, std::string* error)>;

// Told the temporary file's path when it is created and nullptr once it is
// renamed or removed, so that a signal handler can remove it. It must be
// async-signal-safe to read what it keeps.
using TempNotice = void (*)(const char* tempPath);

// Writes what produce gives to path as described above. False with
// "cannot write 'PATH': REASON" (or the producer's reason) in *error.
LEXARO_API bool WriteOutputFile(const std::string& path, const Producer& produce, std::string* error,
                                TempNotice notice = nullptr);
LEXARO_API bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string* error,
                                TempNotice notice = nullptr);

}  // namespace lexaro::output
