#include "engine/vocabulary.h"

#include "lexaro/font_tool.h"

namespace lexaro::engine {

const LX_TAG_TABLE kTagTable[LX_TC_FIRST_SYMBOL] = {
    {"BR", ""},       {"DIV", "/DIV"},     {"SUP", "/SUP"},     {"SUB", "/SUB"},
    {"S", "/S"},      {"TOP", "/TOP"},     {"BTM", "/BTM"},     {"TB", "/TB"},
    {"RTOP", "/RTOP"}, {"RBTM", "/RBTM"},  {"RTB", "/RTB"},     {"TABLE", "/TABLE"},
    {"TR", "/TR"},    {"TD", "/TD"},       {"FRAC", "/FRAC"},   {"SQRT", "/SQRT"},
    {"SQRTN", "/SQRTN"}, {"PAREN", "/PAREN"}, {"FONT", ""},     {"/FONT", ""},
    {"B", ""},        {"/B", ""},          {"I", ""},           {"/I", ""},
    {"U", ""},        {"/U", ""},          {"LEFT", ""},        {"CENTER", ""},
    {"RIGHT", ""},    {"JUSTIFY", ""},     {"VTOP", ""},        {"VMIDDLE", ""},
    {"VBOTTOM", ""},  {"VBASELINE", ""},
};

namespace {

// The symbol fonts; Greek letters keep the surrounding italic state.
constexpr LX_CNG_FONT kSymbol{SYMBOL_CHARSET, "Symbol", -1, -1, -1};
constexpr LX_CNG_FONT kSymbolKeepItalic{SYMBOL_CHARSET, "Symbol", -1, 0, -1};
constexpr LX_CNG_FONT kTimes{ANSI_CHARSET, "Times New Roman", -1, -1, -1};
constexpr LX_CNG_FONT kWingdings{SYMBOL_CHARSET, "Wingdings", -1, -1, -1};

}  // namespace

// Name, character, escapement, font, offset (x, y), margin.
const LX_CNG_CTAG kCTagCng[kSymbolCount] = {
    {"alpha", 97, 0, kSymbolKeepItalic, {0, 0}, 0},  // 34 α
    {"beta", 98, 0, kSymbolKeepItalic, {0, 0}, 0},  // 35 β
    {"gamma", 103, 0, kSymbolKeepItalic, {0, 0}, 0},  // 36 γ
    {"delta", 100, 0, kSymbolKeepItalic, {0, 0}, 0},  // 37 δ
    {"epsilon", 101, 0, kSymbolKeepItalic, {0, 0}, 0},  // 38 ε
    {"zeta", 122, 0, kSymbolKeepItalic, {0, 0}, 0},  // 39 ζ
    {"eta", 104, 0, kSymbolKeepItalic, {0, 0}, 0},  // 40 η
    {"theta", 113, 0, kSymbolKeepItalic, {0, 0}, 0},  // 41 θ
    {"iota", 105, 0, kSymbolKeepItalic, {0, 0}, 0},  // 42 ι
    {"kappa", 107, 0, kSymbolKeepItalic, {0, 0}, 0},  // 43 κ
    {"lambda", 108, 0, kSymbolKeepItalic, {0, 0}, 0},  // 44 λ
    {"mu", 109, 0, kSymbolKeepItalic, {0, 0}, 0},  // 45 μ
    {"nu", 110, 0, kSymbolKeepItalic, {0, 0}, 0},  // 46 ν
    {"omicron", 111, 0, kSymbolKeepItalic, {0, 0}, 0},  // 47 ο
    {"xi", 120, 0, kSymbolKeepItalic, {0, 0}, 0},  // 48 ξ
    {"pi", 112, 0, kSymbolKeepItalic, {0, 0}, 0},  // 49 π
    {"rho", 114, 0, kSymbolKeepItalic, {0, 0}, 0},  // 50 ρ
    {"sigma", 115, 0, kSymbolKeepItalic, {0, 0}, 0},  // 51 σ
    {"tau", 116, 0, kSymbolKeepItalic, {0, 0}, 0},  // 52 τ
    {"upsilon", 117, 0, kSymbolKeepItalic, {0, 0}, 0},  // 53 υ
    {"phi", 102, 0, kSymbolKeepItalic, {0, 0}, 0},  // 54 φ
    {"chi", 99, 0, kSymbolKeepItalic, {0, 0}, 0},  // 55 χ
    {"psi", 121, 0, kSymbolKeepItalic, {0, 0}, 0},  // 56 ψ
    {"omega", 119, 0, kSymbolKeepItalic, {0, 0}, 0},  // 57 ω
    {"vartheta", 74, 0, kSymbolKeepItalic, {0, 0}, 0},  // 58 ϑ
    {"varpi", 118, 0, kSymbolKeepItalic, {0, 0}, 0},  // 59 ϖ
    {"varsigma", 86, 0, kSymbolKeepItalic, {0, 0}, 0},  // 60 ς
    {"varphi", 106, 0, kSymbolKeepItalic, {0, 0}, 0},  // 61 ϕ
    {"Alpha", 65, 0, kSymbolKeepItalic, {0, 0}, 0},  // 62 Α
    {"Beta", 66, 0, kSymbolKeepItalic, {0, 0}, 0},  // 63 Β
    {"Gamma", 71, 0, kSymbolKeepItalic, {0, 0}, 0},  // 64 Γ
    {"Delta", 68, 0, kSymbolKeepItalic, {0, 0}, 0},  // 65 Δ
    {"Epsilon", 69, 0, kSymbolKeepItalic, {0, 0}, 0},  // 66 Ε
    {"Zeta", 90, 0, kSymbolKeepItalic, {0, 0}, 0},  // 67 Ζ
    {"Eta", 72, 0, kSymbolKeepItalic, {0, 0}, 0},  // 68 Η
    {"Theta", 81, 0, kSymbolKeepItalic, {0, 0}, 0},  // 69 Θ
    {"Iota", 73, 0, kSymbolKeepItalic, {0, 0}, 0},  // 70 Ι
    {"Kappa", 75, 0, kSymbolKeepItalic, {0, 0}, 0},  // 71 Κ
    {"Lambda", 76, 0, kSymbolKeepItalic, {0, 0}, 0},  // 72 Λ
    {"Mu", 77, 0, kSymbolKeepItalic, {0, 0}, 0},  // 73 Μ
    {"Nu", 78, 0, kSymbolKeepItalic, {0, 0}, 0},  // 74 Ν
    {"Omicron", 79, 0, kSymbolKeepItalic, {0, 0}, 0},  // 75 Ο
    {"Xi", 88, 0, kSymbolKeepItalic, {0, 0}, 0},  // 76 Ξ
    {"Pi", 80, 0, kSymbolKeepItalic, {0, 0}, 0},  // 77 Π
    {"Rho", 82, 0, kSymbolKeepItalic, {0, 0}, 0},  // 78 Ρ
    {"Sigma", 83, 0, kSymbolKeepItalic, {0, 0}, 0},  // 79 Σ
    {"Tau", 84, 0, kSymbolKeepItalic, {0, 0}, 0},  // 80 Τ
    {"Upsilon", 85, 0, kSymbolKeepItalic, {0, 0}, 0},  // 81 Υ
    {"Phi", 70, 0, kSymbolKeepItalic, {0, 0}, 0},  // 82 Φ
    {"Chi", 67, 0, kSymbolKeepItalic, {0, 0}, 0},  // 83 Χ
    {"Psi", 89, 0, kSymbolKeepItalic, {0, 0}, 0},  // 84 Ψ
    {"Omega", 87, 0, kSymbolKeepItalic, {0, 0}, 0},  // 85 Ω
    {"+", 43, 0, kSymbol, {0, 8}, 10},  // 86 +
    {"-", 45, 0, kSymbol, {0, 8}, 10},  // 87 −
    {"pm", 177, 0, kSymbol, {0, 8}, 10},  // 88 ±
    {"mp", 177, 1800, kSymbol, {54, 60}, 10},  // 89 ±
    {"times", 180, 0, kSymbol, {0, 8}, 10},  // 90 ×
    {"cdot", 215, 0, kSymbol, {0, 8}, 10},  // 91 ⋅
    {"div", 184, 0, kSymbol, {0, 8}, 10},  // 92 ÷
    {"ast", 42, 0, kSymbol, {0, 8}, 10},  // 93 ∗
    {"cup", 200, 0, kSymbol, {0, 8}, 10},  // 94 ∪
    {"cap", 199, 0, kSymbol, {0, 8}, 10},  // 95 ∩
    {"wedge", 217, 0, kSymbol, {0, 8}, 10},  // 96 ∧
    {"vee", 218, 0, kSymbol, {0, 8}, 10},  // 97 ∨
    {"oplus", 197, 0, kSymbol, {0, 8}, 10},  // 98 ⊕
    {"otimes", 196, 0, kSymbol, {0, 8}, 10},  // 99 ⊗
    {"oslush", 198, 0, kSymbol, {0, 8}, 10},  // 100 ∅
    {"bullet", 183, 0, kSymbol, {0, 8}, 10},  // 101 •
    {"dagger", 134, 0, kTimes, {0, 0}, 9},  // 102 †
    {"ddagger", 135, 0, kTimes, {0, 0}, 9},  // 103 ‡
    {"setminus", 92, 0, kTimes, {0, 0}, 9},  // 104 reverse solidus
    {"wr", 126, 900, kSymbol, {53, 0}, -8},  // 105 ∼
    {"amalg", 80, 1800, kSymbol, {77, 66}, 10},  // 106 Π
    {"sum", 229, 0, kSymbol, {0, 8}, 10},  // 107 ∑
    {"prod", 213, 0, kSymbol, {0, 8}, 10},  // 108 ∏
    {"int", 242, 0, kSymbol, {0, 8}, 10},  // 109 ∫
    {"lt", 60, 0, kSymbol, {0, 8}, 10},  // 110 <
    {"gt", 62, 0, kSymbol, {0, 8}, 10},  // 111 >
    {"=", 61, 0, kSymbol, {0, 8}, 10},  // 112 =
    {"equiv", 186, 0, kSymbol, {0, 8}, 10},  // 113 ≡
    {"leq", 163, 0, kSymbol, {0, 8}, 10},  // 114 ≤
    {"geq", 179, 0, kSymbol, {0, 8}, 10},  // 115 ≥
    {"sim", 126, 0, kSymbol, {0, 8}, 10},  // 116 ∼
    {"approx", 187, 0, kSymbol, {0, 8}, 10},  // 117 ≈
    {"in", 206, 0, kSymbol, {0, 8}, 10},  // 118 ∈
    {"ni", 206, 1800, kSymbol, {70, 55}, 10},  // 119 ∈
    {"cong", 64, 0, kSymbol, {0, 8}, 10},  // 120 ≅
    {"subset", 204, 0, kSymbol, {0, 8}, 10},  // 121 ⊂
    {"supset", 201, 0, kSymbol, {0, 8}, 10},  // 122 ⊃
    {"subseteq", 205, 0, kSymbol, {0, 8}, 10},  // 123 ⊆
    {"supseteq", 202, 0, kSymbol, {0, 8}, 10},  // 124 ⊇
    {"propto", 181, 0, kSymbol, {0, 8}, 10},  // 125 ∝
    {":", 58, 0, kSymbol, {0, 8}, 10},  // 126 :
    {"mid", 124, 0, kSymbol, {0, 8}, 10},  // 127 |
    {"perp", 94, 0, kSymbol, {0, 8}, 10},  // 128 ⊥
    {"notin", 207, 0, kSymbol, {0, 8}, 10},  // 129 ∉
    {"neq", 185, 0, kSymbol, {0, 8}, 10},  // 130 ≠
    {"gets", 172, 0, kSymbol, {0, 8}, 10},  // 131 ←
    {"to", 174, 0, kSymbol, {0, 8}, 10},  // 132 →
    {"uparrow", 173, 0, kSymbol, {0, 8}, 10},  // 133 ↑
    {"downarrow", 175, 0, kSymbol, {0, 8}, 10},  // 134 ↓
    {"leftrightarrow", 171, 0, kSymbol, {0, 8}, 10},  // 135 ↔
    {"updownarrow", 171, 900, kSymbol, {77, -24}, -12},  // 136 ↔
    {"Leftarrow", 220, 0, kSymbol, {0, 8}, 10},  // 137 ⇐
    {"Rightarrow", 222, 0, kSymbol, {0, 8}, 10},  // 138 ⇒
    {"Uparrow", 221, 0, kSymbol, {0, 8}, 10},  // 139 ⇑
    {"Downarrow", 223, 0, kSymbol, {0, 8}, 10},  // 140 ⇓
    {"Leftrightarrow", 219, 0, kSymbol, {0, 8}, 10},  // 141 ⇔
    {"Updownarrow", 219, 900, kSymbol, {77, -24}, -12},  // 142 ⇔
    {"wp", 195, 0, kSymbol, {0, 0}, 0},  // 143 ℘
    {"Re", 194, 0, kSymbol, {0, 0}, 0},  // 144 ℜ
    {"Im", 193, 0, kSymbol, {0, 0}, 0},  // 145 ℑ
    {"partial", 182, 0, kSymbol, {0, 0}, 0},  // 146 ∂
    {"infty", 165, 0, kSymbol, {0, 0}, 0},  // 147 ∞
    {"backslash", 92, 0, kTimes, {0, 0}, 0},  // 148 reverse solidus
    {"forall", 34, 0, kSymbol, {0, 0}, 0},  // 149 ∀
    {"exists", 36, 0, kSymbol, {0, 0}, 0},  // 150 ∃
    {"smallint", 242, 0, kSymbol, {0, 0}, 0},  // 151 ∫
    {"surd", 252, 0, kWingdings, {0, 0}, 0},  // 152 check mark
    {"top", 94, 1800, kSymbol, {65, 66}, 0},  // 153 ⊥
    {"bot", 94, 0, kSymbol, {0, 0}, 0},  // 154 ⊥
    {"Pp", 182, 0, kTimes, {0, 0}, 0},  // 155 ¶
    {"Ss", 167, 0, kTimes, {0, 0}, 0},  // 156 §
    {"sharp", 35, 0, kSymbol, {0, 0}, 0},  // 157 #
    {"angle", 208, 0, kSymbol, {0, 0}, 0},  // 158 ∠
    {"clubsuit", 167, 0, kSymbol, {0, 0}, 0},  // 159 ♣
    {"diamondsuit", 168, 0, kSymbol, {0, 0}, 0},  // 160 ♦
    {"heartsuit", 169, 0, kSymbol, {0, 0}, 0},  // 161 ♥
    {"spadesuit", 170, 0, kSymbol, {0, 0}, 0},  // 162 ♠
    {"neg", 216, 0, kSymbol, {0, 0}, 0},  // 163 ¬
    {"nabla", 209, 0, kSymbol, {0, 0}, 0},  // 164 ∇
    {"varnothing", 198, 0, kSymbol, {0, 0}, 0},  // 165 ∅
    {"lozenge", 224, 0, kSymbol, {0, 0}, 0},  // 166 ◊
    {"bigstar", 171, 0, kWingdings, {0, 0}, 0},  // 167 black star
    {"eth", 240, 0, kTimes, {0, 0}, 0},  // 168 ð
    {"copyright", 211, 0, kSymbol, {0, 0}, 0},  // 169 ©
    {"textregistered", 210, 0, kSymbol, {0, 0}, 0},  // 170 ®
    {"texttrademark", 212, 0, kSymbol, {0, 0}, 0},  // 171 ™
    {"dots", 188, 0, kSymbol, {0, 0}, 0},  // 172 …
    {"cdots", 188, 0, kSymbol, {0, 30}, 0},  // 173 …
    {"vdots", 188, 900, kSymbol, {52, -16}, -15},  // 174 …
    {"ddots", 188, -450, kSymbol, {9, 61}, 0},  // 175 …
    {"iddots", 188, 450, kSymbol, {17, -10}, 0},  // 176 …
    {"'", 162, 0, kSymbol, {0, 0}, 0},  // 177 ′
    {"euro", 128, 0, kTimes, {0, 0}, 0},  // 178 €
};

const char* const kTagPropertyTable[13] = {
    "size", "color", "face", "align", "valign", "width", "height",
    "cellpadding", "border", "bordercolor", "bgcolor", "type", "style"};

const char* const kTagStyleTable[31] = {
    "position", "margin", "margin-top", "margin-bottom", "margin-left", "margin-right",
    "padding", "padding-top", "padding-bottom", "padding-left", "padding-right",
    "border", "border-top", "border-bottom", "border-left", "border-right",
    "border-width", "border-width-top", "border-width-bottom", "border-width-left",
    "border-width-right", "border-style", "border-style-top", "border-style-bottom",
    "border-style-left", "border-style-right", "border-color", "border-color-top",
    "border-color-bottom", "border-color-left", "border-color-right"};

const char* const kHAlignTable[4] = {"left", "center", "right", "justify"};
const char* const kVAlignTable[4] = {"top", "middle", "bottom", "baseline"};

// Alignment, position (x, y), margin and padding (left, top, right, bottom).
const LX_CNG_PTAG kPTagCng[17] = {
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // DIV
    {LX_HA_LEFT, {0, 2}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // SUP
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // SUB
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // S
    {LX_HA_CENTER, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},        // TOP
    {LX_HA_CENTER, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},        // BTM
    {LX_HA_CENTER, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},        // TB
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // RTOP
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // RBTM
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // RTB
    {LX_HA_CENTER, {0, 0}, {-10, -20, -10, -20}, {20, 20, 20, 20}},  // TABLE
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // TR
    {LX_HA_LEFT, {0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},          // TD
    {LX_HA_CENTER, {0, 0}, {10, 0, 10, 0}, {0, 0, 0, 0}},      // FRAC
    {LX_HA_LEFT, {0, 0}, {10, 0, 10, 0}, {0, 0, 0, 0}},        // SQRT
    {LX_HA_LEFT, {0, 0}, {10, 0, 10, 0}, {0, 0, 0, 0}},        // SQRTN
    {LX_HA_LEFT, {0, 0}, {10, 0, 10, 0}, {0, 0, 0, 0}},        // PAREN
};

// Name, single glyph, top, middle, bottom, extension, font, height, width
// and descent ratios; the codes are those of the Symbol font.
const LX_CNG_PAREN kParenCng[9] = {
    {"_", 0, 0, 124, 0, 0, kSymbol, 15, 0, -70},
    {"(", 40, 230, 231, 232, 0, kSymbol, 15, 0, -70},
    {")", 41, 246, 247, 248, 0, kSymbol, 15, 0, -70},
    {"{", 123, 236, 237, 238, 239, kSymbol, 15, 0, -70},
    {"}", 125, 252, 253, 254, 239, kSymbol, 15, 0, -70},
    {"[", 91, 233, 234, 235, 0, kSymbol, 15, 0, -70},
    {"]", 93, 249, 250, 251, 0, kSymbol, 15, 0, -70},
    {"|", 0, 0, 231, 0, 0, kSymbol, 15, 0, -70},
    {"||", 0, 0, 239, 0, 0, kSymbol, 20, 0, -70},
};

const LX_CNG_FONT kSqrtFont = kSymbol;

const char* StartTagName(int code) {
  if (code >= 0 && code < LX_TC_FIRST_SYMBOL) return kTagTable[code].sTag;
  if (code >= LX_TC_FIRST_SYMBOL && code < kTagCount) return kCTagCng[code - LX_TC_FIRST_SYMBOL].name;
  return "";
}

const char* EndTagName(int code) {
  return code >= 0 && code < LX_TC_FIRST_SYMBOL ? kTagTable[code].eTag : "";
}

ClassParams& Params() {
  static ClassParams params = [] {
    ClassParams p;
    CFontTool tool;
    tool.SetLOGFONT(&p.def_lf, -20, "ＭＳ ゴシック", SHIFTJIS_CHARSET, 0);
    return p;
  }();
  return params;
}

std::atomic<unsigned>& ParamsGeneration() {
  static std::atomic<unsigned> generation{1};
  return generation;
}

}  // namespace lexaro::engine
