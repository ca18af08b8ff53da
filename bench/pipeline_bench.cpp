// What a user pays to turn markup into PNG bytes through the library: layout
// on a scratch surface, a surface sized from the extent, drawing onto it and
// encoding it. Pipeline/ times the whole; DrawFresh/ the drawing stage with
// its fresh surface (Layout/ and EncodePng/ time the other stages), and
// DrawWalk/ the same as a layout's first drawing pays it.
// Translate/ times the translation of the same formula written in TeX, and
// TexPipeline/ the whole path from TeX to PNG bytes. RenderPng/ is the
// one-call API the lexaro program uses, which also sizes the image to the
// ink that reaches beyond the layout box.
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

constexpr int kEm = 20;

// The stages, each as a user calls the library.
CSize LayOut(CLexaro& lx, const CString& markup) {
  CRasterDC scratch(1, 1, CLR_TRANSPARENT);
  lx.SetText(&scratch, markup);
  return lx.GetTextExtent(&scratch);
}

std::unique_ptr<CRasterDC> DrawFresh(CLexaro& lx, CSize size) {
  auto dc = std::make_unique<CRasterDC>(std::max<int>(1, size.cx), std::max<int>(1, size.cy), CLR_TRANSPARENT);
  lx.TextOutA(dc.get(), 0, 0);
  return dc;
}

std::vector<unsigned char> MarkupToPng(CLexaro& lx, const CString& markup) {
  std::vector<unsigned char> png;
  DrawFresh(lx, LayOut(lx, markup))->EncodePng(&png);
  return png;
}

void BM_Pipeline(benchmark::State& state, const Formula* f) {
  CLexaro lx;
  lx.SetParam_lfHeight(-kEm);
  const CString markup(f->markup);
  size_t bytes = 0;
  for (auto _ : state) {
    bytes = MarkupToPng(lx, markup).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = double(bytes);
}

void BM_Translate(benchmark::State& state, const Formula* f) {
  size_t bytes = 0;
  for (auto _ : state) {
    lexaro::TexResult r = lexaro::TranslateTex(f->tex);
    bytes = r.markup.size();
    benchmark::DoNotOptimize(r);
  }
  state.counters["markup"] = double(bytes);
}

void BM_TexPipeline(benchmark::State& state, const Formula* f) {
  CLexaro lx;
  lx.SetParam_lfHeight(-kEm);
  size_t bytes = 0;
  for (auto _ : state) {
    const lexaro::TexResult r = lexaro::TranslateTex(f->tex);
    bytes = MarkupToPng(lx, CString(r.markup)).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = double(bytes);
}

void BM_RenderPng(benchmark::State& state, const Formula* f) {
  lexaro::RenderOptions o;
  o.em = kEm;
  size_t bytes = 0;
  for (auto _ : state) {
    bytes = lexaro::RenderPng(f->markup, o)->size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = double(bytes);
}

void BM_DrawFresh(benchmark::State& state, const Formula* f) {
  CLexaro lx;
  lx.SetParam_lfHeight(-kEm);
  const CSize size = LayOut(lx, CString(f->markup));
  for (auto _ : state) benchmark::DoNotOptimize(DrawFresh(lx, size));
}

// Each drawing is made one pixel right or left of the one before, so that
// none repeats its predecessor and each walks the layout (none is replayed).
void BM_DrawWalk(benchmark::State& state, const Formula* f) {
  CLexaro lx;
  lx.SetParam_lfHeight(-kEm);
  const CSize size = LayOut(lx, CString(f->markup));
  int x = 0;
  for (auto _ : state) {
    auto dc = std::make_unique<CRasterDC>(std::max<int>(1, size.cx + 1), std::max<int>(1, size.cy),
                                          CLR_TRANSPARENT);
    lx.TextOutA(dc.get(), x, 0);
    x ^= 1;
    benchmark::DoNotOptimize(dc);
  }
}

const bool kRegistered = [] {
  for (const Formula& f : kCorpus) {
    benchmark::RegisterBenchmark((std::string("Pipeline/") + f.name).c_str(), BM_Pipeline, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("RenderPng/") + f.name).c_str(), BM_RenderPng, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("DrawFresh/") + f.name).c_str(), BM_DrawFresh, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("DrawWalk/") + f.name).c_str(), BM_DrawWalk, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("Translate/") + f.name).c_str(), BM_Translate, &f)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("TexPipeline/") + f.name).c_str(), BM_TexPipeline, &f)
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
