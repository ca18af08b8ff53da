// Helpers of the batch benchmark (bench/cli_bench.sh):
//   lexaro_batch_floor list N        prints N formulas of the corpus, one a line
//   lexaro_batch_floor files SRC DST creates in DST a file for every file in
//                                     SRC, of the same name and bytes, with one
//                                     open, write and close each, and prints
//                                     the time per file in microseconds: the
//                                     file system's own cost of a batch's
//                                     output, the floor a batch is measured by.
//   lexaro_batch_floor pngs SRC DST  the same, each PNG file's rows (read
//                                     back from its image data) compressed
//                                     anew with ISA-L at level 0, the fastest
//                                     compression there is, before it is
//                                     written: what any PNG batch pays at
//                                     least, drawing aside.
//   lexaro_batch_floor unnamed SRC DST  as files, each file written unnamed
//                                     (O_TMPFILE) and linked at its name when
//                                     complete, as lexaro writes a new file:
//                                     the price of never showing half a file.
#include <fcntl.h>
#include <isa-l/igzip_lib.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/corpus.h"

namespace fs = std::filesystem;

namespace {

int List(long n) {
  const size_t size = std::size(lexaro::bench::kCorpus);
  for (long i = 0; i < n; ++i) std::printf("%s\n", lexaro::bench::kCorpus[size_t(i) % size].markup);
  return 0;
}

struct Item {
  std::string name, bytes;
  std::string rows;  // a PNG's image data inflated, when asked for
};

std::uint32_t Get32(const std::string& s, size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | (unsigned char)s[at + size_t(i)];
  return v;
}

// The filtered rows of a PNG file: its image data chunks joined and
// inflated. Empty when the file is not a PNG that inflates.
std::string Rows(const std::string& png) {
  std::string data;
  std::uint32_t width = 0, height = 0, bytesPerPixel = 0;
  for (size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t size = Get32(png, at);
    if (size > png.size() - at - 12) return {};
    const std::string type = png.substr(at + 4, 4);
    if (type == "IHDR" && size >= 13) {
      width = Get32(png, at + 8), height = Get32(png, at + 12);
      const int channels[] = {1, 0, 3, 1, 2, 0, 4};
      const unsigned colour = (unsigned char)png[at + 8 + 9];
      bytesPerPixel = colour < 7 ? std::uint32_t(channels[colour]) : 0;
    }
    if (type == "IDAT") data.append(png, at + 8, size);
    at += 12 + size;
  }
  // No image this program's batches write is larger; a header that says
  // otherwise is not one of theirs.
  if (width == 0 || height == 0 || bytesPerPixel == 0 || width > 16384 || height > 16384 ||
      uint64_t(width) * height > 100'000'000)
    return {};
  std::string rows(size_t(height) * (1 + size_t(width) * bytesPerPixel), '\0');
  uLongf size = uLongf(rows.size());
  if (uncompress(reinterpret_cast<Bytef*>(rows.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                 uLong(data.size())) != Z_OK ||
      size != rows.size())
    return {};
  return rows;
}

// The rows compressed as the encoder does it, with ISA-L at level 0.
size_t Compress(const std::string& rows, std::vector<unsigned char>& out) {
  isal_zstream z;
  isal_deflate_stateless_init(&z);
  z.gzip_flag = IGZIP_ZLIB;
  z.level = 0;
  z.end_of_stream = 1;
  z.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(rows.data()));
  z.avail_in = std::uint32_t(rows.size());
  out.resize(rows.size() + rows.size() / 64 + 1024);
  z.next_out = out.data();
  z.avail_out = std::uint32_t(out.size());
  return isal_deflate_stateless(&z) == COMP_OK && z.avail_in == 0 ? z.total_out : 0;
}

// Writes bytes at path with one open, write and close, or unnamed in the
// directory and linked at path when complete.
bool Write(const fs::path& dir, const std::string& path, const std::string& bytes, bool unnamed) {
  const int fd = unnamed ? ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)
                         : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
  if (ok && unnamed) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    ok = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }
  return ::close(fd) == 0 && ok;
}

enum class Mode { kFiles, kPngs, kUnnamed };

int Files(const fs::path& src, const fs::path& dst, Mode mode) {
  const bool compress = mode == Mode::kPngs;
  std::vector<Item> items;
  for (const auto& e : fs::directory_iterator(src)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "%s: cannot be opened\n", e.path().c_str());
      return 1;
    }
    items.push_back({e.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {}), {}});
    if (compress && (items.back().rows = Rows(items.back().bytes)).empty()) {
      std::fprintf(stderr, "%s: not a PNG file whose image data inflates\n", e.path().c_str());
      return 1;
    }
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.name < b.name; });
  fs::create_directories(dst);
  std::vector<unsigned char> packed;
  size_t packedBytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const Item& item : items) {
    if (compress) {
      const size_t size = Compress(item.rows, packed);
      if (size == 0) {
        std::fprintf(stderr, "%s: ISA-L failed\n", item.name.c_str());
        return 1;
      }
      packedBytes += size;
    }
    const std::string path = (dst / item.name).string();
    if (!Write(dst, path, item.bytes, mode == Mode::kUnnamed)) {
      std::perror(path.c_str());
      return 1;
    }
  }
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu files, %.1f us per file", items.size(), items.empty() ? 0.0 : us / double(items.size()));
  if (compress) std::printf(", their rows compressed to %zu bytes", packedBytes);
  std::printf("\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "list") return List(std::atol(argv[2]));
  const std::string mode = argc == 4 ? argv[1] : "";
  // A directory that cannot be listed or made ends the run with its reason.
  try {
    if (mode == "files") return Files(argv[2], argv[3], Mode::kFiles);
    if (mode == "pngs") return Files(argv[2], argv[3], Mode::kPngs);
    if (mode == "unnamed") return Files(argv[2], argv[3], Mode::kUnnamed);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: %s list N | {files|pngs|unnamed} SRC DST\n", argv[0]);
  return 2;
}
