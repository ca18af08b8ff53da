// Layout, drawing and encoding speed of the engine on typical formulas, and
// how layout and drawing scale with the length of the markup (lines, nesting
// and table cells).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "lexaro/lexaro.h"

namespace {

using lexaro::bench::Formula;
using lexaro::bench::kCorpus;

// The default font at em 20 (the parameters are class-wide).
void UseDefaultFont() {
  CLexaro lx;
  lx.SetParam_lfHeight(-20);
}

// A surface that holds the formula with some room.
std::unique_ptr<CRasterDC> SurfaceFor(const Formula& f) {
  CRasterDC probe(1, 1);
  CLexaro lx;
  lx.SetText(&probe, f.markup);
  CSize size = lx.GetTextExtent(&probe);
  return std::make_unique<CRasterDC>(size.cx + 8, size.cy + 8, CLR_TRANSPARENT);
}

void BM_Layout(benchmark::State& state, const Formula* f) {
  UseDefaultFont();
  auto dc = SurfaceFor(*f);
  CLexaro lx;
  CString text(f->markup);
  for (auto _ : state) benchmark::DoNotOptimize(lx.SetText(dc.get(), text));
}

void BM_Draw(benchmark::State& state, const Formula* f) {
  UseDefaultFont();
  auto dc = SurfaceFor(*f);
  CLexaro lx;
  lx.SetText(dc.get(), f->markup);
  for (auto _ : state) benchmark::DoNotOptimize(lx.TextOutA(dc.get(), 4, 4));
}

void BM_LayoutAndDraw(benchmark::State& state, const Formula* f) {
  UseDefaultFont();
  auto dc = SurfaceFor(*f);
  CLexaro lx;
  CString text(f->markup);
  for (auto _ : state) {
    lx.SetText(dc.get(), text);
    benchmark::DoNotOptimize(lx.TextOutA(dc.get(), 4, 4));
  }
}

void BM_EncodePng(benchmark::State& state, const Formula* f) {
  UseDefaultFont();
  auto dc = SurfaceFor(*f);
  CLexaro lx;
  lx.SetText(dc.get(), f->markup);
  lx.TextOutA(dc.get(), 4, 4);
  std::vector<unsigned char> png;
  for (auto _ : state) {
    png.clear();
    benchmark::DoNotOptimize(dc->EncodePng(&png));
  }
  state.counters["bytes"] = double(png.size());
}

// Drawing on a fresh SVG surface and writing the document.
void BM_Svg(benchmark::State& state, const Formula* f) {
  UseDefaultFont();
  auto probe = SurfaceFor(*f);
  CLexaro lx;
  lx.SetText(probe.get(), f->markup);
  size_t bytes = 0;
  for (auto _ : state) {
    CSvgDC svg(probe->Width(), probe->Height());
    lx.TextOutA(&svg, 4, 4);
    bytes = svg.Svg().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = double(bytes);
}

// Drawing turned by 30 degrees, with aliased and with anti-aliased lines and
// fills (range 0 and 1), on a surface that holds the turned formula.
void BM_DrawTurned(benchmark::State& state, const Formula* f) {
  UseDefaultFont();
  CRasterDC probe(1, 1);
  CLexaro lx;
  lx.SetParam_lfEscapement(300);
  lx.SetText(&probe, f->markup);
  const CSize size = lx.GetTextExtent(&probe);
  const int side = std::max<int>(size.cx, size.cy) * 2 + 8;
  CRasterDC dc(side, side, CLR_TRANSPARENT);
  dc.SetAntialias(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(lx.TextOutA(&dc, 4, side / 2));
  lx.SetParam_lfEscapement(0);
}

// A long text laid out and drawn onto a page-sized surface (the lines below
// its edge are clipped); bytes per second should not fall with the length.
void Scaling(benchmark::State& state, const std::string& text) {
  UseDefaultFont();
  CRasterDC dc(1000, 1000, CLR_TRANSPARENT);
  CLexaro lx;
  CString markup(text.c_str());
  for (auto _ : state) {
    lx.SetText(&dc, markup);
    benchmark::DoNotOptimize(lx.TextOutA(&dc, 0, 0));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_ScaleRepeated(benchmark::State& state) {
  Scaling(state, lexaro::bench::RepeatedText(size_t(state.range(0))));
}

void BM_ScaleNested(benchmark::State& state) {
  Scaling(state, lexaro::bench::NestedText(size_t(state.range(0))));
}

// A table's layout and drawing take time in proportion to its cells.
void BM_ScaleTable(benchmark::State& state) {
  Scaling(state, lexaro::bench::TableText(size_t(state.range(0))));
}

// 1 KB, 10 KB, 100 KB and 1 MB of markup.
void Sizes(benchmark::internal::Benchmark* b) {
  for (int64_t kb : {1, 10, 100, 1024}) b->Arg(kb << 10);
  b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_ScaleRepeated)->Apply(Sizes);
BENCHMARK(BM_ScaleNested)->Apply(Sizes);
BENCHMARK(BM_ScaleTable)->Apply(Sizes);

// The costliest drawings there are: one TextOutA spending the whole drawing
// budget (or drawing 4 MiB of glyphs) on a surface of the largest area, the
// worst case the README's limits table states. Each iteration draws over
// the last one; the surface is made once.
struct WorstCase {
  const char* name;
  std::string markup;
  long em;
  long angle;
  bool antialias = false;
};

std::string Repeat(const std::string& piece, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += piece;
  return s;
}

const std::string kMark = "\xcc\xb6";  // U+0336, a mark without advance drawn across the letter
const WorstCase kWorstCases[] = {
    // Backgrounds larger than the surface, all at the same place.
    {"Backgrounds", Repeat("<DIV bgcolor=red style=\"padding:300000;margin:-300000\">x</DIV>", 200), 20, 0},
    {"BackgroundsTurned", Repeat("<DIV bgcolor=red style=\"padding:300000;margin:-300000\">x</DIV>", 200), 20, 300},
    {"BackgroundsTurnedSmooth", Repeat("<DIV bgcolor=red style=\"padding:300000;margin:-300000\">x</DIV>", 200), 20,
     300, true},
    // Long borders turned by a tenth of a degree, all at the same place:
    // anti-aliased, nearly every pixel they touch is shared between rows.
    {"ShallowBorders", Repeat("<DIV style=\"border-top:1 solid red;padding:0 1000;margin:0 -1000\">x</DIV>", 50000),
     20, 1},
    {"ShallowBordersSmooth",
     Repeat("<DIV style=\"border-top:1 solid red;padding:0 1000;margin:0 -1000\">x</DIV>", 50000), 20, 1, true},
    // 4 MiB of backgrounds outside the surface (free, and not walked) and
    // of backgrounds reaching in from far left (their edges walked over the
    // hidden columns).
    {"OutsideBackgrounds", Repeat("<DIV bgcolor=red style=\"padding:300000;margin:-300000\">x</DIV>", 73000), 20, 0},
    {"LeftReachingBackgrounds",
     Repeat("<DIV bgcolor=red style=\"padding:0 0 0 5000000;margin:0 0 0 -5000000\">x</DIV>", 55000), 20, 0},
    // Marks as large as the surface, drawn over one another.
    {"HugeMarks", "x" + Repeat(kMark, 28), 20000, 0},
    // The largest marks the glyph cache holds, and marks just too large for
    // it (each one rendered from its outline).
    {"CachedMarks", "x" + Repeat(kMark, 700000), 100, 0},
    {"OutlineMarks", "x" + Repeat(kMark, 190000), 101, 0},
    // 4 MiB of small marks: two million glyphs at one place, turned.
    {"SmallMarks", "x" + Repeat(kMark, (4u << 20) / 2 - 1), 20, 300},
};

void BM_WorstDrawing(benchmark::State& state, const WorstCase* c) {
  CLexaro lx;
  lx.SetParam_lfHeight(-c->em);
  lx.SetParam_lfEscapement(c->angle);
  const int side = CRasterDC::kMaxSide / 2;  // 2^28 pixels
  auto dc = std::make_unique<CRasterDC>(side, side, CLR_TRANSPARENT);
  dc->SetAntialias(c->antialias);
  lx.SetText(dc.get(), CString(c->markup.c_str()));
  for (auto _ : state) benchmark::DoNotOptimize(lx.TextOutA(dc.get(), 0, 0));
  lx.SetParam_lfEscapement(0);
  UseDefaultFont();
}

// One benchmark per corpus formula and stage.
const bool kRegistered = [] {
  for (const Formula& f : kCorpus) {
    benchmark::RegisterBenchmark((std::string("Layout/") + f.name).c_str(), BM_Layout, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("Draw/") + f.name).c_str(), BM_Draw, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("LayoutAndDraw/") + f.name).c_str(),
                                 BM_LayoutAndDraw, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("EncodePng/") + f.name).c_str(), BM_EncodePng, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("Svg/") + f.name).c_str(), BM_Svg, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("DrawTurned/") + f.name).c_str(), BM_DrawTurned, &f)
        ->Unit(benchmark::kMicrosecond)
        ->ArgName("antialias")
        ->DenseRange(0, 1);
  }
  for (const WorstCase& c : kWorstCases)
    benchmark::RegisterBenchmark((std::string("WorstDrawing/") + c.name).c_str(), BM_WorstDrawing, &c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
