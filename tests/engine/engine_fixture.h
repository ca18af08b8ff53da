// Shared helpers of the engine tests: an engine on a recording surface with
// a synthetic font, so that every measure is an exact, known number.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "lexaro/record_dc.h"

// Synthetic metrics: ascent 0.8 em, descent 0.2 em, every byte 0.5 em wide.
// At the default em of 20: ascent 16, descent 4, 10 per byte.
inline SyntheticFont TestFont() {
  SyntheticFont f;
  f.ascent = 0.8;
  f.descent = 0.2;
  f.advance = 0.5;
  return f;
}

// An allocation hook that answers true until the allocation numbered `from`
// (counting from 0), then false: once (a transient failure) or for good
// (memory stays exhausted). It counts every allocation in *count; a `from`
// of -1 fails none.
struct FailingAllocation {
  int from;
  bool forGood;
  int* count;
  bool operator()() const {
    int n = (*count)++;
    return forGood ? n < from : n != from;
  }
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dc.UseSyntheticFont(TestFont());
    lexaro::engine::Params() = lexaro::engine::ClassParams{};
    CFontTool().SetLOGFONT(&lexaro::engine::Params().def_lf, -20, "ＭＳ ゴシック", SHIFTJIS_CHARSET, 0);
  }
  void TearDown() override { lexaro::engine::g_allocationHook = nullptr; }

  // Lays out text and returns the layout's extent.
  LX_TXT_EXTENT Layout(const char* text) {
    EXPECT_EQ(engine.SetText(&dc, text), 1);
    return engine.m_extent;
  }

  template <typename T>
  static std::vector<T> Items(CList_Ex<T>& list) {
    std::vector<T> out;
    for (auto* n = list.GetHead(); n; n = n->next) out.push_back(n->value);
    return out;
  }

  // The text outputs recorded since the last ClearOps.
  std::vector<RecordedOp> Texts() const {
    std::vector<RecordedOp> out;
    for (const RecordedOp& op : dc.Ops())
      if (op.kind == RecordedOp::Text) out.push_back(op);
    return out;
  }

  CRecordDC dc;
  CLexaro::Engine engine;
};
