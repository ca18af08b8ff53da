// Shared by the output-file tests: device nodes and FIFOs as targets. The
// devices are copies made in a scratch directory, so that a writer that
// wrongly replaces its target harms nothing of the system's.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

// Makes at node a device node of the same kind and number as device
// (/dev/full, /dev/null). False when that cannot be done here: no such
// device, not root, or devices may not be opened.
inline bool CopyDevice(const std::string& device, const std::string& node) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  if (::mknod(node.c_str(), S_IFCHR | 0666, st.st_rdev) != 0) return false;
  int fd = ::open(node.c_str(), O_WRONLY);
  if (fd < 0) return ::unlink(node.c_str()), false;
  ::close(fd);
  return true;
}

inline bool IsCharDevice(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// Makes a FIFO at path and opens its reading end without waiting for a
// writer, so that a writer opening it does not block; -1 on failure.
inline int FifoReader(const std::string& path) {
  if (::mkfifo(path.c_str(), 0600) != 0) return -1;
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
}

// What the writers put into the FIFO (at most its 64 KiB buffer), once they
// are done; closes fd.
inline std::string DrainFifo(int fd) {
  std::string bytes;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, size_t(n));
  ::close(fd);
  return bytes;
}
