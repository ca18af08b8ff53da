// PNG encoding of the corpus formulas at em 20, on a transparent and on a
// white surface: the encoder (EncodePng), the libpng encoder it replaced
// (EncodePngBefore: RGBA rows, no filter, zlib level 3) and two floors, the
// fastest levels of two deflate libraries compressing the filtered rows the
// encoder writes, read back from its own output: libdeflate's
// (DeflateFloor) and ISA-L's, which the encoder uses (IsalFloor).
#include <benchmark/benchmark.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "lexaro/lexaro.h"

namespace {

using lexaro::bench::Formula;
using lexaro::bench::kCorpus;

// The formula drawn at em 20 on a surface sized from its extent.
std::unique_ptr<CRasterDC> Drawn(const Formula& f, COLORREF background) {
  CLexaro lx;
  lx.SetParam_lfHeight(-20);
  CRasterDC probe(1, 1);
  lx.SetText(&probe, f.markup);
  CSize size = lx.GetTextExtent(&probe);
  auto dc = std::make_unique<CRasterDC>(size.cx + 8, size.cy + 8, background);
  lx.SetText(dc.get(), f.markup);
  lx.TextOutA(dc.get(), 4, 4);
  return dc;
}

// The previous encoder, kept here as the reference it is measured against.
void BeforeWrite(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void NoFlush(png_structp) {}

bool EncodeBefore(const CRasterDC& dc, std::vector<unsigned char>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<unsigned char> row(size_t(dc.Width()) * 4);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, BeforeWrite, NoFlush);
  png_set_compression_level(png, 3);
  png_set_filter(png, 0, PNG_FILTER_NONE);
  png_set_IHDR(png, info, dc.Width(), dc.Height(), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < dc.Height(); ++y) {
    const std::uint32_t* p = dc.Bits() + size_t(y) * dc.Width();
    for (int i = 0; i < dc.Width(); ++i) {
      std::uint32_t v = p[i], a = v >> 24;
      for (int c = 0; c < 3; ++c) {
        std::uint32_t pm = (v >> (16 - 8 * c)) & 255;
        row[i * 4 + c] = a ? (unsigned char)std::min<std::uint32_t>(255, (pm * 255 + a / 2) / a) : 0;
      }
      row[i * 4 + 3] = (unsigned char)a;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

// The filtered rows inside a PNG: its image data chunks inflated.
std::vector<unsigned char> FilteredRows(const std::vector<unsigned char>& png) {
  auto get32 = [&](size_t at) {
    return std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 | std::uint32_t(png[at + 2]) << 8 |
           png[at + 3];
  };
  const std::uint32_t width = get32(16), height = get32(20);
  const int channels[] = {1, 0, 3, 1, 2, 0, 4};
  const size_t size = size_t(height) * (1 + size_t(width) * channels[png[25]]);
  std::vector<unsigned char> idat;
  for (size_t at = 8; at + 12 <= png.size(); at += 12 + get32(at))
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
      idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + get32(at));
  std::vector<unsigned char> rows(size);
  uLongf length = size;
  if (uncompress(rows.data(), &length, idat.data(), idat.size()) != Z_OK || length != size) rows.clear();
  return rows;
}

void BM_EncodePng(benchmark::State& state, const Formula* f, COLORREF background) {
  auto dc = Drawn(*f, background);
  std::vector<unsigned char> png;
  for (auto _ : state) benchmark::DoNotOptimize(dc->EncodePng(&png));
  state.counters["bytes"] = double(png.size());
  state.counters["type"] = png[25];
}

void BM_EncodePngBefore(benchmark::State& state, const Formula* f, COLORREF background) {
  auto dc = Drawn(*f, background);
  std::vector<unsigned char> png;
  for (auto _ : state) {
    png.clear();
    benchmark::DoNotOptimize(EncodeBefore(*dc, &png));
  }
  state.counters["bytes"] = double(png.size());
}

// The rows the encoder writes for the formula, or none with an error.
std::vector<unsigned char> EncodedRows(benchmark::State& state, const Formula* f, COLORREF background) {
  auto dc = Drawn(*f, background);
  std::vector<unsigned char> png;
  dc->EncodePng(&png);
  std::vector<unsigned char> rows = FilteredRows(png);
  if (rows.empty()) state.SkipWithError("the encoder's rows could not be read back");
  return rows;
}

void BM_DeflateFloor(benchmark::State& state, const Formula* f, COLORREF background) {
  const std::vector<unsigned char> rows = EncodedRows(state, f, background);
  if (rows.empty()) return;
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(1);
  std::vector<unsigned char> out(libdeflate_zlib_compress_bound(compressor, rows.size()));
  size_t size = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        size = libdeflate_zlib_compress(compressor, rows.data(), rows.size(), out.data(), out.size()));
  libdeflate_free_compressor(compressor);
  state.counters["bytes"] = double(size);
}

void BM_IsalFloor(benchmark::State& state, const Formula* f, COLORREF background) {
  const std::vector<unsigned char> rows = EncodedRows(state, f, background);
  if (rows.empty()) return;
  std::vector<unsigned char> out(rows.size() * 2 + 1024);
  auto z = std::make_unique<isal_zstream>();
  for (auto _ : state) {
    isal_deflate_stateless_init(z.get());
    z->gzip_flag = IGZIP_ZLIB;
    z->end_of_stream = 1;
    z->next_in = const_cast<unsigned char*>(rows.data());
    z->avail_in = std::uint32_t(rows.size());
    z->next_out = out.data();
    z->avail_out = std::uint32_t(out.size());
    if (isal_deflate_stateless(z.get()) != COMP_OK) return state.SkipWithError("ISA-L failed");
  }
  state.counters["bytes"] = double(z->total_out);
}

const bool registered = [] {
  const std::pair<const char*, COLORREF> backgrounds[] = {{"", CLR_TRANSPARENT}, {"/white", RGB(255, 255, 255)}};
  for (const Formula& f : kCorpus)
    for (const auto& [suffix, background] : backgrounds) {
      const std::string name = std::string(f.name) + suffix;
      // The transparent case of EncodePng is engine_bench.cpp's.
      if (*suffix)
        benchmark::RegisterBenchmark(("EncodePng/" + name).c_str(), BM_EncodePng, &f, background)
            ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("EncodePngBefore/" + name).c_str(), BM_EncodePngBefore, &f, background)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("DeflateFloor/" + name).c_str(), BM_DeflateFloor, &f, background)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("IsalFloor/" + name).c_str(), BM_IsalFloor, &f, background)
          ->Unit(benchmark::kMicrosecond);
    }
  return true;
}();

}  // namespace
