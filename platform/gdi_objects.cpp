#include <cstring>

#include "lexaro/gdi.h"

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return FALSE;
  m_lf = *lf;
  // Whatever the caller left in the face field, ours is terminated, and
  // zeroed past its end. A name that ends inside the field, the usual
  // case, keeps its bytes as they are.
  if (const void* end = std::memchr(lf->lfFaceName, 0, LF_FACESIZE)) {
    const size_t n = size_t(static_cast<const char*>(end) - lf->lfFaceName);
    std::memset(m_lf.lfFaceName + n, 0, LF_FACESIZE - n);
  } else {
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf->lfFaceName, LF_FACESIZE);
    SetFaceName(m_lf, face);
  }
  m_valid = true;
  return TRUE;
}

int CFont::GetLogFont(LOGFONT* lf) const {
  if (!m_valid || !lf) return 0;
  *lf = m_lf;
  return int(sizeof(LOGFONT));
}

BOOL CFont::DeleteObject() {
  BOOL had = m_valid;
  m_valid = false;
  m_lf = LOGFONT{};
  return had;
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
  m_style = style;
  m_width = width < 1 ? 1 : width;
  m_color = color;
  m_valid = true;
  return TRUE;
}

BOOL CPen::DeleteObject() {
  BOOL had = m_valid;
  m_valid = false;
  return had;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
  m_color = color;
  m_valid = true;
  return TRUE;
}

BOOL CBrush::DeleteObject() {
  BOOL had = m_valid;
  m_valid = false;
  return had;
}
