#include "tex/commands.h"

#include <span>
#include <string>
#include <utility>
#include <unordered_map>

namespace lexaro::tex {

namespace {

using K = Kind;
using C = Cls;

// Greek letters: the lowercase ones follow the letter style (italic), the
// capitals stay upright, as TeX sets them.
#define GREEK(name, code) {name, K::kSymbol, "<" name ">", C::kOrd, 1, code}
#define UPPER(name, code) {name, K::kSymbol, "<" name ">", C::kOrd, 0, code}
#define SYM(name, markup, cls, code) {name, K::kSymbol, markup, C::cls, 0, code}
#define FN(name, limits) {name, K::kFunction, name, C::kOp, limits, 0}

const Command kCommands[] = {
    GREEK("alpha", 0x3B1), GREEK("beta", 0x3B2), GREEK("gamma", 0x3B3), GREEK("delta", 0x3B4),
    // The vocabulary's epsilon is TeX's \varepsilon; \epsilon is the lunate one.
    {"epsilon", K::kSymbol, "ϵ", C::kOrd, 1, 0x3F5}, {"varepsilon", K::kSymbol, "<epsilon>", C::kOrd, 1, 0x3B5},
    GREEK("zeta", 0x3B6), GREEK("eta", 0x3B7), GREEK("theta", 0x3B8), GREEK("iota", 0x3B9),
    GREEK("kappa", 0x3BA), GREEK("lambda", 0x3BB), GREEK("mu", 0x3BC), GREEK("nu", 0x3BD),
    GREEK("omicron", 0x3BF), GREEK("xi", 0x3BE), GREEK("pi", 0x3C0), GREEK("rho", 0x3C1),
    GREEK("sigma", 0x3C3), GREEK("tau", 0x3C4), GREEK("upsilon", 0x3C5), GREEK("phi", 0x3D5),
    GREEK("chi", 0x3C7), GREEK("psi", 0x3C8), GREEK("omega", 0x3C9), GREEK("vartheta", 0x3D1),
    GREEK("varpi", 0x3D6), GREEK("varsigma", 0x3C2), GREEK("varphi", 0x3C6),
    UPPER("Alpha", 0x391), UPPER("Beta", 0x392), UPPER("Gamma", 0x393), UPPER("Delta", 0x394),
    UPPER("Epsilon", 0x395), UPPER("Zeta", 0x396), UPPER("Eta", 0x397), UPPER("Theta", 0x398),
    UPPER("Iota", 0x399), UPPER("Kappa", 0x39A), UPPER("Lambda", 0x39B), UPPER("Mu", 0x39C),
    UPPER("Nu", 0x39D), UPPER("Omicron", 0x39F), UPPER("Xi", 0x39E), UPPER("Pi", 0x3A0),
    UPPER("Rho", 0x3A1), UPPER("Sigma", 0x3A3), UPPER("Tau", 0x3A4), UPPER("Upsilon", 0x3A5),
    UPPER("Phi", 0x3A6), UPPER("Chi", 0x3A7), UPPER("Psi", 0x3A8), UPPER("Omega", 0x3A9),
    // Characters typed directly that are vocabulary symbols.
    SYM("", "<+>", kBin, '+'), SYM("", "<->", kBin, '-'), SYM("", "<->", kBin, 0x2212),
    SYM("", "<=>", kRel, '='), SYM("", "<lt>", kRel, '<'), SYM("", "<gt>", kRel, '>'),
    SYM("", "<ast>", kBin, '*'), SYM("", "<:>", kRel, ':'), SYM("", "<cdot>", kBin, 0xB7),
    // Binary operators.
    SYM("pm", "<pm>", kBin, 0xB1), SYM("mp", "<mp>", kBin, 0x2213), SYM("times", "<times>", kBin, 0xD7),
    SYM("cdot", "<cdot>", kBin, 0x22C5), SYM("div", "<div>", kBin, 0xF7), SYM("ast", "<ast>", kBin, 0x2217),
    SYM("cup", "<cup>", kBin, 0x222A), SYM("cap", "<cap>", kBin, 0x2229), SYM("wedge", "<wedge>", kBin, 0x2227),
    SYM("land", "<wedge>", kBin, 0), SYM("vee", "<vee>", kBin, 0x2228), SYM("lor", "<vee>", kBin, 0),
    SYM("oplus", "<oplus>", kBin, 0x2295), SYM("otimes", "<otimes>", kBin, 0x2297),
    SYM("bullet", "<bullet>", kBin, 0x2022), SYM("dagger", "<dagger>", kBin, 0x2020),
    SYM("ddagger", "<ddagger>", kBin, 0x2021), SYM("setminus", "<setminus>", kBin, 0x2216),
    SYM("wr", "<wr>", kBin, 0x2240), SYM("amalg", "<amalg>", kBin, 0x2A3F),
    SYM("circ", "∘", kBin, 0x2218), SYM("star", "⋆", kBin, 0x22C6), SYM("diamond", "⋄", kBin, 0x22C4),
    SYM("odot", "⊙", kBin, 0x2299), SYM("ominus", "⊖", kBin, 0x2296), SYM("oslash", "⊘", kBin, 0x2298),
    SYM("sqcup", "⊔", kBin, 0x2294), SYM("sqcap", "⊓", kBin, 0x2293), SYM("uplus", "⊎", kBin, 0x228E),
    SYM("triangleleft", "◁", kBin, 0x25C1), SYM("triangleright", "▷", kBin, 0x25B7),
    SYM("bigcirc", "◯", kBin, 0x25EF),
    // Relations.
    SYM("equiv", "<equiv>", kRel, 0x2261), SYM("leq", "<leq>", kRel, 0x2264), SYM("le", "<leq>", kRel, 0),
    SYM("geq", "<geq>", kRel, 0x2265), SYM("ge", "<geq>", kRel, 0), SYM("leqslant", "<leq>", kRel, 0x2A7D),
    SYM("geqslant", "<geq>", kRel, 0x2A7E), SYM("sim", "<sim>", kRel, 0x223C),
    SYM("approx", "<approx>", kRel, 0x2248), SYM("in", "<in>", kRel, 0x2208), SYM("ni", "<ni>", kRel, 0x220B),
    SYM("owns", "<ni>", kRel, 0), SYM("cong", "<cong>", kRel, 0x2245), SYM("subset", "<subset>", kRel, 0x2282),
    SYM("supset", "<supset>", kRel, 0x2283), SYM("subseteq", "<subseteq>", kRel, 0x2286),
    SYM("supseteq", "<supseteq>", kRel, 0x2287), SYM("propto", "<propto>", kRel, 0x221D),
    SYM("mid", "<mid>", kRel, 0x2223), SYM("perp", "<perp>", kRel, 0x27C2), SYM("notin", "<notin>", kRel, 0x2209),
    SYM("neq", "<neq>", kRel, 0x2260), SYM("ne", "<neq>", kRel, 0), SYM("gets", "<gets>", kRel, 0x2190),
    SYM("leftarrow", "<gets>", kRel, 0), SYM("to", "<to>", kRel, 0x2192), SYM("rightarrow", "<to>", kRel, 0),
    SYM("uparrow", "<uparrow>", kRel, 0x2191), SYM("downarrow", "<downarrow>", kRel, 0x2193),
    SYM("leftrightarrow", "<leftrightarrow>", kRel, 0x2194), SYM("updownarrow", "<updownarrow>", kRel, 0x2195),
    SYM("Leftarrow", "<Leftarrow>", kRel, 0x21D0), SYM("Rightarrow", "<Rightarrow>", kRel, 0x21D2),
    SYM("Uparrow", "<Uparrow>", kRel, 0x21D1), SYM("Downarrow", "<Downarrow>", kRel, 0x21D3),
    SYM("Leftrightarrow", "<Leftrightarrow>", kRel, 0x21D4), SYM("Updownarrow", "<Updownarrow>", kRel, 0x21D5),
    SYM("implies", "<Rightarrow>", kRel, 0), SYM("impliedby", "<Leftarrow>", kRel, 0),
    SYM("iff", "<Leftrightarrow>", kRel, 0),
    SYM("ll", "≪", kRel, 0x226A), SYM("gg", "≫", kRel, 0x226B), SYM("simeq", "≃", kRel, 0x2243),
    SYM("asymp", "≍", kRel, 0x224D), SYM("doteq", "≐", kRel, 0x2250), SYM("prec", "≺", kRel, 0x227A),
    SYM("succ", "≻", kRel, 0x227B), SYM("preceq", "⪯", kRel, 0x2AAF), SYM("succeq", "⪰", kRel, 0x2AB0),
    SYM("subsetneq", "⊊", kRel, 0x228A), SYM("supsetneq", "⊋", kRel, 0x228B),
    SYM("sqsubseteq", "⊑", kRel, 0x2291), SYM("sqsupseteq", "⊒", kRel, 0x2292),
    SYM("vdash", "⊢", kRel, 0x22A2), SYM("dashv", "⊣", kRel, 0x22A3), SYM("models", "⊨", kRel, 0x22A8),
    SYM("parallel", "∥", kRel, 0x2225), SYM("nparallel", "∦", kRel, 0x2226), SYM("nmid", "∤", kRel, 0x2224),
    SYM("mapsto", "↦", kRel, 0x21A6), SYM("longmapsto", "⟼", kRel, 0x27FC),
    SYM("longrightarrow", "⟶", kRel, 0x27F6), SYM("longleftarrow", "⟵", kRel, 0x27F5),
    SYM("longleftrightarrow", "⟷", kRel, 0x27F7), SYM("Longrightarrow", "⟹", kRel, 0x27F9),
    SYM("Longleftarrow", "⟸", kRel, 0x27F8), SYM("Longleftrightarrow", "⟺", kRel, 0x27FA),
    SYM("hookrightarrow", "↪", kRel, 0x21AA), SYM("hookleftarrow", "↩", kRel, 0x21A9),
    SYM("rightleftharpoons", "⇌", kRel, 0x21CC), SYM("leftrightharpoons", "⇋", kRel, 0x21CB),
    SYM("rightharpoonup", "⇀", kRel, 0x21C0), SYM("leftharpoonup", "↼", kRel, 0x21BC),
    SYM("rightleftarrows", "⇄", kRel, 0x21C4), SYM("nearrow", "↗", kRel, 0x2197),
    SYM("searrow", "↘", kRel, 0x2198), SYM("nwarrow", "↖", kRel, 0x2196), SYM("swarrow", "↙", kRel, 0x2199),
    SYM("leadsto", "⇝", kRel, 0x21DD), SYM("therefore", "∴", kRel, 0x2234), SYM("because", "∵", kRel, 0x2235),
    SYM("nleq", "≰", kRel, 0x2270), SYM("ngeq", "≱", kRel, 0x2271), SYM("nless", "≮", kRel, 0x226E),
    SYM("ngtr", "≯", kRel, 0x226F), SYM("nsim", "≁", kRel, 0x2241), SYM("ncong", "≇", kRel, 0x2247),
    SYM("nsubseteq", "⊈", kRel, 0x2288), SYM("nsupseteq", "⊉", kRel, 0x2289),
    SYM("approxeq", "≊", kRel, 0x224A), SYM("lesssim", "≲", kRel, 0x2272), SYM("gtrsim", "≳", kRel, 0x2273),
    SYM("coloneqq", "≔", kRel, 0x2254), SYM("triangleq", "≜", kRel, 0x225C),
    // Ordinary symbols.
    SYM("wp", "<wp>", kOrd, 0x2118), SYM("Re", "<Re>", kOrd, 0x211C), SYM("Im", "<Im>", kOrd, 0x2111),
    SYM("partial", "<partial>", kOrd, 0x2202), SYM("infty", "<infty>", kOrd, 0x221E),
    SYM("backslash", "<backslash>", kOrd, 0), SYM("forall", "<forall>", kOrd, 0x2200),
    SYM("exists", "<exists>", kOrd, 0x2203), SYM("smallint", "<smallint>", kOrd, 0),
    SYM("surd", "√", kOrd, 0x221A), SYM("top", "<top>", kOrd, 0x22A4), SYM("bot", "<bot>", kOrd, 0x22A5),
    SYM("P", "<Pp>", kOrd, 0xB6), SYM("S", "<Ss>", kOrd, 0xA7), SYM("sharp", "<sharp>", kOrd, 0x266F),
    SYM("angle", "<angle>", kOrd, 0x2220), SYM("clubsuit", "<clubsuit>", kOrd, 0x2663),
    SYM("diamondsuit", "<diamondsuit>", kOrd, 0x2662), SYM("heartsuit", "<heartsuit>", kOrd, 0x2661),
    SYM("spadesuit", "<spadesuit>", kOrd, 0x2660), SYM("neg", "<neg>", kOrd, 0xAC),
    SYM("lnot", "<neg>", kOrd, 0), SYM("nabla", "<nabla>", kOrd, 0x2207),
    SYM("varnothing", "<varnothing>", kOrd, 0x2205), SYM("emptyset", "<oslush>", kOrd, 0),
    SYM("lozenge", "<lozenge>", kOrd, 0x25CA), SYM("bigstar", "<bigstar>", kOrd, 0x2605),
    SYM("eth", "<eth>", kOrd, 0xF0), SYM("copyright", "<copyright>", kOrd, 0xA9),
    SYM("textregistered", "<textregistered>", kOrd, 0xAE), SYM("texttrademark", "<texttrademark>", kOrd, 0x2122),
    SYM("dots", "<dots>", kOrd, 0x2026), SYM("ldots", "<dots>", kOrd, 0), SYM("dotsc", "<dots>", kOrd, 0),
    SYM("dotso", "<dots>", kOrd, 0), SYM("cdots", "<cdots>", kOrd, 0x22EF), SYM("dotsb", "<cdots>", kOrd, 0),
    SYM("dotsm", "<cdots>", kOrd, 0), SYM("dotsi", "<cdots>", kOrd, 0), SYM("vdots", "<vdots>", kOrd, 0x22EE),
    SYM("ddots", "<ddots>", kOrd, 0x22F1), SYM("iddots", "<iddots>", kOrd, 0x22F0),
    SYM("adots", "<iddots>", kOrd, 0), SYM("prime", "<'>", kOrd, 0x2032), SYM("euro", "<euro>", kOrd, 0x20AC),
    SYM("hbar", "ℏ", kOrd, 0x210F), SYM("hslash", "ℏ", kOrd, 0), SYM("ell", "ℓ", kOrd, 0x2113),
    SYM("aleph", "ℵ", kOrd, 0x2135), SYM("beth", "ℶ", kOrd, 0x2136), SYM("imath", "ı", kOrd, 0x131),
    SYM("jmath", "ȷ", kOrd, 0x237), SYM("complement", "∁", kOrd, 0x2201), SYM("triangle", "△", kOrd, 0x25B3),
    SYM("Box", "□", kOrd, 0x25A1), SYM("square", "□", kOrd, 0), SYM("blacksquare", "■", kOrd, 0x25A0),
    SYM("checkmark", "<surd>", kOrd, 0x2713), SYM("flat", "♭", kOrd, 0x266D), SYM("natural", "♮", kOrd, 0x266E),
    SYM("nexists", "∄", kOrd, 0x2204), SYM("degree", "°", kOrd, 0xB0), SYM("measuredangle", "∡", kOrd, 0x2221),
    SYM("mho", "℧", kOrd, 0x2127), SYM("Finv", "Ⅎ", kOrd, 0x2132), SYM("vert", "|", kOrd, 0),
    SYM("Vert", "‖", kOrd, 0x2016), SYM("|", "‖", kOrd, 0), SYM("lvert", "|", kOpen, 0),
    SYM("rvert", "|", kClose, 0), SYM("lVert", "‖", kOpen, 0), SYM("rVert", "‖", kClose, 0),
    SYM("langle", "⟨", kOpen, 0x27E8), SYM("rangle", "⟩", kClose, 0x27E9), SYM("lfloor", "⌊", kOpen, 0x230A),
    SYM("rfloor", "⌋", kClose, 0x230B), SYM("lceil", "⌈", kOpen, 0x2308), SYM("rceil", "⌉", kClose, 0x2309),
    SYM("{", "{", kOpen, 0), SYM("}", "}", kClose, 0), SYM("lbrace", "{", kOpen, 0),
    SYM("rbrace", "}", kClose, 0), SYM("lbrack", "[", kOpen, 0), SYM("rbrack", "]", kClose, 0),
    SYM("#", "#", kOrd, 0), SYM("%", "%", kOrd, 0), SYM("&", "&", kOrd, 0), SYM("$", "$", kOrd, 0),
    SYM("_", "_", kOrd, 0), SYM("colon", ":", kPunct, 0), SYM("ldotp", ".", kPunct, 0),
    SYM("cdotp", "<cdot>", kPunct, 0),
    // Large operators.
    {"sum", K::kBigOp, "<sum>", C::kOp, 1, 0x2211}, {"prod", K::kBigOp, "<prod>", C::kOp, 1, 0x220F},
    {"coprod", K::kBigOp, "<amalg>", C::kOp, 1, 0x2210}, {"int", K::kBigOp, "<int>", C::kOp, 0, 0x222B},
    {"intop", K::kBigOp, "<int>", C::kOp, 1, 0},
    {"iint", K::kBigOp, "<int><DIV style=\"margin-left: -25\"></DIV><int>", C::kOp, 0, 0x222C},
    {"iiint", K::kBigOp,
     "<int><DIV style=\"margin-left: -25\"></DIV><int><DIV style=\"margin-left: -25\"></DIV><int>",
     C::kOp, 0, 0x222D},
    {"oint", K::kBigOp, "∮", C::kOp, 0, 0x222E}, {"oiint", K::kBigOp, "∯", C::kOp, 0, 0x222F},
    {"bigcup", K::kBigOp, "<cup>", C::kOp, 1, 0x22C3}, {"bigcap", K::kBigOp, "<cap>", C::kOp, 1, 0x22C2},
    {"bigvee", K::kBigOp, "<vee>", C::kOp, 1, 0x22C1}, {"bigwedge", K::kBigOp, "<wedge>", C::kOp, 1, 0x22C0},
    {"bigoplus", K::kBigOp, "<oplus>", C::kOp, 1, 0x2A01}, {"bigotimes", K::kBigOp, "<otimes>", C::kOp, 1, 0x2A02},
    {"bigodot", K::kBigOp, "⊙", C::kOp, 1, 0x2A00}, {"bigsqcup", K::kBigOp, "⊔", C::kOp, 1, 0x2A06},
    {"biguplus", K::kBigOp, "⊎", C::kOp, 1, 0x2A04},
    // Function names: upright, some with limits below in display style.
    FN("arccos", 0), FN("arcsin", 0), FN("arctan", 0), FN("arg", 0), FN("cos", 0), FN("cosh", 0),
    FN("cot", 0), FN("coth", 0), FN("csc", 0), FN("deg", 0), FN("dim", 0), FN("exp", 0), FN("hom", 0),
    FN("ker", 0), FN("lg", 0), FN("ln", 0), FN("log", 0), FN("sec", 0), FN("sin", 0), FN("sinh", 0),
    FN("tan", 0), FN("tanh", 0), FN("det", 1), FN("gcd", 1), FN("inf", 1), FN("lim", 1), FN("max", 1),
    FN("min", 1), FN("Pr", 1), FN("sup", 1), {"liminf", K::kFunction, "lim inf", C::kOp, 1, 0},
    {"limsup", K::kFunction, "lim sup", C::kOp, 1, 0}, {"injlim", K::kFunction, "inj lim", C::kOp, 1, 0},
    {"projlim", K::kFunction, "proj lim", C::kOp, 1, 0}, FN("lcm", 1), FN("sgn", 0), FN("tr", 0),
    FN("rank", 0), FN("Tr", 0),
    // Constructs.
    {"frac", K::kFrac, ""}, {"dfrac", K::kFrac, ""}, {"tfrac", K::kFrac, ""}, {"cfrac", K::kFrac, ""},
    {"binom", K::kBinom, ""}, {"dbinom", K::kBinom, ""}, {"tbinom", K::kBinom, ""},
    {"over", K::kOver, "", C::kOrd, 0}, {"atop", K::kOver, "", C::kOrd, 1},
    {"choose", K::kOver, "", C::kOrd, 2}, {"sqrt", K::kSqrt, ""},
    {"left", K::kLeft, ""}, {"right", K::kRight, ""}, {"middle", K::kMiddle, ""},
    {"big", K::kBig, "", C::kOrd, 65}, {"Big", K::kBig, "", C::kOrd, 125},
    {"bigg", K::kBig, "", C::kOrd, 185}, {"Bigg", K::kBig, "", C::kOrd, 245},
    {"bigl", K::kBig, "", C::kOpen, 65}, {"Bigl", K::kBig, "", C::kOpen, 125},
    {"biggl", K::kBig, "", C::kOpen, 185}, {"Biggl", K::kBig, "", C::kOpen, 245},
    {"bigr", K::kBig, "", C::kClose, 65}, {"Bigr", K::kBig, "", C::kClose, 125},
    {"biggr", K::kBig, "", C::kClose, 185}, {"Biggr", K::kBig, "", C::kClose, 245},
    {"bigm", K::kBig, "", C::kRel, 65}, {"Bigm", K::kBig, "", C::kRel, 125},
    {"biggm", K::kBig, "", C::kRel, 185}, {"Biggm", K::kBig, "", C::kRel, 245},
    {"mathrm", K::kStyle, "", C::kOrd, kUpright}, {"mathit", K::kStyle, "", C::kOrd, kItalic},
    {"mathnormal", K::kStyle, "", C::kOrd, kItalic}, {"mathbf", K::kStyle, "", C::kOrd, kBold},
    {"mathsf", K::kStyle, "", C::kOrd, kUpright}, {"mathtt", K::kStyle, "", C::kOrd, kUpright},
    {"boldsymbol", K::kStyle, "", C::kOrd, kBoldItalic}, {"bm", K::kStyle, "", C::kOrd, kBoldItalic},
    {"mathbb", K::kStyle, "", C::kOrd, kDoubleStruck}, {"mathcal", K::kStyle, "", C::kOrd, kScript},
    {"mathscr", K::kStyle, "", C::kOrd, kScript}, {"mathfrak", K::kStyle, "", C::kOrd, kFraktur},
    {"rm", K::kStyleSwitch, "", C::kOrd, kUpright}, {"it", K::kStyleSwitch, "", C::kOrd, kItalic},
    {"bf", K::kStyleSwitch, "", C::kOrd, kBold}, {"cal", K::kStyleSwitch, "", C::kOrd, kScript},
    {"text", K::kText, "", C::kOrd, kUpright}, {"textrm", K::kText, "", C::kOrd, kUpright},
    {"textnormal", K::kText, "", C::kOrd, kUpright}, {"textup", K::kText, "", C::kOrd, kUpright},
    {"textsf", K::kText, "", C::kOrd, kUpright}, {"texttt", K::kText, "", C::kOrd, kUpright},
    {"mbox", K::kText, "", C::kOrd, kUpright}, {"hbox", K::kText, "", C::kOrd, kUpright},
    {"textit", K::kText, "", C::kOrd, kItalic}, {"textsl", K::kText, "", C::kOrd, kItalic},
    {"emph", K::kText, "", C::kOrd, kItalic}, {"textbf", K::kText, "", C::kOrd, kBold},
    {"operatorname", K::kOperatorName, "", C::kOp, 0}, {"mathop", K::kMathOp, "", C::kOp, 1},
    {"mathbin", K::kMathOp, "", C::kBin, 0}, {"mathrel", K::kMathOp, "", C::kRel, 0},
    {"mathord", K::kMathOp, "", C::kOrd, 0}, {"mathopen", K::kMathOp, "", C::kOpen, 0},
    {"mathclose", K::kMathOp, "", C::kClose, 0}, {"mathpunct", K::kMathOp, "", C::kPunct, 0},
    {"color", K::kColor, ""}, {"textcolor", K::kTextColor, ""},
    {"boxed", K::kBox, "border: 1 solid; padding: 10 20"}, {"fbox", K::kBox, "border: 1 solid; padding: 10 20"},
    {"overline", K::kBox, "border-top: 1 solid"}, {"underline", K::kBox, "border-bottom: 1 solid"},
    {"overbrace", K::kBrace, "border-top: 1 solid; padding-top: 10", C::kOp, 1},
    {"underbrace", K::kBrace, "border-bottom: 1 solid; padding-bottom: 10", C::kOp, 0},
    {"hat", K::kAccent, "ˆ", C::kOrd, -35}, {"widehat", K::kAccent, "ˆ", C::kOrd, -35},
    {"check", K::kAccent, "ˇ", C::kOrd, -35}, {"tilde", K::kAccent, "˜", C::kOrd, -35},
    {"widetilde", K::kAccent, "˜", C::kOrd, -35}, {"bar", K::kAccent, "¯", C::kOrd, -40},
    {"vec", K::kAccent, "<to>", C::kOrd, -30}, {"overrightarrow", K::kAccent, "<to>", C::kOrd, -20},
    {"overleftarrow", K::kAccent, "<gets>", C::kOrd, -20}, {"dot", K::kAccent, "˙", C::kOrd, -45},
    {"ddot", K::kAccent, "¨", C::kOrd, -45}, {"dddot", K::kAccent, "⋯", C::kOrd, -30},
    {"acute", K::kAccent, "´", C::kOrd, -35}, {"grave", K::kAccent, "`", C::kOrd, -35},
    {"breve", K::kAccent, "˘", C::kOrd, -35}, {"mathring", K::kAccent, "˚", C::kOrd, -40},
    {"overset", K::kOverset, ""}, {"underset", K::kUnderset, ""}, {"stackrel", K::kStackrel, "", C::kRel},
    {"xrightarrow", K::kXArrow, "<to>", C::kRel}, {"xleftarrow", K::kXArrow, "<gets>", C::kRel},
    {",", K::kSpace, "", C::kOrd, 17}, {"thinspace", K::kSpace, "", C::kOrd, 17},
    {":", K::kSpace, "", C::kOrd, 22}, {">", K::kSpace, "", C::kOrd, 22}, {"medspace", K::kSpace, "", C::kOrd, 22},
    {";", K::kSpace, "", C::kOrd, 28}, {"thickspace", K::kSpace, "", C::kOrd, 28},
    {"!", K::kSpace, "", C::kOrd, -17}, {"negthinspace", K::kSpace, "", C::kOrd, -17},
    {"quad", K::kSpace, "", C::kOrd, 100}, {"qquad", K::kSpace, "", C::kOrd, 200},
    {"enspace", K::kSpace, "", C::kOrd, 50}, {" ", K::kSpace, "", C::kOrd, 33},
    {"space", K::kSpace, "", C::kOrd, 33}, {"hspace", K::kHSpace, ""}, {"mspace", K::kHSpace, ""},
    {"begin", K::kBegin, ""}, {"end", K::kEnd, ""}, {"not", K::kNot, ""},
    {"limits", K::kLimits, ""}, {"nolimits", K::kNoLimits, ""},
    {"displaystyle", K::kDisplay, "", C::kOrd, 1}, {"textstyle", K::kDisplay, "", C::kOrd, 0},
    {"scriptstyle", K::kDisplay, "", C::kOrd, 0}, {"scriptscriptstyle", K::kDisplay, "", C::kOrd, 0},
    {"relax", K::kIgnore, ""}, {"nonumber", K::kIgnore, ""}, {"notag", K::kIgnore, ""},
    {"mathstrut", K::kIgnore, ""}, {"strut", K::kIgnore, ""}, {"allowbreak", K::kIgnore, ""},
    {"nobreak", K::kIgnore, ""}, {"hline", K::kIgnore, ""}, {"label", K::kSkipArg, ""},
    {"phantom", K::kSkipArg, ""}, {"hphantom", K::kSkipArg, ""}, {"vphantom", K::kSkipArg, ""},
    {"substack", K::kSubstack, ""}, {"bmod", K::kMod, "", C::kBin, 0}, {"pmod", K::kMod, "", C::kOrd, 1},
    {"pod", K::kMod, "", C::kOrd, 2}, {"tag", K::kTag, ""},
    {"ce", K::kUnsupported, "chemical equations need the mhchem package, which is not read"},
    {"pu", K::kUnsupported, "chemical units need the mhchem package, which is not read"},
    {"newcommand", K::kUnsupported, "macros are not defined"},
    {"def", K::kUnsupported, "macros are not defined"},
};

#undef GREEK
#undef UPPER
#undef SYM
#undef FN

struct Index {
  std::unordered_map<std::string_view, const Command*> names;
  std::unordered_map<char32_t, const Command*> codes;
  Index() {
    for (const Command& c : kCommands) {
      if (!c.name.empty()) names.emplace(c.name, &c);
      if (c.code) codes.emplace(c.code, &c);
    }
  }
};

const Index& TheIndex() {
  static const Index index;
  return index;
}

// Relations and their negations; the vocabulary has \neq and \notin, the
// others are characters drawn from a face that has them.
constexpr std::pair<std::string_view, std::string_view> kNegations[] = {
    {"=", "<neq>"}, {"in", "<notin>"}, {"<", "≮"}, {">", "≯"}, {"leq", "≰"}, {"le", "≰"},
    {"geq", "≱"}, {"ge", "≱"}, {"subset", "⊄"}, {"supset", "⊅"}, {"subseteq", "⊈"},
    {"supseteq", "⊉"}, {"equiv", "≢"}, {"sim", "≁"}, {"approx", "≉"}, {"cong", "≇"},
    {"mid", "∤"}, {"parallel", "∦"}, {"exists", "∄"}, {"ni", "∌"}, {"simeq", "≄"},
    {"prec", "⊀"}, {"succ", "⊁"}, {"to", "↛"}, {"rightarrow", "↛"}, {"gets", "↚"},
    {"leftarrow", "↚"}, {"Rightarrow", "⇏"}, {"Leftarrow", "⇍"}, {"Leftrightarrow", "⇎"},
};

// Delimiters typed as characters, and as commands (\{, \|, \langle).
constexpr Delimiter kCharDelimiters[] = {
    {"(", "(", "(", C::kOpen},  {")", ")", ")", C::kClose}, {"[", "[", "[", C::kOpen},
    {"]", "]", "]", C::kClose}, {"|", "|", "|", C::kOrd},   {".", "_", "", C::kOrd},
    {"/", "_", "/", C::kOrd},
};
constexpr Delimiter kCommandDelimiters[] = {
    {"{", "{", "{", C::kOpen},        {"}", "}", "}", C::kClose},      {"lbrace", "{", "{", C::kOpen},
    {"rbrace", "}", "}", C::kClose},  {"lbrack", "[", "[", C::kOpen},  {"rbrack", "]", "]", C::kClose},
    {"|", "||", "‖", C::kOrd},        {"vert", "|", "|", C::kOrd},     {"Vert", "||", "‖", C::kOrd},
    {"lvert", "|", "|", C::kOpen},    {"rvert", "|", "|", C::kClose},  {"lVert", "||", "‖", C::kOpen},
    {"rVert", "||", "‖", C::kClose},  {"backslash", "_", "\\", C::kOrd},
    // No angle, floor or ceiling delimiter grows: the nearest that does.
    {"langle", "(", "⟨", C::kOpen},   {"rangle", ")", "⟩", C::kClose}, {"lfloor", "[", "⌊", C::kOpen},
    {"rfloor", "]", "⌋", C::kClose},  {"lceil", "[", "⌈", C::kOpen},   {"rceil", "]", "⌉", C::kClose},
};

}  // namespace

const Command* FindCommand(std::string_view name) {
  const auto& names = TheIndex().names;
  auto it = names.find(name);
  return it == names.end() ? nullptr : it->second;
}

const Command* FindCharacter(char32_t code) {
  const auto& codes = TheIndex().codes;
  auto it = codes.find(code);
  return it == codes.end() ? nullptr : it->second;
}

std::string_view Negated(std::string_view relation) {
  for (const auto& [name, markup] : kNegations)
    if (name == relation) return markup;
  return {};
}

const Command* Commands(std::size_t* count) {
  *count = std::size(kCommands);
  return kCommands;
}

const Delimiter* FindDelimiter(std::string_view token, bool command) {
  for (const Delimiter& d : command ? std::span<const Delimiter>(kCommandDelimiters)
                                    : std::span<const Delimiter>(kCharDelimiters))
    if (d.token == token) return &d;
  return nullptr;
}

}  // namespace lexaro::tex
