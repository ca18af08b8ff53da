// CLexaro: the markup engine. Give it a device context and a markup text
// (SetText), then draw the text at a point (TextOutA) or ask for its size
// (GetTextExtent, GetTextExtent_Ex).
//
// Threads: one engine object must be used by one thread at a time. The
// class-wide parameters (the setters below) are shared by all objects and
// are not guarded; set them before objects are used from several threads.
// The class-wide vocabulary is built once, safely, whichever thread
// constructs the first object.
#pragma once

#include <memory>
#include <vector>

#include "lexaro/cstring.h"
#include "lexaro/dc.h"
#include "lexaro/export.h"

// The box of a run, a line, a construct or the whole text.
struct LX_TXT_EXTENT {
  int width;
  int ascent;   // from the baseline up
  int descent;  // from the baseline down
};

// What the layout passed over or repaired in a markup text.
enum LX_DIAG_KIND {
  LX_DIAG_UNKNOWN_NAME,   // a tag name outside the vocabulary, or a tag without a name
  LX_DIAG_STRAY_END_TAG,  // an end tag where no construct of its name is open
  LX_DIAG_OUT_OF_PLACE,   // S, TR, TD, or text, where the construct takes none
  LX_DIAG_UNENDED,        // a construct without its end tag: it runs to the end of the text
  LX_DIAG_PARTS,          // S parts missing or beyond the construct's count
  LX_DIAG_ATTRIBUTE,      // an attribute or style property that is not understood
  LX_DIAG_VALUE,          // a value that does not parse (colour, number, alignment, ...)
  LX_DIAG_NESTING,        // a construct tag beyond the nesting limit
  LX_DIAG_LENGTH,         // text beyond the length limit, not laid out
  LX_DIAG_DROPPED,        // more diagnostics than are kept (the count is in the message)
};

// One diagnostic: the bytes of the text it concerns and a short English
// message. offset + length never exceeds the length of the text given to
// SetText; a length of 0 marks a point.
struct LX_DIAGNOSTIC {
  int offset;
  int length;
  LX_DIAG_KIND kind;
  CString message;
};

class LEXARO_API CLexaro {
 public:
  CLexaro();
  virtual ~CLexaro();
  CLexaro(const CLexaro&) = delete;
  CLexaro& operator=(const CLexaro&) = delete;

  // Stores the text and lays it out with the device context. Returns 1, or
  // 0 when the layout ran out of memory.
  int SetText(CDC* pDC, CString text);
  // Draws the laid-out text with its top-left corner where the device
  // context's text alignment puts pt. Returns 0 when there is no valid layout.
  int TextOutA(CDC* pDC, CPoint pt);
  int TextOutA(CDC* pDC, int x, int y);
  CString GetText();
  // What the last layout passed over or repaired, in the order of the text;
  // empty for a text that lays out as written. At most 1,000 are kept, and
  // one more (LX_DIAG_DROPPED) tells how many were left out. Drawing adds
  // none. They are found when first asked for, by laying the text out once
  // more on a surface of the engine's own, so layouts nobody asks about pay
  // nothing for them. The list lives until the next layout.
  const std::vector<LX_DIAGNOSTIC>& GetDiagnostics() const;
  // (width, ascent + descent), or (-1, -1) without a valid layout.
  CSize GetTextExtent(CDC* pDC);
  LX_TXT_EXTENT GetTextExtent_Ex(CDC* pDC);
  // Joins the lines of text split at separator, dropping each line's
  // leading white space: markup typed over indented lines becomes one line.
  CString GetFormalText(const CString& text, CString separator);

  // Class-wide parameters: they change the layout of every object, which
  // is laid out again on its next use.
  void SetParam_LOGFONT(const LOGFONT& lf);
  void SetParam_lfHeight(long height);
  void SetParam_SubPtRatio(int ratio);
  void SetParam_SpaceLine(int space);
  // The default text colour (black at first); FONT color= overrides it.
  void SetParam_TextColor(COLORREF color);
  // This object's own default font and text colour, in place of the
  // class-wide ones above: objects used from several threads at once can
  // differ in them without touching shared state. Laid out again on next use.
  void SetFont(const LOGFONT& lf);
  void SetTextColor(COLORREF color);
  // This object's escapement in tenths of a degree; takes effect on the
  // next TextOutA without a new layout.
  void SetParam_lfEscapement(long escapement);
  // For authors of markup: TextOutA also outlines every line box and every
  // construct box with a one-pixel line (lines blue, constructs magenta).
  void SetDebugBoxes(bool on);

  class Engine;

 private:
  std::unique_ptr<Engine> m_engine;
};
