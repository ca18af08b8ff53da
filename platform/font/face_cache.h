// Fontconfig's answers kept on disk between processes. Loading fontconfig's
// configuration (parsing dozens of XML files and reading the font caches)
// costs a few milliseconds, most of a short program's run, while the
// answers a program needs are a handful of file names. So the answers are
// written to a small file with the state (device, inode, size, times) of
// every configuration file and font directory fontconfig read, and the
// environment that steers it; a later process that finds all of them
// unchanged takes the answers from the file and never loads fontconfig.
//
// The file is only an accelerator: one that is missing, unreadable,
// truncated, corrupt (a checksum guards it), too large, not the user's own
// and private, written by another version or for another configuration is
// ignored whole, and fontconfig is asked as before. It is replaced
// atomically (a private temporary file renamed over it).
#pragma once

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro::font {

// A font file fontconfig chose, with the weight and slant it reported.
struct FileChoice {
  std::string path;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

class FaceCache {
 public:
  struct Answer {
    bool found = false;
    FileChoice file;
  };

  // Keys starting with this answer a yes or no and name no file.
  static constexpr std::string_view kFilelessPrefix = "installed ";
  // Answers kept at most; later ones are asked of fontconfig every time, so
  // markup with endless face names cannot grow the file.
  static constexpr size_t kMaxAnswers = 256;
  // Watched paths at most (configuration files and font directories); a
  // configuration with more is not cached.
  static constexpr size_t kMaxWatched = 4096;
  // Files larger than this are not read.
  static constexpr long kMaxFileBytes = 1 << 20;

  // The cache in file `path` for the environment `environment` (see
  // EnvironmentHash); an empty path keeps answers in memory only.
  FaceCache(std::string path, std::uint64_t environment);

  // Reads the file: its answers are used when it is valid and every watched
  // path is as it was. Otherwise nothing of it is used. True when answers
  // were taken from it.
  bool Load();
  // The answer for a key, or null.
  const Answer* Find(std::string_view key) const;
  // Records an answer and rewrites the file with the state of `watched`
  // now. Keys or paths holding control characters are kept in memory only.
  void Store(const std::string& key, const Answer& answer, const std::vector<std::string>& watched);
  // Drops the answers read from the file (one proved wrong) and stops using
  // the file for the rest of the process.
  void Distrust();

  // $XDG_CACHE_HOME/lexaro/fonts (or ~/.cache/lexaro/fonts); empty, which
  // disables the file, when LEXARO_FONT_CACHE is "off" or no home is known.
  static std::string DefaultPath();
  // A hash of what steers fontconfig besides its files: its version and the
  // environment variables it reads.
  static std::uint64_t EnvironmentHash();

 private:
  bool Parse(std::string_view text);
  std::string Serialise(const std::vector<std::string>& watched) const;
  bool Write(const std::string& text) const;

  std::string m_path;
  std::uint64_t m_environment;
  bool m_distrusted = false;
  std::map<std::string, Answer, std::less<>> m_answers;
};

}  // namespace lexaro::font
