// Keeping the last drawing to paint it again: see KeptDrawing (engine.h).
#include <algorithm>
#include <iterator>

#include "engine/engine.h"

bool CLexaro::Engine::ReplayKeptDrawing(CPoint pt) {
  KeptDrawing& k = m_kept;
  if (!k.ready || pt != k.pt || m_lfEscapement != k.escapement || m_debugBoxes != k.debugBoxes)
    return false;
  m_pDC->SaveState(&k.Now());
  if (!k.Now().Same(k.Before())) return false;
  m_pDC->Replay(k.list, k.after);
  return true;
}

void CLexaro::Engine::StartKeeping(CPoint pt) {
  KeptDrawing& k = m_kept;
  k.ready = k.recording = false;
  k.list.Clear();
  if (!m_pDC->ReplaysAlike()) {
    k.seen = false;
    return;
  }
  m_pDC->SaveState(&k.Now());
  const bool again = k.seen && pt == k.pt && m_lfEscapement == k.escapement &&
                     m_debugBoxes == k.debugBoxes && k.Now().Same(k.Before());
  k.last = 1 - k.last;
  k.pt = pt;
  k.escapement = m_lfEscapement;
  k.debugBoxes = m_debugBoxes;
  k.seen = true;
  if (!again) return;
  k.recording = true;
  m_pDC->RecordInto(&k.list);
}

void CLexaro::Engine::FinishKeeping(int errorBefore) {
  KeptDrawing& k = m_kept;
  if (!k.recording) return;
  k.recording = false;
  m_pDC->RecordInto(nullptr);
  m_pDC->SaveState(&k.after);
  const lexaro::DrawState& before = k.Before();
  const bool selectionsKept = std::equal(std::begin(k.after.selected), std::end(k.after.selected),
                                         std::begin(before.selected));
  k.ready = m_error == errorBefore && !k.list.Overflowed() && selectionsKept &&
            k.after.SameBesidesPosition(before);
  if (!k.ready) k.list.Clear();
}
