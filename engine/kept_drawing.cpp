// Keeping the last drawing to paint it again: see KeptDrawing (engine.h).
#include <algorithm>
#include <iterator>

#include "engine/engine.h"

bool CLexaro::Engine::ReplayKeptDrawing(CPoint pt) {
  KeptDrawing& k = m_kept;
  if (!k.ready || pt != k.pt || m_lfEscapement != k.escapement || m_debugBoxes != k.debugBoxes)
    return false;
  m_pDC->SaveState(&k.now);
  if (!k.now.Same(k.before)) return false;
  m_pDC->Replay(k.list, k.after);
  return true;
}

void CLexaro::Engine::StartKeeping(CPoint pt) {
  KeptDrawing& k = m_kept;
  k.ready = false;
  k.list.Clear();
  k.pt = pt;
  k.escapement = m_lfEscapement;
  k.debugBoxes = m_debugBoxes;
  if (!m_pDC->ReplaysAlike()) return;
  m_pDC->SaveState(&k.before);
  m_pDC->RecordInto(&k.list);
}

void CLexaro::Engine::FinishKeeping(int errorBefore) {
  KeptDrawing& k = m_kept;
  if (!m_pDC->ReplaysAlike()) return;
  m_pDC->RecordInto(nullptr);
  m_pDC->SaveState(&k.after);
  const bool selectionsKept = std::equal(std::begin(k.after.selected), std::end(k.after.selected),
                                         std::begin(k.before.selected));
  k.ready = m_error == errorBefore && !k.list.Overflowed() && selectionsKept &&
            k.after.SameBesidesPosition(k.before);
  if (!k.ready) k.list.Clear();
}
