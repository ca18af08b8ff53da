// Environments: matrices, cases, arrays and the alignments, drawn as a
// TABLE (in a PAREN for the bracketed matrices and cases), and \substack.
#include <algorithm>
#include <vector>

#include "tex/translator.h"
#include "tex/writer.h"

namespace lexaro::tex {

namespace {

enum EnvKind { kMatrix, kCases, kArray, kAligned, kGathered, kPlain };

struct Environment {
  std::string_view name;
  EnvKind kind;
  std::string_view open;   // the markup before the rows
  std::string_view close;  // after them
};

constexpr Environment kEnvironments[] = {
    {"matrix", kMatrix, "<TABLE>", "</TABLE>"},
    {"pmatrix", kMatrix, "<PAREN type=\"(,)\"><TABLE>", "</TABLE></PAREN>"},
    {"bmatrix", kMatrix, "<PAREN type=\"[,]\"><TABLE>", "</TABLE></PAREN>"},
    {"Bmatrix", kMatrix, "<PAREN type=\"{,}\"><TABLE>", "</TABLE></PAREN>"},
    {"vmatrix", kMatrix, "<PAREN type=\"|,|\"><TABLE>", "</TABLE></PAREN>"},
    {"Vmatrix", kMatrix, "<PAREN type=\"||,||\"><TABLE>", "</TABLE></PAREN>"},
    {"smallmatrix", kMatrix, "<TABLE cellpadding=-10>", "</TABLE>"},
    {"cases", kCases, "<PAREN type=\"{\"><TABLE align=left>", "</TABLE></PAREN>"},
    {"dcases", kCases, "<PAREN type=\"{\"><TABLE align=left>", "</TABLE></PAREN>"},
    {"rcases", kCases, "<PAREN type=\"_,}\"><TABLE align=left>", "</TABLE></PAREN>"},
    {"array", kArray, "<TABLE>", "</TABLE>"},
    {"subarray", kArray, "<TABLE cellpadding=-15>", "</TABLE>"},
    {"aligned", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"align", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"align*", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"alignat", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"alignat*", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"split", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"eqnarray", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"eqnarray*", kAligned, "<TABLE style=\"padding: 0 -20\">", "</TABLE>"},
    {"gathered", kGathered, "<TABLE>", "</TABLE>"},
    {"gather", kGathered, "<TABLE>", "</TABLE>"},
    {"gather*", kGathered, "<TABLE>", "</TABLE>"},
    {"multline", kGathered, "<TABLE>", "</TABLE>"},
    {"multline*", kGathered, "<TABLE>", "</TABLE>"},
    {"equation", kPlain, "", ""},
    {"equation*", kPlain, "", ""},
    {"displaymath", kPlain, "", ""},
};

const Environment* FindEnvironment(std::string_view name) {
  for (const Environment& e : kEnvironments)
    if (e.name == name) return &e;
  return nullptr;
}

constexpr std::string_view kRule = "1 solid";

}  // namespace

// The columns of an array: their alignments and the rules before them.
struct Translator::Columns {
  std::vector<char> align;        // 'l', 'c', 'r'
  std::vector<bool> ruleBefore;   // one more than the columns: the last is after the last column
  int kind = kMatrix;

  void Read(std::string_view spec) {
    ruleBefore.push_back(false);
    int braces = 0;
    for (char c : spec) {
      if (c == '{') ++braces;
      else if (c == '}') --braces;
      if (braces > 0) continue;  // p{3cm}, @{}, *{3}{c}: their arguments
      if (c == 'l' || c == 'c' || c == 'r' || c == 'p' || c == 'm' || c == 'b') {
        align.push_back(c == 'p' || c == 'm' || c == 'b' ? 'l' : c);
        ruleBefore.push_back(false);
      } else if (c == '|') {
        ruleBefore.back() = true;
      }
    }
  }

  // The cell's tag: its alignment and its rules.
  std::string Cell(std::size_t col) const {
    std::string tag = "<TD";
    char a = 'c';
    if (kind == kArray && col < align.size()) a = align[col];
    if (kind == kAligned) a = col % 2 ? 'l' : 'r';
    if (a == 'l') tag += " align=left";
    if (a == 'r') tag += " align=right";
    if (kind == kArray) {
      const bool left = col < ruleBefore.size() && ruleBefore[col];
      const bool right = col + 1 == align.size() && ruleBefore[col + 1];
      if (left || right) {
        tag += " style=\"";
        if (left) tag += "border-left: " + std::string(kRule);
        if (left && right) tag += "; ";
        if (right) tag += "border-right: " + std::string(kRule);
        tag += '"';
      }
    }
    return tag + ">";
  }
};

void Translator::Environment(List& list, const Token& t) {
  bool ok = false;
  const std::string_view name = RawArgument(t, &ok);
  if (!ok) return;
  const auto* env = FindEnvironment(name);
  Columns columns;
  columns.kind = env ? env->kind : kMatrix;
  if (!env) {
    // Up to the name's closing brace, which an unended name or one without
    // braces lacks.
    const std::string_view text = lex_.Text();
    std::size_t end = std::size_t(name.data() - text.data()) + name.size();
    if (end < text.size() && text[end] == '}') ++end;
    Diagnose(t.offset, end - t.offset, "unknown environment '" + Excerpt(name) + "'");
    std::string warning = "<FONT color=" + ColorHex(options_.warningColor) + ">";
    AppendEscaped(warning, Excerpt(name));
    Text(warning + "</FONT>", list, Cls::kOrd);
  }
  if (env && env->kind == kArray) {
    if (PeekNonSpace().kind == TokenKind::kChar && lex_.Peek().text == "[") {
      BracketText(lex_.Next());
    }
    columns.Read(RawArgument(t, &ok));
  }
  if (env && (env->name == "alignat" || env->name == "alignat*")) RawArgument(t, &ok);
  const std::string_view open = env ? env->open : "<TABLE>";
  const std::string_view close = env ? env->close : "</TABLE>";
  const int levels = env && env->kind == kPlain ? 0 : open.starts_with("<PAREN") ? 4 : 3;
  const bool flat = levels > 0 && TooDeep(list, levels, t);
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  if (!flat) out_ += open;
  const int height = TableBody(list, t, name, columns, flat ? 0 : levels, flat || levels == 0, false,
                               env ? env->kind : kMatrix);
  if (!flat) out_ += close;
  EndAtom(list, start, Cls::kOrd, levels > 0, (flat ? 0 : levels) + height);
}

void Translator::Substack(List& list, const Token& t) {
  const Token& next = PeekNonSpace();
  if (next.kind != TokenKind::kOpen) {
    Diagnose(t, "missing argument of \\substack");
    return;
  }
  lex_.Next();
  const bool flat = TooDeep(list, 3, t);
  Columns columns;
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  if (!flat) out_ += "<TABLE cellpadding=-15>";
  const int height = TableBody(list, t, "", columns, flat ? 0 : 3, flat, true, kMatrix);
  if (!flat) out_ += "</TABLE>";
  EndAtom(list, start, Cls::kOrd, true, (flat ? 0 : 3) + height);
}

// The rows and cells up to \end{name} (or the closing brace of \substack).
// `flat`: the cells are written one after another without table tags.
// Returns the cells' greatest nesting.
int Translator::TableBody(List& list, const Token& begin, std::string_view name, const Columns& columns,
                          int levels, bool flat, bool braceEnds, int kind) {
  int height = 0;
  bool ruleAbove = false;
  std::size_t lastRow = std::string::npos;  // where the last row's tag begins
  std::size_t lastRowTag = 0;
  for (;;) {
    // \hline before a row rules its top; after the last, the last's bottom.
    for (;;) {
      const Token& next = PeekNonSpace();
      if (next.kind != TokenKind::kCommand || (next.text != "hline" && next.text != "cline")) break;
      const Token rule = lex_.Next();
      if (rule.text == "cline") SkipArgument();
      ruleAbove = true;
    }
    const Token& next = PeekNonSpace();
    const bool ends = braceEnds ? next.kind == TokenKind::kClose
                                : next.kind == TokenKind::kCommand && next.text == "end";
    if (ends && lastRow != std::string::npos) {
      stop_ = lex_.Next();
      if (ruleAbove && !flat) {
        const bool top = out_.compare(lastRow, 4, "<TR ") == 0;
        const std::string tag = top ? "<TR style=\"border-top: 1 solid; border-bottom: 1 solid\">"
                                    : "<TR style=\"border-bottom: 1 solid\">";
        moved_ += out_.size() - lastRow;
        out_.replace(lastRow, lastRowTag, tag);
      }
      if (!braceEnds) {
        bool ok = false;
        const std::string_view closing = RawArgument(stop_, &ok);
        if (ok && closing != name)
          Diagnose(stop_, "\\end{" + Excerpt(closing) + "} does not close \\begin{" +
                              Excerpt(name) + "}");
      }
      return height;
    }
    if (!flat) {
      lastRow = out_.size();
      out_ += ruleAbove ? "<TR style=\"border-top: 1 solid\">" : "<TR>";
      lastRowTag = out_.size() - lastRow;
    } else if (lastRow != std::string::npos) {
      out_ += Space(100);
    }
    if (flat) lastRow = out_.size();
    ruleAbove = false;
    Stop s = Stop::kEndOfText;
    for (std::size_t col = 0;; ++col) {
      if (!flat) out_ += columns.Cell(col);
      else if (col > 0) out_ += Space(50);
      List cell = Child(list, levels);
      cell.display = kind == kAligned || kind == kGathered || kind == kPlain ? list.display : false;
      if (!Enter(cell, begin.offset)) {
        // Too many groups around the table: its body is left out.
        if (!flat) out_ += "</TD></TR>";
        for (int level = 0;;) {
          const Token skip = lex_.Next();
          if (skip.kind == TokenKind::kEnd) return height;
          if (skip.kind == TokenKind::kOpen) ++level;
          if (skip.kind == TokenKind::kClose && level-- == 0 && braceEnds) return height;
          if (skip.kind == TokenKind::kCommand && skip.text == "begin") ++level;
          if (skip.kind == TokenKind::kCommand && skip.text == "end" && level-- == 0 && !braceEnds) {
            SkipArgument();
            return height;
          }
        }
      }
      cell.start = out_.size();
      for (;;) {
        s = ParseList(cell);
        if (s == Stop::kTab || s == Stop::kRow || s == Stop::kEndOfText) break;
        if (braceEnds ? s == Stop::kClose : s == Stop::kEnd) break;
        Stray(s);
      }
      FinishList(cell);
      height = std::max(height, cell.height);
      if (!flat) out_ += "</TD>";
      if (s != Stop::kTab) break;
    }
    if (!flat) out_ += "</TR>";
    if (s == Stop::kRow) {
      // \\[2pt]: the extra space is not drawn.
      if (lex_.Peek().kind == TokenKind::kChar && lex_.Peek().text == "[") {
        BracketText(lex_.Next());
      }
      continue;
    }
    if (s == Stop::kEndOfText) {
      Diagnose(begin, braceEnds ? std::string("missing } of \\substack")
                                : "\\begin{" + Excerpt(name) + "} without its \\end");
      return height;
    }
    if (!braceEnds) {
      bool ok = false;
      const Token end = stop_;
      const std::string_view closing = RawArgument(end, &ok);
      if (ok && closing != name)
        Diagnose(end, "\\end{" + Excerpt(closing) + "} does not close \\begin{" +
                          Excerpt(name) + "}");
    }
    return height;
  }
}

}  // namespace lexaro::tex
