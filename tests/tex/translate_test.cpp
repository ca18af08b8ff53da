// The translation of TeX into markup, feature by feature, as data: each
// line is the TeX and the markup expected of it. Then what TeX rejects (a
// diagnostic at its byte), strict and lenient mode, the symbol table
// against the vocabulary, and hostile input.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/vocabulary.h"
#include "lexaro/render.h"
#include "lexaro/tex.h"
#include "tex/commands.h"
#include "tex/translator.h"

namespace {

struct Case {
  const char* tex;
  const char* markup;
};

constexpr Case kInline[] = {
    // Letters, digits and text
    {R"x(x)x", R"x(<I>x</I>)x"},
    {R"x(ab2)x", R"x(<I>ab</I>2)x"},
    {R"x(x+y=z)x", R"x(<I>x</I><+><I>y</I><=><I>z</I>)x"},
    {R"x(a<b>c)x", R"x(<I>a</I><lt><I>b</I><gt><I>c</I>)x"},
    {R"x(3.14, (a) [b])x", R"x(3.14,(<I>a</I>)[<I>b</I>])x"},
    {R"x(\mathrm{d}x)x", R"x(d<I>x</I>)x"},
    {R"x(\mathit{Ab})x", R"x(<I>Ab</I>)x"},
    {R"x(\mathbf{v}_1)x", R"x(<B>v</B><SUB>1</SUB>)x"},
    {R"x(\boldsymbol{x})x", R"x(<B><I>x</I></B>)x"},
    {R"x(\mathbb{R}^n)x", R"x(ℝ<SUP><I>n</I></SUP>)x"},
    {R"x(\text{if } x)x", R"x(if <I>x</I>)x"},
    {R"x(\text{速度 と a<b})x", R"x(速度 と a<<b)x"},
    {R"x(\operatorname{ess\,sup} f)x", R"x(ess sup<DIV style="margin-left: 17"></DIV><I>f</I>)x"},
    {R"x(\text{50\,\% of \$x})x", R"x(50 % of $x)x"},
    {"\\text{a\\\nb}", "a b"},
    {R"x(\operatorname{sn} x)x", R"x(sn<DIV style="margin-left: 17"></DIV><I>x</I>)x"},
    {R"x(\sin x + \cos(y))x", R"x(sin<DIV style="margin-left: 17"></DIV><I>x</I><+>cos(<I>y</I>))x"},
    {R"x(\log_2 n)x", R"x(log<SUB>2</SUB><DIV style="margin-left: 17"></DIV><I>n</I>)x"},

    // Symbols
    {R"x(\alpha\beta\Gamma)x", R"x(<I><alpha><beta></I><Gamma>)x"},
    {R"x(\epsilon\varepsilon)x", R"x(<I>ϵ<epsilon></I>)x"},
    {R"x(φϕ εϵ θϑ)x", R"x(<I><varphi><phi><epsilon>ϵ<theta><vartheta></I>)x"},
    {R"x(αβ ≤ ∞ → ∑)x", R"x(<I><alpha><beta></I><leq><infty><to><sum>)x"},
    {R"x(\le\ge\ne\neq)x", R"x(<leq><geq><neq><neq>)x"},
    {R"x(\not\in \not= \not<)x", R"x(<notin><neq><DIV style="margin-left: 12"></DIV>≮<DIV style="margin-left: 12"></DIV>)x"},

    // Fractions and roots
    {R"x(\frac{a}{b})x", R"x(<FRAC><S><I>a</I></S><S><I>b</I></S></FRAC>)x"},
    {R"x(\frac12)x", R"x(<FRAC><S>1</S><S>2</S></FRAC>)x"},
    {R"x(\dfrac{1}{x} \tfrac{1}{x})x", R"x(<FRAC><S>1</S><S><I>x</I></S></FRAC><FRAC><S>1</S><S><I>x</I></S></FRAC>)x"},
    {R"x(\cfrac{1}{1+\cfrac{1}{x}})x", R"x(<FRAC><S>1</S><S>1<+><FRAC><S>1</S><S><I>x</I></S></FRAC></S></FRAC>)x"},
    {R"x({a \over b})x", R"x(<FRAC><S><I>a</I></S><S><I>b</I></S></FRAC>)x"},
    {R"x(a+{1 \over 2})x", R"x(<I>a</I><+><FRAC><S>1</S><S>2</S></FRAC>)x"},
    {R"x(\binom{n}{k})x", R"x(<PAREN><TABLE><TR><TD><I>n</I></TD></TR><TR><TD><I>k</I></TD></TR></TABLE></PAREN>)x"},
    {R"x({n \choose k})x", R"x(<PAREN><TABLE><TR><TD><I>n</I></TD></TR><TR><TD><I>k</I></TD></TR></TABLE></PAREN>)x"},
    {R"x(\sqrt{x})x", R"x(<SQRT><I>x</I></SQRT>)x"},
    {R"x(\sqrt[3]{x})x", R"x(<SQRTN><S><I>x</I></S><S>3</S></SQRTN>)x"},

    // Scripts
    {R"x(x^2)x", R"x(<I>x</I><SUP>2</SUP>)x"},
    {R"x(x_i)x", R"x(<I>x</I><SUB><I>i</I></SUB>)x"},
    {R"x(x_i^2)x", R"x(<RTB><S><I>x</I></S><S><I>i</I></S><S>2</S></RTB>)x"},
    {R"x(x^2_i)x", R"x(<RTB><S><I>x</I></S><S><I>i</I></S><S>2</S></RTB>)x"},
    {R"x(ax_i^2)x", R"x(<I>a</I><RTB><S><I>x</I></S><S><I>i</I></S><S>2</S></RTB>)x"},
    {R"x(f')x", R"x(<I>f</I><'>)x"},
    {R"x(f''(x))x", R"x(<I>f</I><'><'>(<I>x</I>))x"},
    {R"x(f'g)x", R"x(<I>f</I><'><I>g</I>)x"},
    {R"x(ab')x", R"x(<I>a</I><I>b</I><'>)x"},
    {R"x(f'^2)x", R"x(<I>f</I><'><SUP>2</SUP>)x"},
    {R"x({}^{14}_{6}C)x", R"x(<RTB><S></S><S>6</S><S>14</S></RTB><I>C</I>)x"},
    {R"x(e^{x^2})x", R"x(<I>e</I><SUP><I>x</I><SUP>2</SUP></SUP>)x"},
    {R"x((a+b)^2)x", R"x((<I>a</I><+><I>b</I>)<SUP>2</SUP>)x"},
    {R"x(\left(\frac{a}{b}\right)^2)x", R"x(<RTOP><S><PAREN type="(,)"><FRAC><S><I>a</I></S><S><I>b</I></S></FRAC></PAREN></S><S>2</S></RTOP>)x"},
    {R"x(\sqrt{x}^3)x", R"x(<RTOP><S><SQRT><I>x</I></SQRT></S><S>3</S></RTOP>)x"},
    {R"x(\frac{a}{b}_n)x", R"x(<RBTM><S><FRAC><S><I>a</I></S><S><I>b</I></S></FRAC></S><S><I>n</I></S></RBTM>)x"},
    {R"x(\left(x\right)')x", R"x(<RTOP><S><PAREN type="(,)"><I>x</I></PAREN></S><S><'></S></RTOP>)x"},
    {R"x(\sqrt{x}''_n)x", R"x(<RTB><S><SQRT><I>x</I></SQRT></S><S><I>n</I></S><S><'><'></S></RTB>)x"},

    // Operators inline
    {R"x(\sum_{k=1}^n k)x", R"x(<RTB><S><sum></S><S><I>k</I><=>1</S><S><I>n</I></S></RTB><I>k</I>)x"},
    {R"x(\int_0^1 f)x", R"x(<RTB><S><int></S><S>0</S><S>1</S></RTB><I>f</I>)x"},
    {R"x(\lim_{x\to0} f)x", R"x(lim<SUB><I>x</I><to>0</SUB><DIV style="margin-left: 17"></DIV><I>f</I>)x"},
    {R"x(\sum\limits_{i} a)x", R"x(<BTM><S><sum></S><S><I>i</I></S></BTM><I>a</I>)x"},
    {R"x(\displaystyle \sum_i a \textstyle \sum_i a)x", R"x(<BTM><S><SUB size=75 style="position: -15"><sum></SUB></S><S><I>i</I></S></BTM><I>a</I><sum><SUB><I>i</I></SUB><I>a</I>)x"},

    // Delimiters
    {R"x(\left( x \right))x", R"x(<PAREN type="(,)"><I>x</I></PAREN>)x"},
    {R"x(\left[ x \right))x", R"x(<PAREN type="[,)"><I>x</I></PAREN>)x"},
    {R"x(\left\{ x \right\})x", R"x(<PAREN type="{,}"><I>x</I></PAREN>)x"},
    {R"x(\left| x \right|)x", R"x(<PAREN type="|,|"><I>x</I></PAREN>)x"},
    {R"x(\left\| x \right\|)x", R"x(<PAREN type="||,||"><I>x</I></PAREN>)x"},
    {R"x(\left. x \right|_0^1)x", R"x(<RTB><S><PAREN type="_,|"><I>x</I></PAREN></S><S>0</S><S>1</S></RTB>)x"},
    {R"x(\left\langle x \right\rangle)x", R"x(<PAREN type="(,)"><I>x</I></PAREN>)x"},
    {R"x(\left\lfloor x \right\rfloor)x", R"x(<PAREN type="[,]"><I>x</I></PAREN>)x"},
    {R"x(\left\lceil x \right\rceil)x", R"x(<PAREN type="[,]"><I>x</I></PAREN>)x"},
    {R"x(\big( x \big))x", R"x(<SUB size=65 style="position: -10">(</SUB><I>x</I><SUB size=65 style="position: -10">)</SUB>)x"},
    {R"x(\Bigg[ x \Bigg])x", R"x(<SUB size=245 style="position: -100">[</SUB><I>x</I><SUB size=245 style="position: -100">]</SUB>)x"},

    // Environments
    {R"x(\begin{matrix} a & b \\ c & d \end{matrix})x", R"x(<TABLE><TR><TD><I>a</I></TD><TD><I>b</I></TD></TR><TR><TD><I>c</I></TD><TD><I>d</I></TD></TR></TABLE>)x"},
    {R"x(\begin{pmatrix} a \\ b \end{pmatrix})x", R"x(<PAREN type="(,)"><TABLE><TR><TD><I>a</I></TD></TR><TR><TD><I>b</I></TD></TR></TABLE></PAREN>)x"},
    {R"x(\begin{bmatrix} a \end{bmatrix})x", R"x(<PAREN type="[,]"><TABLE><TR><TD><I>a</I></TD></TR></TABLE></PAREN>)x"},
    {R"x(\begin{Bmatrix} a \end{Bmatrix})x", R"x(<PAREN type="{,}"><TABLE><TR><TD><I>a</I></TD></TR></TABLE></PAREN>)x"},
    {R"x(\begin{vmatrix} a \end{vmatrix})x", R"x(<PAREN type="|,|"><TABLE><TR><TD><I>a</I></TD></TR></TABLE></PAREN>)x"},
    {R"x(\begin{Vmatrix} a \end{Vmatrix})x", R"x(<PAREN type="||,||"><TABLE><TR><TD><I>a</I></TD></TR></TABLE></PAREN>)x"},
    {R"x(\begin{smallmatrix} a \end{smallmatrix})x", R"x(<TABLE cellpadding=-10><TR><TD><I>a</I></TD></TR></TABLE>)x"},
    {R"x(\begin{cases} 1 & x > 0 \\ 0 & \text{else} \end{cases})x", R"x(<PAREN type="{"><TABLE align=left><TR><TD>1</TD><TD><I>x</I><gt>0</TD></TR><TR><TD>0</TD><TD>else</TD></TR></TABLE></PAREN>)x"},
    {R"x(\begin{array}{l|r} a & b \\ \hline c & d \\ \hline \end{array})x", R"x(<TABLE><TR><TD align=left><I>a</I></TD><TD align=right style="border-left: 1 solid"><I>b</I></TD></TR><TR style="border-top: 1 solid; border-bottom: 1 solid"><TD align=left><I>c</I></TD><TD align=right style="border-left: 1 solid"><I>d</I></TD></TR></TABLE>)x"},
    {R"x(\begin{array}{|c|} a \end{array})x", R"x(<TABLE><TR><TD style="border-left: 1 solid; border-right: 1 solid"><I>a</I></TD></TR></TABLE>)x"},
    {R"x(\begin{aligned} a &= b \\ &= c \end{aligned})x", R"x(<TABLE style="padding: 0 -20"><TR><TD align=right><I>a</I></TD><TD align=left><=><I>b</I></TD></TR><TR><TD align=right></TD><TD align=left><=><I>c</I></TD></TR></TABLE>)x"},
    {R"x(\begin{align*} x &= 1 \end{align*})x", R"x(<TABLE style="padding: 0 -20"><TR><TD align=right><I>x</I></TD><TD align=left><=>1</TD></TR></TABLE>)x"},
    {R"x(\begin{gathered} a \\ b \end{gathered})x", R"x(<TABLE><TR><TD><I>a</I></TD></TR><TR><TD><I>b</I></TD></TR></TABLE>)x"},
    {R"x(\begin{split} a &= b \end{split})x", R"x(<TABLE style="padding: 0 -20"><TR><TD align=right><I>a</I></TD><TD align=left><=><I>b</I></TD></TR></TABLE>)x"},
    {R"x(\begin{matrix} a \\ b \\ \end{matrix})x", R"x(<TABLE><TR><TD><I>a</I></TD></TR><TR><TD><I>b</I></TD></TR></TABLE>)x"},
    {R"x(\sum_{\substack{i<n \\ j}} a)x", R"x(<sum><SUB><TABLE cellpadding=-15><TR><TD><I>i</I><lt><I>n</I></TD></TR><TR><TD><I>j</I></TD></TR></TABLE></SUB><I>a</I>)x"},

    // Spacing
    {R"x(a\,b\:c\;d\!e)x", R"x(<I>a</I><DIV style="margin-left: 17"></DIV><I>b</I><DIV style="margin-left: 22"></DIV><I>c</I><DIV style="margin-left: 28"></DIV><I>d</I><DIV style="margin-left: -17"></DIV><I>e</I>)x"},
    {R"x(a\quad b\qquad c)x", R"x(<I>a</I><DIV style="margin-left: 100"></DIV><I>b</I><DIV style="margin-left: 200"></DIV><I>c</I>)x"},
    {R"x(a~b\ c)x", R"x(<I>a</I><DIV style="margin-left: 33"></DIV><I>b</I><DIV style="margin-left: 33"></DIV><I>c</I>)x"},
    {"a\\\nb\\\tc", R"x(<I>a</I><DIV style="margin-left: 33"></DIV><I>b</I><DIV style="margin-left: 33"></DIV><I>c</I>)x"},
    {R"x(\hspace{1em}x)x", R"x(<DIV style="margin-left: 100"></DIV><I>x</I>)x"},

    // Colour, boxes and accents
    {R"x(\color{red} x)x", R"x(<FONT color=#ff0000><I>x</I></FONT>)x"},
    {R"x({\color{blue} x} y)x", R"x(<FONT color=#0000ff><I>x</I></FONT><I>y</I>)x"},
    {R"x(\textcolor{green}{x})x", R"x(<FONT color=#00ff00><I>x</I></FONT>)x"},
    {R"x(\color[HTML]{FF8000} x)x", R"x(<FONT color=#ff8000><I>x</I></FONT>)x"},
    {R"x(\color[rgb]{1,0,0} x)x", R"x(<FONT color=#ff0000><I>x</I></FONT>)x"},
    {R"x(\textcolor{red!50}{x})x", R"x(<FONT color=#ff8080><I>x</I></FONT>)x"},
    {R"x(\boxed{x})x", R"x(<DIV style="border: 1 solid; padding: 10 20"><I>x</I></DIV>)x"},
    {R"x(\overline{x})x", R"x(<DIV style="border-top: 1 solid"><I>x</I></DIV>)x"},
    {R"x(\underline{x})x", R"x(<DIV style="border-bottom: 1 solid"><I>x</I></DIV>)x"},
    {R"x(\hat{x})x", R"x(<TOP><S><I>x</I></S><S style="position: -35">ˆ</S></TOP>)x"},
    {R"x(\vec{v})x", R"x(<TOP><S><I>v</I></S><S style="position: -30"><to></S></TOP>)x"},
    {R"x(\stackrel{?}{=})x", R"x(<TOP><S><=></S><S>?</S></TOP>)x"},
    {R"x(\overset{a}{b})x", R"x(<TOP><S><I>b</I></S><S><I>a</I></S></TOP>)x"},
    {R"x(\underset{a}{b})x", R"x(<BTM><S><I>b</I></S><S><I>a</I></S></BTM>)x"},
    {R"x(\underbrace{a+b}_{n})x", R"x(<BTM><S><DIV style="border-bottom: 1 solid; padding-bottom: 10"><I>a</I><+><I>b</I></DIV></S><S><I>n</I></S></BTM>)x"},

    // Other
    {R"x(a \bmod b)x", R"x(<I>a</I><DIV style="margin-left: 22"></DIV>mod<DIV style="margin-left: 22"></DIV><I>b</I>)x"},
    {R"x(a \pmod{n})x", R"x(<I>a</I><DIV style="margin-left: 100"></DIV>(mod<DIV style="margin-left: 33"></DIV><I>n</I>))x"},
    {R"x($x$)x", R"x(<I>x</I>)x"},
    {R"x($$x$$)x", R"x(<I>x</I>)x"},
    {R"x(\[x\])x", R"x(<I>x</I>)x"},
    {R"x(\(x\))x", R"x(<I>x</I>)x"},
    {R"x(x \tag{1})x", R"x(<I>x</I><DIV style="margin-left: 200"></DIV>(1))x"},
    {R"x(\label{eq} x)x", R"x(<I>x</I>)x"},
};

// Display style: limits above and below, enlarged operators; fractions set
// their parts in text style, \dfrac in display style.
constexpr Case kDisplay[] = {
    {R"x(\sum_{k=1}^n k)x", R"x(<TB><S><SUB size=75 style="position: -15"><sum></SUB></S><S><I>k</I><=>1</S><S><I>n</I></S></TB><I>k</I>)x"},
    {R"x(\int_0^1 f)x", R"x(<RTB><S><SUB size=75 style="position: -15"><int></SUB></S><S>0</S><S>1</S></RTB><I>f</I>)x"},
    {R"x(\lim_{x\to0} f)x", R"x(<BTM><S>lim</S><S><I>x</I><to>0</S></BTM><DIV style="margin-left: 17"></DIV><I>f</I>)x"},
    {R"x(\int\limits_a^b f)x", R"x(<TB><S><SUB size=75 style="position: -15"><int></SUB></S><S><I>a</I></S><S><I>b</I></S></TB><I>f</I>)x"},
    {R"x(\prod\nolimits_i a)x", R"x(<RBTM><S><SUB size=75 style="position: -15"><prod></SUB></S><S><I>i</I></S></RBTM><I>a</I>)x"},
    {R"x(\frac{\sum_i a}{2})x", R"x(<FRAC><S><sum><SUB><I>i</I></SUB><I>a</I></S><S>2</S></FRAC>)x"},
    {R"x(\dfrac{\sum_i a}{2})x", R"x(<FRAC><S><BTM><S><SUB size=75 style="position: -15"><sum></SUB></S><S><I>i</I></S></BTM><I>a</I></S><S>2</S></FRAC>)x"},
};

void ExpectTranslations(const Case* cases, size_t n, bool display) {
  lexaro::TexOptions options;
  options.display = display;
  options.strict = true;
  for (size_t i = 0; i < n; ++i) {
    const lexaro::TexResult r = lexaro::TranslateTex(cases[i].tex, options);
    EXPECT_TRUE(r.ok) << cases[i].tex << ": " << (r.diagnostics.empty() ? "" : r.diagnostics[0].message);
    EXPECT_EQ(r.markup, cases[i].markup) << cases[i].tex;
  }
}

TEST(TexTranslation, InlineStyle) { ExpectTranslations(kInline, std::size(kInline), false); }
TEST(TexTranslation, DisplayStyle) { ExpectTranslations(kDisplay, std::size(kDisplay), true); }

// What TeX rejects: the byte where it is, and what is said.
struct Rejected {
  const char* tex;
  size_t offset;
  const char* message;  // a part of the message
};

constexpr Rejected kRejected[] = {
    {"a{b", 1, "missing }"},
    {"a}b", 1, "without a matching {"},
    {"x\\right)", 1, "\\right without \\left"},
    {"\\left( x", 0, "\\left without \\right"},
    {"\\begin{foo}a\\end{foo}", 0, "unknown environment 'foo'"},
    {"\\begin{<x>}a\\end{<x>}", 0, "unknown environment '<x>'"},
    {"a & b", 2, "& outside"},
    {"a \\\\ b", 2, "outside a table"},
    {"\\begin{matrix}a\\end{pmatrix}", 15, "does not close"},
    {"\\begin{matrix}a", 0, "without its \\end"},
    {"x\\end{matrix}", 1, "without its \\begin"},
    {"\\foo x", 0, "unknown command \\foo"},
    {"x^2^3", 3, "double superscript"},
    {"x_1_2", 3, "double subscript"},
    {"x^", 1, "missing argument"},
    {"\\frac{a}", 0, "missing argument of \\frac"},
    {"\\color{bleu}x", 7, "unknown colour 'bleu'"},
    {"\\not\\sum", 0, "no negated form"},
    {"\\not\\<", 0, "\\not before '\\<', which has no negated form"},
    {"x\\limits", 1, "follows no operator"},
    {"a$b", 1, "$ inside"},
    {"a#", 1, "#"},
    {"{a\\over b\\over c}", 9, "ambiguous"},
    {"\\left x\\right)", 0, "missing delimiter"},
    {"\\text{\\foo}", 6, "unknown command \\foo in text"},
    {"\\ce{H2O}", 0, "mhchem"},
    {"\\", 0, "lone \\"},
    {"\\begin{matrix}a\\\\[2pt", 17, "missing ] for this ["},
    {"\\begin{array}[t", 13, "missing ] for this ["},
    {"\\color[rgb{1,0,0}x", 6, "missing ] for this ["},
};

TEST(TexTranslation, WhatTexRejectsIsDiagnosedAtItsByte) {
  for (const Rejected& c : kRejected) {
    const lexaro::TexResult r = lexaro::TranslateTex(c.tex);
    ASSERT_FALSE(r.diagnostics.empty()) << c.tex;
    EXPECT_TRUE(r.ok) << c.tex;  // lenient by default
    bool found = false;
    for (const lexaro::TexDiagnostic& d : r.diagnostics)
      found = found || (d.offset == c.offset && d.message.find(c.message) != std::string::npos);
    EXPECT_TRUE(found) << c.tex << ": first is " << r.diagnostics[0].offset << " " << r.diagnostics[0].message;
    // Whatever was rejected, the markup lays out as written.
    auto markup = lexaro::Diagnose(r.markup);
    ASSERT_TRUE(markup) << c.tex;
    EXPECT_TRUE(markup->empty()) << c.tex << " -> " << r.markup << ": " << (*markup)[0].message.c_str();
  }
}

// Whatever the quoted name holds, a diagnostic's range starts and ends
// between characters, and its message is one line of valid UTF-8 (a check
// prints one warning a line), as is the warning drawn in the markup.
TEST(TexTranslation, DiagnosticsHoldWholeCharactersOnOneLine) {
  std::string longName = "a";  // an odd byte, then two-byte characters past the quoted length
  for (int i = 0; i < 30; ++i) longName += "\xC3\xA9";
  const std::string cases[] = {
      "\\begin x\xC3\xA9",
      "\\begin{" + longName + "}x",
      "\\begin{matrix}x\\end{" + longName + "}",
      "\\end{" + longName + "}",
      "\\color{" + longName + "}x",
      "\\hspace{" + longName + "}",
      "\\color{re\nd}x",
      "\\begin{ab\r\ncd}x\\end{ab\r\ncd}",
      "\\text{\\foo\t}\\end{\x01}",
  };
  auto wholeAt = [](const std::string& s, size_t at) {
    return at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80;
  };
  auto oneLineOfUtf8 = [](std::string_view s) {
    for (size_t i = 0, n = 0; i < s.size(); i += n) {
      const char32_t c = lexaro::tex::DecodeUtf8(s, i, &n);
      if (c < 0x20 || (c == 0xFFFD && s.substr(i, n) != "\xEF\xBF\xBD")) return false;
    }
    return true;
  };
  for (const std::string& tex : cases) {
    const lexaro::TexResult r = lexaro::TranslateTex(tex);
    ASSERT_FALSE(r.diagnostics.empty()) << tex;
    for (const lexaro::TexDiagnostic& d : r.diagnostics) {
      EXPECT_LE(d.offset + d.length, tex.size()) << tex << ": " << d.message;
      EXPECT_TRUE(wholeAt(tex, d.offset) && wholeAt(tex, d.offset + d.length)) << tex << ": " << d.message;
      EXPECT_TRUE(oneLineOfUtf8(d.message)) << tex << ": " << d.message;
    }
    EXPECT_TRUE(oneLineOfUtf8(r.markup)) << tex << " -> " << r.markup;
  }
}

// The lexer's UTF-8: a byte that starts no valid sequence is one character.
TEST(TexTranslation, Utf8DecodingTakesOnlyValidSequences) {
  struct Decoded { const char* bytes; char32_t code; size_t length; };
  constexpr Decoded cases[] = {
      {"\xC3\xA9", 0xE9, 2},        {"\xE3\x81\x82", 0x3042, 3},    {"\xF0\x9D\x94\xB8", 0x1D538, 4},
      {"\xC0\x80", 0xFFFD, 1},       {"\xED\xA0\x80", 0xFFFD, 1},    {"\xF4\x90\x80\x80", 0xFFFD, 1},
      {"\xF8\x80\x80", 0xFFFD, 1},   {"\xFE\x80\x80\x80", 0xFFFD, 1}, {"\xE3\x81", 0xFFFD, 1},
  };
  for (const Decoded& c : cases) {
    size_t length = 0;
    EXPECT_EQ(lexaro::tex::DecodeUtf8(c.bytes, 0, &length), c.code) << c.bytes;
    EXPECT_EQ(length, c.length) << c.bytes;
  }
}

TEST(TexTranslation, StrictFailsAndLenientDrawsTheNameInTheWarningColour) {
  lexaro::TexOptions options;
  options.warningColor = RGB(0x12, 0x34, 0x56);
  const lexaro::TexResult lenient = lexaro::TranslateTex("a+\\foo", options);
  EXPECT_TRUE(lenient.ok);
  EXPECT_EQ(lenient.markup, "<I>a</I><+><FONT color=#123456>\\foo</FONT>");
  options.strict = true;
  const lexaro::TexResult strict = lexaro::TranslateTex("a+\\foo", options);
  EXPECT_FALSE(strict.ok);
  EXPECT_TRUE(strict.markup.empty());
  ASSERT_EQ(strict.diagnostics.size(), 1u);
  EXPECT_EQ(strict.diagnostics[0].offset, 2u);
  EXPECT_EQ(strict.diagnostics[0].length, 4u);
}

// Every symbol of the vocabulary has a TeX name (or is reached as a
// character), and every tag the command table writes is in the vocabulary.
TEST(TexTranslation, CommandTableAndVocabularyAgree) {
  size_t n = 0;
  const lexaro::tex::Command* commands = lexaro::tex::Commands(&n);
  auto inVocabulary = [](std::string_view tag) {
    for (const LX_CNG_CTAG& s : lexaro::engine::kCTagCng)
      if (tag == s.name) return true;
    return false;
  };
  for (size_t i = 0; i < n; ++i) {
    std::string_view m = commands[i].markup;
    if (commands[i].kind != lexaro::tex::Kind::kSymbol && commands[i].kind != lexaro::tex::Kind::kBigOp) continue;
    for (size_t at = m.find('<'); at != std::string_view::npos; at = m.find('<', at + 1)) {
      const size_t end = m.find('>', at);
      const std::string_view tag = m.substr(at + 1, end - at - 1);
      if (tag.starts_with("DIV") || tag.starts_with("/DIV")) continue;
      EXPECT_TRUE(inVocabulary(tag)) << commands[i].name << " writes <" << tag << ">";
    }
  }
  for (const LX_CNG_CTAG& s : lexaro::engine::kCTagCng) {
    const std::string tag = "<" + std::string(s.name) + ">";
    bool reached = false;
    for (size_t i = 0; i < n && !reached; ++i)
      reached = commands[i].markup == tag && (!commands[i].name.empty() || commands[i].code);
    EXPECT_TRUE(reached) << tag << " has no TeX name";
  }
}

// A symbol typed as its character translates as its name does.
TEST(TexTranslation, CharactersTranslateAsTheirNames) {
  size_t n = 0;
  const lexaro::tex::Command* commands = lexaro::tex::Commands(&n);
  for (size_t i = 0; i < n; ++i) {
    const lexaro::tex::Command& c = commands[i];
    if (!c.code || c.name.empty()) continue;
    std::string typed;
    char32_t code = c.code;
    if (code < 0x80) typed += char(code);
    else if (code < 0x800) typed += {char(0xC0 | (code >> 6)), char(0x80 | (code & 0x3F))};
    else typed += {char(0xE0 | (code >> 12)), char(0x80 | ((code >> 6) & 0x3F)), char(0x80 | (code & 0x3F))};
    EXPECT_EQ(lexaro::TranslateTex(typed).markup, lexaro::TranslateTex("\\" + std::string(c.name)).markup)
        << c.name;
  }
}

// Hostile input: whatever the nesting, the markup stays within the engine's
// 64 levels (no construct is passed over), with a diagnostic where TeX
// nests deeper than the translation goes.
struct Hostile {
  const char* what;
  std::string tex;
  bool diagnosed;
};

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// Past the depth the markup holds, a construct is left out but what it
// holds is drawn in place: nested 80 deep, every letter is still there.
TEST(TexTranslation, ConstructsPastTheDepthLimitKeepTheirContent) {
  const std::pair<std::string_view, int> patterns[] = {
      {"\\overset{a}{%}", 1},   {"\\underset{a}{%}", 1},          {"\\stackrel{a}{%}", 1},
      {"\\xrightarrow[a]{a%}", 2}, {"\\overbrace{a%}^{a}", 2}, {"\\frac{a}{%}", 1},
      {"\\hat{%}a", 1},          {"\\begin{pmatrix}a&%\\end{pmatrix}", 1},
  };
  for (const auto& [pattern, letters] : patterns) {
    std::string tex = "x";
    for (int i = 0; i < 80; ++i) {
      std::string outer(pattern);
      tex = outer.replace(outer.find('%'), 1, tex);
    }
    const lexaro::TexResult r = lexaro::TranslateTex(tex);
    int seen = 0;
    bool inTag = false;
    for (char c : r.markup) {
      inTag = c == '<' || (inTag && c != '>');
      seen += !inTag && (c == 'a' || c == 'x');
    }
    EXPECT_EQ(seen, 80 * letters + 1) << pattern;
  }
}

TEST(TexTranslation, HostileInputStaysWithinTheMarkupsBounds) {
  const Hostile cases[] = {
      {"braces 100,000 deep", Repeat("{", 100000) + "x" + Repeat("}", 100000), true},
      {"unclosed braces", Repeat("{", 100000), true},
      {"closing braces", Repeat("}", 100000), true},
      {"fractions 100 deep", Repeat("\\frac{1}{", 100) + "x" + Repeat("}", 100), true},
      {"fractions 30 deep", Repeat("\\frac{1}{", 30) + "x" + Repeat("}", 30), false},
      {"radicals without braces", Repeat("\\sqrt", 100000) + "x", true},
      {"scripts on scripts", Repeat("x^{", 200) + Repeat("}", 200), true},
      {"stacked scripts 30 deep", Repeat("{", 30) + "x" + Repeat("}_i^2", 30), false},
      {"stacked scripts 60 deep", Repeat("{", 60) + "x" + Repeat("}_i^2", 60), false},
      {"\\left without \\right", Repeat("\\left(", 100000), true},
      {"\\right alone", Repeat("\\right)", 1000), true},
      {"matrices 30 deep", Repeat("\\begin{pmatrix}", 30) + Repeat("\\end{pmatrix}", 30), true},
      {"over in every group", Repeat("{a\\over ", 1000) + Repeat("}", 1000), true},
      {"colours", Repeat("\\color{red}", 100000), false},
      {"a lone backslash", "\\", true},
      {"a cut UTF-8 sequence", "\xE3\x81", false},
      {"NUL bytes", std::string("a\0b", 3), false},
  };
  for (const Hostile& c : cases) {
    const lexaro::TexResult r = lexaro::TranslateTex(c.tex);
    EXPECT_EQ(!r.diagnostics.empty(), c.diagnosed) << c.what;
    EXPECT_LE(r.diagnostics.size(), lexaro::tex::kMaxDiagnostics + 1) << c.what;
    for (const lexaro::TexDiagnostic& d : r.diagnostics)
      EXPECT_LE(d.offset + d.length, c.tex.size()) << c.what;
    auto markup = lexaro::Diagnose(r.markup);
    ASSERT_TRUE(markup) << c.what;
    for (const LX_DIAGNOSTIC& d : *markup)
      EXPECT_NE(d.kind, LX_DIAG_NESTING) << c.what << ": " << d.message.c_str();
  }
}

TEST(TexTranslation, TextBeyondFourMebibytesIsRefused) {
  const std::string tex((4u << 20) + 1, 'x');
  const lexaro::TexResult r = lexaro::TranslateTex(tex);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.markup.empty());
  ASSERT_EQ(r.diagnostics.size(), 1u);
  EXPECT_EQ(r.diagnostics[0].offset, 4u << 20);
  EXPECT_TRUE(lexaro::TranslateTex(std::string(4u << 20, 'x')).ok);
}

// A text whose markup passes the engine's 4 MiB is told so in a diagnostic
// about the whole text, which comes first as the order of offsets asks.
TEST(TexTranslation, MarkupBeyondFourMebibytesIsDiagnosedFirst) {
  const lexaro::TexResult r = lexaro::TranslateTex(Repeat("x+", 400000) + "\\foo");
  ASSERT_GT(r.markup.size(), 4u << 20);
  ASSERT_EQ(r.diagnostics.size(), 2u);
  EXPECT_EQ(r.diagnostics[0].offset, 0u);
  EXPECT_NE(r.diagnostics[0].message.find("4 MiB"), std::string::npos);
  EXPECT_EQ(r.diagnostics[1].offset, 800000u);
}

// The markup grows in proportion to the TeX, for the patterns that wrap
// what came before them (\over, scripts on groups, \left..\right, tables):
// the same bytes per formula at a thousand formulas and at a hundred times
// as many.
TEST(TexTranslation, MarkupGrowsInProportionToTheText) {
  const char* patterns[] = {"{a+b \\over c}", "{{x}_i^2}^3", "\\left(x\\right)^2",
                            "\\begin{pmatrix}a&b\\\\c&d\\end{pmatrix}", "x_1^2 y'' \\sum_i^n"};
  for (const char* p : patterns) {
    const std::string small = Repeat(p, 1000), large = Repeat(p, 100000);
    const size_t a = lexaro::TranslateTex(small).markup.size();
    const size_t b = lexaro::TranslateTex(large).markup.size();
    EXPECT_EQ(b, a * 100) << p;
  }
}

// The work of a translation beyond writing each byte once (bytes moved to
// wrap what came before in a construct, captured parts copied in) grows in
// proportion to the text: a hundred times the formulas, a hundred times the
// work, for every pattern that wraps or captures.
TEST(TexTranslation, WorkGrowsInProportionToTheText) {
  const char* patterns[] = {"{a+b \\over c}", "{{x}_i^2}^3", "\\left(x\\right)^2", "ab_i^2c'",
                            "\\begin{array}{c}a\\\\\\hline\\end{array}", "\\sqrt[3]{x}^2 \\hat{y}_1",
                            "\\sum_i^n {{{x}^2}^2}^2"};
  auto moved = [](const std::string& tex) {
    lexaro::TexResult r;
    lexaro::tex::Translator t(tex, 0, tex.size(), {});
    t.Run(&r);
    EXPECT_TRUE(r.diagnostics.empty()) << tex.substr(0, 40);
    return t.Moved();
  };
  for (const char* p : patterns) {
    const size_t a = moved(Repeat(p, 100)), b = moved(Repeat(p, 10000));
    EXPECT_GT(a, 0u) << p;
    EXPECT_EQ(b, a * 100) << p;
  }
  // Nesting moves a byte once a level, and the levels are bounded.
  const std::string deep = Repeat("{", 60) + "x" + Repeat("}^2", 60);
  EXPECT_LE(moved(deep), 64 * lexaro::TranslateTex(deep).markup.size());
}

}  // namespace
