#include "platform/font/face_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lexaro::font {
namespace {

constexpr std::string_view kMagic = "lexaro-fonts 1\n";
// Keys whose answers name no file (see FaceCache::kFilelessPrefix).
constexpr std::string_view kFileless = FaceCache::kFilelessPrefix;

std::uint64_t Fnv(std::string_view bytes, std::uint64_t h = 0xcbf29ce484222325ULL) {
  for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ULL;
  return h;
}

std::string Hex(std::uint64_t v) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", (unsigned long long)v);
  return buffer;
}

// The state of a path: any change of the file or directory (its contents,
// entries added or removed, a file replaced by another) changes it. "-"
// when it cannot be seen, so that one appearing changes it too.
std::string Signature(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "-";
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "%llx.%llx.%llx.%llx.%lx.%llx.%lx.%x",
                (unsigned long long)st.st_dev, (unsigned long long)st.st_ino,
                (unsigned long long)st.st_size, (unsigned long long)st.st_mtim.tv_sec,
                (long)st.st_mtim.tv_nsec, (unsigned long long)st.st_ctim.tv_sec, (long)st.st_ctim.tv_nsec,
                unsigned(st.st_mode));
  return buffer;
}

// Text the line format can hold: no control characters (tabs and line
// ends separate fields and lines).
bool Storable(std::string_view s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7f) return false;
  return true;
}

bool ToInt(std::string_view s, int* out) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && end == s.data() + s.size();
}

// Splits off the text up to the first `sep`; false when there is none.
bool Cut(std::string_view* rest, char sep, std::string_view* head) {
  size_t at = rest->find(sep);
  if (at == std::string_view::npos) return false;
  *head = rest->substr(0, at);
  rest->remove_prefix(at + 1);
  return true;
}

// A found answer names an absolute file inside a watched directory, as
// every file fontconfig reports does.
bool InsideWatched(const std::string& file, const std::vector<std::string>& watched) {
  if (file.empty() || file[0] != '/' || file.find("/../") != std::string::npos) return false;
  for (const std::string& dir : watched)
    if (file.size() > dir.size() + 1 && file.compare(0, dir.size(), dir) == 0 && file[dir.size()] == '/')
      return true;
  return false;
}

bool ReadPrivateFile(const std::string& path, long maxBytes, std::string* text) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  // Only the user's own regular file that nobody else may write is trusted.
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && st.st_size <= maxBytes;
  if (ok) {
    text->resize(size_t(st.st_size));
    size_t have = 0;
    while (have < text->size()) {
      ssize_t n = ::read(fd, text->data() + have, text->size() - have);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      have += size_t(n);
    }
    ok = have == text->size();
  }
  ::close(fd);
  return ok;
}

// Creates the directory and its parent when missing (private to the user).
bool MakeCacheDirectory(const std::string& dir) {
  size_t slash = dir.rfind('/');
  if (slash != std::string::npos && slash > 0) ::mkdir(dir.substr(0, slash).c_str(), 0700);
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

FaceCache::FaceCache(std::string path, std::uint64_t environment)
    : m_path(std::move(path)), m_environment(environment) {}

bool FaceCache::Load() {
  std::string text;
  if (m_path.empty() || m_distrusted || !ReadPrivateFile(m_path, kMaxFileBytes, &text)) return false;
  if (Parse(text)) return true;
  m_answers.clear();
  return false;
}

// The file: the magic line, "env HASH", "watch SIGNATURE PATH" lines,
// "answer FOUND INDEX WEIGHT SLANT<TAB>PATH<TAB>KEY" lines, and "end HASH",
// the hash of every byte before it.
bool FaceCache::Parse(std::string_view text) {
  if (text.substr(0, kMagic.size()) != kMagic || text.empty() || text.back() != '\n') return false;
  size_t endAt = text.rfind("end ", text.size() - 1);
  if (endAt == std::string_view::npos || (endAt > 0 && text[endAt - 1] != '\n') ||
      text.substr(endAt + 4, text.size() - endAt - 5) != Hex(Fnv(text.substr(0, endAt))))
    return false;
  std::string_view rest = text.substr(kMagic.size(), endAt - kMagic.size()), line;
  if (!Cut(&rest, '\n', &line) || line != "env " + Hex(m_environment)) return false;
  std::vector<std::string> watched;
  while (rest.substr(0, 6) == "watch ") {
    std::string_view sig;
    if (!Cut(&rest, '\n', &line) || watched.size() >= kMaxWatched) return false;
    line.remove_prefix(6);
    if (!Cut(&line, ' ', &sig) || line.empty()) return false;
    watched.emplace_back(line);
    if (Signature(watched.back()) != sig) return false;  // changed since: stale
  }
  while (Cut(&rest, '\n', &line)) {
    std::string_view head, found, index, weight, slant, file;
    if (line.substr(0, 7) != "answer " || m_answers.size() >= kMaxAnswers) return false;
    line.remove_prefix(7);
    Answer a;
    if (!Cut(&line, '\t', &head) || !Cut(&line, '\t', &file) || line.empty()) return false;
    if (!Cut(&head, ' ', &found) || !Cut(&head, ' ', &index) || !Cut(&head, ' ', &weight)) return false;
    slant = head;
    if ((found != "0" && found != "1") || !ToInt(index, &a.file.index) || !ToInt(weight, &a.file.weight) ||
        !ToInt(slant, &a.file.slant))
      return false;
    a.found = found == "1";
    a.file.path = std::string(file);
    // Answers of whether a family is installed name no file; others that
    // were found name one that fontconfig could have reported.
    const bool fileless = line.substr(0, kFileless.size()) == kFileless;
    if (fileless ? !a.file.path.empty() : a.found && !InsideWatched(a.file.path, watched)) return false;
    m_answers.emplace(std::string(line), std::move(a));
  }
  return rest.empty();
}

const FaceCache::Answer* FaceCache::Find(std::string_view key) const {
  auto it = m_answers.find(key);
  return it == m_answers.end() ? nullptr : &it->second;
}

void FaceCache::Store(const std::string& key, const Answer& answer, const std::vector<std::string>& watched) {
  if (m_answers.size() >= kMaxAnswers || !Storable(key) || !Storable(answer.file.path) ||
      watched.size() > kMaxWatched)
    return;
  m_answers[key] = answer;
  if (!m_path.empty() && !m_distrusted) Write(Serialise(watched));
}

void FaceCache::Distrust() {
  m_answers.clear();
  m_distrusted = true;
}

std::string FaceCache::Serialise(const std::vector<std::string>& watched) const {
  std::string text(kMagic);
  text += "env " + Hex(m_environment) + "\n";
  for (const std::string& path : watched)
    if (Storable(path) && !path.empty()) text += "watch " + Signature(path) + " " + path + "\n";
  for (const auto& [key, a] : m_answers) {
    text += "answer " + std::string(a.found ? "1 " : "0 ") + std::to_string(a.file.index) + " " +
            std::to_string(a.file.weight) + " " + std::to_string(a.file.slant) + "\t" + a.file.path + "\t" +
            key + "\n";
  }
  return text + "end " + Hex(Fnv(text)) + "\n";
}

// Written to a private temporary file renamed over the old one, so that a
// reader sees the old file or the new one, never a part of either.
bool FaceCache::Write(const std::string& text) const {
  size_t slash = m_path.rfind('/');
  if (slash == std::string::npos || long(text.size()) > kMaxFileBytes) return false;
  const std::string dir = m_path.substr(0, slash);
  if (!MakeCacheDirectory(dir)) return false;
  std::string temp = dir + "/.fonts-XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += size_t(n);
  }
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), m_path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::string FaceCache::DefaultPath() {
  const char* off = std::getenv("LEXARO_FONT_CACHE");
  if (off && std::strcmp(off, "off") == 0) return "";
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/lexaro/fonts";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.cache/lexaro/fonts";
  return "";
}

std::uint64_t FaceCache::EnvironmentHash() {
  static const char* const kVariables[] = {
      "FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "FC_LANG",  "LANG",
      "LANGUAGE",        "LC_ALL",          "LC_CTYPE",           "HOME",     "XDG_CONFIG_HOME",
      "XDG_DATA_HOME",   "XDG_DATA_DIRS",   "XDG_CACHE_HOME"};
  std::uint64_t h = Fnv(std::to_string(FcGetVersion()) + "|" + std::to_string(::geteuid()));
  for (const char* name : kVariables) {
    const char* value = std::getenv(name);
    h = Fnv(name, h);
    h = Fnv(value ? std::string_view("=") : std::string_view("\x01"), h);
    if (value) h = Fnv(value, h);
    h = Fnv(std::string_view("\0", 1), h);
  }
  return h;
}

}  // namespace lexaro::font
