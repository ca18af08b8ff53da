// A start tag's properties: the per-tag defaults, then its attributes from
// left to right, where "style" carries declarations of its own.
#include "engine/engine.h"
#include "engine/numbers.h"
#include "engine/saturate.h"
#include "lexaro/color.h"

using namespace lexaro::engine;

namespace {

bool IsBox(LX_TAG_CODE c) { return c == LX_TC_DIV || c == LX_TC_SUP || c == LX_TC_SUB; }
bool IsScript(LX_TAG_CODE c) { return c >= LX_TC_TOP && c <= LX_TC_RTB; }
bool IsPartTag(LX_TAG_CODE c) { return IsScript(c) || (c >= LX_TC_FRAC && c <= LX_TC_PAREN); }

const LX_CNG_PTAG& Row(LX_TAG_CODE code) { return kPTagCng[code - 1]; }

void SetGeometry(LX_TAG_PROPERTY* prop, const LX_CNG_PTAG& row) {
  prop->style.position = row.position;
  prop->style.margin = row.margin;
  prop->style.padding = row.padding;
}

// The vertical position of a positioned script's part.
int ScriptPartY(LX_TAG_CODE code, long part, const ClassParams& p) {
  switch (code) {
    case LX_TC_TOP: return p.Top_positionY;
    case LX_TC_BTM: return p.Btm_positionY;
    case LX_TC_RTOP: return p.RTop_positionY;
    case LX_TC_RBTM: return p.RBtm_positionY;
    case LX_TC_TB: return part == 1 ? p.Btm_positionY : p.Top_positionY;
    default: return part == 1 ? p.RBtm_positionY : p.RTop_positionY;  // RTB
  }
}

void SetPartDefaults(LX_TAG_PROPERTY* prop, LX_TAG_CODE code, COLORREF text, long part,
                     const ClassParams& p) {
  if (part == -1)
    SetGeometry(prop, Row(code));
  else
    prop->style.position = CPoint(), prop->style.margin = CRect(), prop->style.padding = CRect();
  prop->hAlign = Row(code).hAlign;
  prop->bgColor = CLR_TRANSPARENT;
  prop->style.border.SetData(DE_PS_SOLID, 0, text);
  CRect& margin = prop->style.margin;
  switch (code) {
    case LX_TC_FRAC:
      if (part == -1) {
        prop->color = text;
      } else {
        margin.left = margin.right = p.Frac_marginX;
        (part == 0 ? margin.bottom : margin.top) = p.Frac_marginBar;
      }
      break;
    case LX_TC_SQRT: prop->color = text; break;
    case LX_TC_SQRTN:
      if (part == -1) {
        prop->size = p.Sub_ptRatio;
        prop->color = text;
      } else if (part == 0) {
        margin.top = p.Sqrt_marginTop;
        margin.left = margin.right = p.Sqrt_marginX;
      }
      break;
    case LX_TC_PAREN:
      prop->color = text;
      prop->type = "(,)";
      break;
    default:  // the positioned scripts
      if (part == -1)
        prop->size = p.Sub_ptRatio;
      else if (part != 0)
        prop->style.position.y = ScriptPartY(code, part, p);
      break;
  }
}

// Attributes and declarations may repeat: their sums saturate.
void Add(int& to, long long value) { to = Sat(to + value); }

// Values of the four sides (top, right, bottom, left) from 1 to 4 values.
template <typename T>
void Sides(const T* v, int n, T* top, T* right, T* bottom, T* left) {
  *top = v[0];
  *right = n >= 2 ? v[1] : v[0];
  *bottom = n >= 3 ? v[2] : v[0];
  *left = n >= 4 ? v[3] : n >= 2 ? v[1] : v[0];
}

// The pen of one side for the side-specific style names, in the order the
// names list them: top, bottom, left, right.
CPenData& Side(CBorderData& b, int index) {
  switch (index) {
    case 0: return b.m_top;
    case 1: return b.m_bottom;
    case 2: return b.m_left;
    default: return b.m_right;
  }
}

int& MarginSide(CRect& r, int index) {
  switch (index) {
    case 0: return r.top;
    case 1: return r.bottom;
    case 2: return r.left;
    default: return r.right;
  }
}

}  // namespace

void CLexaro::Engine::SetDefaultTagProperty(LX_TAG_PROPERTY* prop, LX_TAG_CODE code,
                                            const LX_TXT_STATE* state, long part,
                                            const LX_TAG_PROPERTY* parent) const {
  const ClassParams& p = Params();
  COLORREF text = state->txtclr;
  if (IsBox(code)) {
    prop->hAlign = Row(code).hAlign;
    SetGeometry(prop, Row(code));
    prop->bgColor = CLR_TRANSPARENT;
    prop->style.border.SetData(DE_PS_SOLID, 0, text);
    if (code != LX_TC_DIV) prop->size = p.Sub_ptRatio;
  } else if (IsPartTag(code)) {
    SetPartDefaults(prop, code, text, part, p);
  } else if (code == LX_TC_TABLE) {
    prop->hAlign = Row(code).hAlign;
    prop->vAlign = p.Table_vAlign;
    prop->width = prop->height = 0;
    prop->bgColor = CLR_TRANSPARENT;
    SetGeometry(prop, Row(code));
    prop->style.border.SetData(DE_PS_SOLID, 0, text);
  } else if (code == LX_TC_TR && parent) {
    prop->hAlign = parent->hAlign;
    prop->vAlign = parent->vAlign;
    prop->width = parent->width;
    prop->height = parent->height;
    prop->bgColor = parent->bgColor;
    prop->style.padding = parent->style.padding;
    prop->style.border = parent->style.border;
    prop->style.position = Row(code).position;
    prop->style.margin = Row(code).margin;
  } else if (code == LX_TC_TD && parent) {
    *prop = *parent;
  } else if (code == LX_TC_FONT) {
    prop->size = 0.0;
    prop->color = CLR_TRANSPARENT;
    prop->face = "";
  }
}

void CLexaro::Engine::GetTagProperty(LX_TAG_PROPERTY* prop) {
  for (std::string_view piece = GetTagToken(-1); !piece.empty(); piece = GetTagToken(-1)) {
    CString token(piece);
    CStringTool split;
    CString name = split.GetToken(&token, "=", 0);
    CString value = split.GetToken(nullptr, "\"", 0);
    NoteAttribute(token, name, value);
    switch (GetTagPropertyCode(name)) {
      case LX_PROP_SIZE: prop->size += ReadDecimal(value); break;
      case LX_PROP_COLOR: prop->color = GetCOLORREF(value); break;
      case LX_PROP_FACE: prop->face = value; break;
      case LX_PROP_ALIGN: GetHAlign(prop, &value); break;
      case LX_PROP_VALIGN: GetVAlign(prop, &value); break;
      case LX_PROP_WIDTH: prop->width = ReadInt(value); break;
      case LX_PROP_HEIGHT: prop->height = ReadInt(value); break;
      case LX_PROP_CELLPADDING: {
        int n = ReadInt(value);
        Add(prop->style.padding.left, n);
        Add(prop->style.padding.top, n);
        Add(prop->style.padding.right, n);
        Add(prop->style.padding.bottom, n);
        break;
      }
      case LX_PROP_BORDER: prop->style.border.SetWidth(ReadInt(value)); break;
      case LX_PROP_BORDERCOLOR: prop->style.border.SetColor(GetCOLORREF(value)); break;
      case LX_PROP_BGCOLOR: prop->bgColor = GetCOLORREF(value); break;
      case LX_PROP_TYPE: prop->type = value; break;
      case LX_PROP_STYLE: GetTagStyle(&prop->style, &value); break;
      default: break;  // not an attribute name
    }
  }
}

void CLexaro::Engine::GetHAlign(LX_TAG_PROPERTY* prop, const CString* value) {
  for (int i = 0; i < 4; ++i)
    if (*value == kHAlignTable[i]) prop->hAlign = LX_HALIGN_CODE(i);
}

void CLexaro::Engine::GetVAlign(LX_TAG_PROPERTY* prop, const CString* value) {
  for (int i = 0; i < 4; ++i)
    if (*value == kVAlignTable[i]) prop->vAlign = LX_VALIGN_CODE(i);
}

void CLexaro::Engine::GetTagStyle(LX_TAG_STYLE* style, const CString* value) {
  CStringTool declarations, items;
  for (CString decl = declarations.GetToken_Ex(value, ";", '\'', 0); !decl.IsEmpty();
       decl = declarations.GetToken_Ex(nullptr, ";", '\'', 0)) {
    int code = GetTagStyleCode(items.GetToken_Ex(&decl, ": ", '\'', 0));
    if (code < 0) continue;
    // A value may be quoted ('rgb(1, 2, 3)' keeps its commas and spaces);
    // the quotes themselves are not part of it.
    auto next = [&] {
      CString v = items.GetToken_Ex(nullptr, ": ,", '\'', 0);
      v.Remove('\'');
      return v;
    };
    // Up to four values for the properties that take one per side.
    CString values[4];
    int n = 0;
    bool fourSided = code == LX_STYLE_POSITION || code == LX_STYLE_MARGIN ||
                     code == LX_STYLE_PADDING || code == LX_STYLE_BORDER_WIDTH ||
                     code == LX_STYLE_BORDER_STYLE || code == LX_STYLE_BORDER_COLOR;
    if (fourSided) {
      while (n < 4 && !(values[n] = next()).IsEmpty()) ++n;
      if (n == 0) continue;
    }
    int nums[4] = {};
    for (int i = 0; i < n; ++i) nums[i] = ReadInt(values[i]);
    CBorderData& b = style->border;
    switch (code) {
      case LX_STYLE_POSITION:
        Add(style->position.y, nums[0]);
        if (n >= 2) Add(style->position.x, nums[1]);
        break;
      case LX_STYLE_MARGIN:
      case LX_STYLE_PADDING: {
        CRect& r = code == LX_STYLE_MARGIN ? style->margin : style->padding;
        int t, rt, bt, l;
        Sides(nums, n, &t, &rt, &bt, &l);
        Add(r.top, t), Add(r.right, rt), Add(r.bottom, bt), Add(r.left, l);
        break;
      }
      case LX_STYLE_MARGIN_TOP: case LX_STYLE_MARGIN_BOTTOM:
      case LX_STYLE_MARGIN_LEFT: case LX_STYLE_MARGIN_RIGHT:
        Add(MarginSide(style->margin, code - LX_STYLE_MARGIN_TOP), ReadInt(next()));
        break;
      case LX_STYLE_PADDING_TOP: case LX_STYLE_PADDING_BOTTOM:
      case LX_STYLE_PADDING_LEFT: case LX_STYLE_PADDING_RIGHT:
        Add(MarginSide(style->padding, code - LX_STYLE_PADDING_TOP), ReadInt(next()));
        break;
      case LX_STYLE_BORDER:
      case LX_STYLE_BORDER_TOP: case LX_STYLE_BORDER_BOTTOM:
      case LX_STYLE_BORDER_LEFT: case LX_STYLE_BORDER_RIGHT: {
        int width = ReadInt(next());
        auto penStyle = DE_PENSTYLE_CODE(m_dcEx.GetPStyleCode(next()));
        COLORREF color = GetCOLORREF(next());
        if (code == LX_STYLE_BORDER)
          b.SetData(penStyle, width, color);
        else
          Side(b, code - LX_STYLE_BORDER_TOP).SetData(penStyle, width, color);
        break;
      }
      case LX_STYLE_BORDER_WIDTH:
        Sides(nums, n, &b.m_top.m_width, &b.m_right.m_width, &b.m_bottom.m_width, &b.m_left.m_width);
        break;
      case LX_STYLE_BORDER_STYLE: {
        DE_PENSTYLE_CODE s[4] = {};
        for (int i = 0; i < n; ++i) s[i] = DE_PENSTYLE_CODE(m_dcEx.GetPStyleCode(values[i]));
        Sides(s, n, &b.m_top.m_style, &b.m_right.m_style, &b.m_bottom.m_style, &b.m_left.m_style);
        break;
      }
      case LX_STYLE_BORDER_COLOR: {
        COLORREF c[4] = {};
        for (int i = 0; i < n; ++i) c[i] = GetCOLORREF(values[i]);
        Sides(c, n, &b.m_top.m_color, &b.m_right.m_color, &b.m_bottom.m_color, &b.m_left.m_color);
        break;
      }
      case LX_STYLE_BORDER_WIDTH_TOP: case LX_STYLE_BORDER_WIDTH_BOTTOM:
      case LX_STYLE_BORDER_WIDTH_LEFT: case LX_STYLE_BORDER_WIDTH_RIGHT:
        Side(b, code - LX_STYLE_BORDER_WIDTH_TOP).m_width = ReadInt(next());
        break;
      case LX_STYLE_BORDER_STYLE_TOP: case LX_STYLE_BORDER_STYLE_BOTTOM:
      case LX_STYLE_BORDER_STYLE_LEFT: case LX_STYLE_BORDER_STYLE_RIGHT:
        Side(b, code - LX_STYLE_BORDER_STYLE_TOP).m_style = DE_PENSTYLE_CODE(m_dcEx.GetPStyleCode(next()));
        break;
      default:  // the four border colour sides
        Side(b, code - LX_STYLE_BORDER_COLOR_TOP).m_color = GetCOLORREF(next());
        break;
    }
  }
}

void CLexaro::Engine::GetParenType(LX_PAREN_CODE* left, LX_PAREN_CODE* right, const CString& type) {
  CStringTool split;
  *left = GetParenCode(split.GetToken(&type, " ,", 0));
  *right = GetParenCode(split.GetToken(nullptr, " ,", 0));
}
