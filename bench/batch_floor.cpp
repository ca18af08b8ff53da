// Helpers of the batch benchmark (bench/cli_bench.sh):
//   lexaro_batch_floor list N        prints N formulas of the corpus, one a line
//   lexaro_batch_floor files SRC DST creates in DST a file for every file in
//                                     SRC, of the same name and bytes, with one
//                                     open, write and close each, and prints
//                                     the time per file in microseconds: the
//                                     file system's own cost of a batch's
//                                     output, the floor a batch is measured by.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

int Files(const fs::path& src, const fs::path& dst) {
  struct Item {
    std::string name, bytes;
  };
  std::vector<Item> items;
  for (const auto& e : fs::directory_iterator(src)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    items.push_back({e.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {})});
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.name < b.name; });
  fs::create_directories(dst);
  const auto start = std::chrono::steady_clock::now();
  for (const Item& item : items) {
    const std::string path = (dst / item.name).string();
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, item.bytes.data(), item.bytes.size()) != ssize_t(item.bytes.size()) ||
        ::close(fd) != 0) {
      std::perror(path.c_str());
      return 1;
    }
  }
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu files, %.1f us per file\n", items.size(), items.empty() ? 0.0 : us / double(items.size()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "list") return List(std::atol(argv[2]));
  if (argc == 4 && std::string(argv[1]) == "files") return Files(argv[2], argv[3]);
  std::fprintf(stderr, "usage: %s list N | files SRC DST\n", argv[0]);
  return 2;
}
