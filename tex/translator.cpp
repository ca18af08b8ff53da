#include "tex/translator.h"

#include <algorithm>

#include "tex/writer.h"

namespace lexaro::tex {

namespace {

bool IsStop(const Token& t) {
  switch (t.kind) {
    case TokenKind::kEnd: case TokenKind::kClose: case TokenKind::kTab: case TokenKind::kSup:
    case TokenKind::kSub: case TokenKind::kPrime: case TokenKind::kDollar:
      return true;
    case TokenKind::kCommand:
      return t.text == "\\" || t.text == "cr" || t.text == "end" || t.text == "right";
    default:
      return false;
  }
}

}  // namespace

Translator::Translator(std::string_view tex, std::size_t begin, std::size_t end, const TexOptions& options)
    : lex_(tex.substr(0, end), begin), options_(options) {
  out_.reserve((end - begin) * 3 + 16);
}

void Translator::Run(TexResult* result) {
  List top;
  top.display = options_.display;
  for (;;) {
    const Stop s = ParseList(top);
    if (s == Stop::kEndOfText) break;
    if (s == Stop::kClose) Diagnose(stop_, "} without a matching {");
    else Stray(s);
  }
  FinishList(top);
  std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                   [](const TexDiagnostic& a, const TexDiagnostic& b) { return a.offset < b.offset; });
  if (dropped_) {
    const std::size_t at = diagnostics_.back().offset;
    diagnostics_.push_back({at, 0, std::to_string(dropped_) + " more diagnostics left out"});
  }
  result->markup = std::move(out_);
  result->diagnostics = std::move(diagnostics_);
}

void Translator::Diagnose(std::size_t offset, std::size_t length, std::string message) {
  if (diagnostics_.size() >= kMaxDiagnostics) {
    ++dropped_;
    return;
  }
  diagnostics_.push_back({offset, length, std::move(message)});
}

// A token that ends a list where it has no place.
void Translator::Stray(Stop stop) {
  const Token t = stop_;
  switch (stop) {
    case Stop::kClose: Diagnose(t, "} without a matching {"); break;
    case Stop::kTab: Diagnose(t, "& outside a table or alignment"); break;
    case Stop::kRow: Diagnose(t, "\\\\ outside a table or alignment"); break;
    case Stop::kDollar: Diagnose(t, "$ inside the formula"); break;
    case Stop::kEnd: {
      bool ok = false;
      const std::string_view name = RawArgument(t, &ok);
      Diagnose(t, "\\end{" + Excerpt(name) + "} without its \\begin");
      break;
    }
    case Stop::kRight:
      Diagnose(t, "\\right without \\left");
      ReadDelimiter(t);
      break;
    default: break;
  }
}

Token Translator::NextNonSpace() {
  while (lex_.Peek().kind == TokenKind::kSpace) lex_.Next();
  return lex_.Next();
}

const Token& Translator::PeekNonSpace() {
  while (lex_.Peek().kind == TokenKind::kSpace) lex_.Next();
  return lex_.Peek();
}

// ---- Lists ----

Stop Translator::ParseList(List& list) {
  for (;;) {
    const Token t = lex_.Next();
    switch (t.kind) {
      case TokenKind::kEnd: stop_ = t; return Stop::kEndOfText;
      case TokenKind::kClose: stop_ = t; return Stop::kClose;
      case TokenKind::kTab: stop_ = t; return Stop::kTab;
      case TokenKind::kDollar: stop_ = t; return Stop::kDollar;
      case TokenKind::kSpace: continue;
      case TokenKind::kSup: case TokenKind::kSub: case TokenKind::kPrime:
        Scripts(list, t);
        continue;
      case TokenKind::kCommand:
        if (t.text == "\\" || t.text == "cr" || t.text == "newline") { stop_ = t; return Stop::kRow; }
        if (t.text == "end") { stop_ = t; return Stop::kEnd; }
        if (t.text == "right") { stop_ = t; return Stop::kRight; }
        break;
      case TokenKind::kChar:
        if (list.stopAtBracket && t.text == "]") { stop_ = t; return Stop::kBracket; }
        break;
      default: break;
    }
    ParseAtom(list, t);
  }
}

// Closes what \color opened and builds what \over asked for.
void Translator::FinishList(List& list) {
  for (; list.fonts > 0; --list.fonts) out_ += "</FONT>";
  if (list.over == std::string::npos) return;
  static constexpr std::string_view kOpen[] = {"<FRAC><S>", "<TABLE><TR><TD>", "<PAREN><TABLE><TR><TD>"};
  static constexpr std::string_view kMid[] = {"</S><S>", "</TD></TR><TR><TD>", "</TD></TR><TR><TD>"};
  static constexpr std::string_view kClose[] = {"</S></FRAC>", "</TD></TR></TABLE>", "</TD></TR></TABLE></PAREN>"};
  static constexpr int kLevels[] = {2, 3, 4};
  const int k = list.overKind;
  if (!Fits(list, kLevels[k], list.height)) {
    Diagnose(list.overOffset, 0, "nested deeper than 64 constructs: the fraction is left out");
    return;
  }
  moved_ += (out_.size() - list.over) + (out_.size() - list.start);
  out_.insert(list.over, kMid[k]);
  out_.insert(list.start, kOpen[k]);
  out_ += kClose[k];
  list.height += kLevels[k];
  list.tall = true;
}

List Translator::Child(const List& parent, int levels) const {
  List c;
  c.depth = parent.depth + levels;
  c.groups = parent.groups + 1;
  c.style = parent.style;
  c.display = parent.display;
  c.start = out_.size();
  return c;
}

bool Translator::Enter(const List& child, std::size_t offset) {
  if (child.groups <= kMaxGroups) return true;
  Diagnose(offset, 1, "groups nested deeper than " + std::to_string(kMaxGroups) + ": the group is left out");
  return false;
}

bool Translator::ParseGroupInto(List& child, std::size_t openOffset) {
  if (!Enter(child, openOffset)) {
    lex_.TakeRawGroupBody();
    if (lex_.Peek().kind == TokenKind::kClose) lex_.Next();
    return false;
  }
  child.start = out_.size();
  for (;;) {
    const Stop s = ParseList(child);
    if (s == Stop::kClose) break;
    if (s == Stop::kEndOfText) {
      Diagnose(openOffset, 1, "missing } for this {");
      break;
    }
    Stray(s);
  }
  FinishList(child);
  return true;
}

bool Translator::ParseArgument(List& child, const Token& command) {
  const Token& next = PeekNonSpace();
  if (next.kind == TokenKind::kOpen) {
    const std::size_t at = lex_.Next().offset;
    return ParseGroupInto(child, at);
  }
  if (IsStop(next) || (next.kind == TokenKind::kChar && child.stopAtBracket && next.text == "]")) {
    Diagnose(command, "missing argument of " + Backslashed(command.text));
    return false;
  }
  if (!Enter(child, next.offset)) {
    lex_.Next();
    return false;
  }
  const Token t = lex_.Next();
  child.start = out_.size();
  ParseAtom(child, t);
  FinishList(child);
  return true;
}

std::string Translator::CaptureArgument(List& child, const Token& command, bool* ok) {
  std::string saved;
  saved.swap(out_);
  child.start = 0;
  *ok = ParseArgument(child, command);
  std::string captured;
  captured.swap(out_);
  out_.swap(saved);
  moved_ += captured.size();
  return captured;
}

bool Translator::OptionalArgument(List& child, std::string* markup) {
  const Token& next = PeekNonSpace();
  if (next.kind != TokenKind::kChar || next.text != "[") return false;
  const Token open = lex_.Next();
  if (!Enter(child, open.offset)) {
    BracketText(open);
    return false;
  }
  std::string saved;
  saved.swap(out_);
  child.start = 0;
  child.stopAtBracket = true;
  for (;;) {
    const Stop s = ParseList(child);
    if (s == Stop::kBracket) break;
    if (s == Stop::kEndOfText) {
      Diagnose(open, "missing ] for this [");
      break;
    }
    Stray(s);
  }
  FinishList(child);
  markup->swap(out_);
  out_.swap(saved);
  moved_ += markup->size();
  return true;
}

// The raw text of an optional argument in brackets, after its '['; empty
// when there is none.
std::string_view Translator::BracketText(const Token& open) {
  const std::size_t from = lex_.Offset();
  for (;;) {
    const Token t = lex_.Next();
    if (t.kind == TokenKind::kEnd) {
      Diagnose(open, "missing ] for this [");
      return lex_.Text().substr(from);
    }
    if (t.kind == TokenKind::kChar && t.text == "]") return lex_.Text().substr(from, t.offset - from);
  }
}

std::string_view Translator::RawArgument(const Token& command, bool* ok) {
  const Token& next = PeekNonSpace();
  *ok = true;
  if (next.kind == TokenKind::kOpen) {
    const Token open = lex_.Next();
    const std::string_view body = lex_.TakeRawGroupBody();
    if (lex_.Peek().kind == TokenKind::kClose) lex_.Next();
    else Diagnose(open, "missing } for this {");
    return body;
  }
  if (next.kind == TokenKind::kChar) return lex_.Next().text;
  *ok = false;
  Diagnose(command, "missing argument of " + Backslashed(command.text));
  return {};
}

void Translator::SkipArgument() {
  const Token& next = PeekNonSpace();
  if (next.kind == TokenKind::kOpen) {
    lex_.Next();
    lex_.TakeRawGroupBody();
    if (lex_.Peek().kind == TokenKind::kClose) lex_.Next();
  } else if (!IsStop(next)) {
    lex_.Next();
  }
}

// ---- Atoms ----

// A function name is followed by a thin space before an ordinary atom or
// another operator, as TeX spaces them.
void Translator::BeginAtom(List& list, Cls cls) {
  const Atom& a = list.last;
  if (a.present && a.textOp && a.end == out_.size() && (cls == Cls::kOrd || cls == Cls::kOp))
    out_ += Space(17);
}

void Translator::EndAtom(List& list, std::size_t start, Cls cls, bool tall, int height) {
  Atom a;
  a.present = true;
  a.start = start;
  a.end = out_.size();
  a.cls = cls;
  a.tall = tall;
  a.height = height;
  list.last = a;
  list.height = std::max(list.height, height);
  list.tall = list.tall || tall;
}

void Translator::Letter(List& list, std::string_view bytes, int style) {
  const std::string_view open = StyleOpen(style), close = StyleClose(style);
  Atom& a = list.last;
  if (!close.empty() && a.present && a.runStyle == style && !a.scripted && a.end == out_.size()) {
    out_.resize(out_.size() - close.size());
    a.lastLetter = out_.size();
    out_ += bytes;
    out_ += close;
    a.end = out_.size();
    return;
  }
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  out_ += open;
  const std::size_t letter = out_.size();
  out_ += bytes;
  out_ += close;
  EndAtom(list, start, Cls::kOrd, false, 0);
  if (!close.empty()) list.last.runStyle = style;
  list.last.lastLetter = letter;
}

void Translator::Symbol(List& list, const Command& c) {
  if (c.value == 1) {  // a lowercase Greek letter follows the letter style
    const int style = list.style >= kDoubleStruck ? kUpright : list.style;
    Letter(list, c.markup, style);
    return;
  }
  BeginAtom(list, c.cls);
  const std::size_t start = out_.size();
  // A relation or operator drawn as a character gets the room a symbol tag
  // has on either side.
  const bool spaced = (c.cls == Cls::kRel || c.cls == Cls::kBin) && c.markup[0] != '<' &&
                      Fits(list, 1, 0);
  if (spaced) out_ += Space(12);
  out_ += c.markup;
  if (spaced) out_ += Space(12);
  EndAtom(list, start, c.cls, false, spaced ? 1 : HeightOf(c.markup));
}

void Translator::Text(std::string_view markup, List& list, Cls cls) {
  BeginAtom(list, cls);
  const std::size_t start = out_.size();
  out_ += markup;
  EndAtom(list, start, cls, false, HeightOf(markup));
}

void Translator::ParseChar(List& list, const Token& t) {
  const char32_t c = t.code;
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (letter) {
    if (list.style >= kDoubleStruck) Letter(list, StyledLetter(list.style, char(c)), kUpright);
    else Letter(list, t.text, list.style);
    return;
  }
  if (c >= '0' && c <= '9') {
    const bool bold = list.style == kBold || list.style == kBoldItalic;
    Letter(list, t.text, bold ? kBold : kUpright);
    return;
  }
  if (const Command* cmd = FindCharacter(c)) {
    if (cmd->kind == Kind::kBigOp) BigOp(list, *cmd);
    else Symbol(list, *cmd);
    return;
  }
  switch (c) {
    case '(': case '[': Text(t.text, list, Cls::kOpen); return;
    case ')': case ']': Text(t.text, list, Cls::kClose); return;
    case ',': case ';': Text(t.text, list, Cls::kPunct); return;
    case '#': Diagnose(t, "# has no meaning in a formula (write \\#)"); return;
    default: break;
  }
  if (c < 0x20 || c == 0x7F) return;  // control characters draw nothing
  std::string text;
  AppendEscaped(text, t.text);
  Text(text, list, Cls::kOrd);
}

void Translator::ParseAtom(List& list, const Token& t) {
  switch (t.kind) {
    case TokenKind::kOpen: {
      List child = Child(list, 0);
      BeginAtom(list, Cls::kOrd);
      const std::size_t start = out_.size();
      if (ParseGroupInto(child, t.offset)) EndAtom(list, start, Cls::kOrd, child.tall, child.height);
      return;
    }
    case TokenKind::kTilde:
      out_ += Space(33);
      list.last.present = false;
      return;
    case TokenKind::kChar: ParseChar(list, t); return;
    case TokenKind::kCommand: ParseCommand(list, t); return;
    default: return;
  }
}

void Translator::Unknown(List& list, const Token& t, std::string_view message) {
  Diagnose(t, std::string(message));
  std::string markup = "<FONT color=" + ColorHex(options_.warningColor) + ">";
  AppendEscaped(markup, lex_.Text().substr(t.offset, t.length));
  markup += "</FONT>";
  Text(markup, list, Cls::kOrd);
}

// ---- Scripts ----

// Makes the last letter of a run the atom alone, so that a construct wraps
// it and not the letters before it.
void Translator::SplitRun(List& list) {
  Atom& a = list.last;
  if (a.runStyle < 0) return;
  const std::string_view open = StyleOpen(a.runStyle), close = StyleClose(a.runStyle);
  if (a.lastLetter > a.start + open.size()) {
    const std::size_t runEnd = a.lastLetter + (out_.find(close, a.lastLetter) - a.lastLetter) + close.size();
    std::string letter = out_.substr(a.lastLetter, runEnd - close.size() - a.lastLetter);
    std::string suffix = out_.substr(runEnd);
    moved_ += out_.size() - a.lastLetter;
    out_.resize(a.lastLetter);
    out_ += close;
    a.start = out_.size();
    out_ += open;
    out_ += letter;
    out_ += close;
    out_ += suffix;
  }
  a.runStyle = -1;
}

void Translator::WrapBase(List& list, std::string_view open) {
  SplitRun(list);
  moved_ += out_.size() - list.last.start;
  out_.insert(list.last.start, open);
}

void Translator::Scripts(List& list, Token t) {
  std::string sup, sub;
  bool hasSup = false, hasSub = false;
  int primes = 0, height = 0;
  // Scripts need a level of their own, two when they stack; with no room
  // left they are written inline.
  const bool room = Fits(list, 2, 0);
  if (!room && t.kind != TokenKind::kPrime)
    Diagnose(t, "nested deeper than 64 constructs: the script is drawn inline");
  for (;;) {
    if (t.kind == TokenKind::kPrime) {
      if (hasSup) Diagnose(t, "double superscript");
      else ++primes;
    } else {
      const bool isSup = t.kind == TokenKind::kSup;
      List child = Child(list, room ? 2 : 0);
      child.display = false;
      bool ok = false;
      std::string m = CaptureArgument(child, t, &ok);
      if (isSup ? hasSup : hasSub) {
        Diagnose(t, isSup ? "double superscript" : "double subscript");
      } else if (ok) {
        (isSup ? sup : sub) = std::move(m);
        (isSup ? hasSup : hasSub) = true;
        height = std::max(height, child.height);
      }
    }
    const Token& next = PeekNonSpace();
    if (next.kind != TokenKind::kSup && next.kind != TokenKind::kSub && next.kind != TokenKind::kPrime) break;
    t = lex_.Next();
  }

  Atom& a = list.last;
  if (!a.present || a.scripted || a.end != out_.size()) {
    // Nothing to attach to: an empty base, as TeX's {}.
    a = Atom{};
    a.present = true;
    a.start = a.end = out_.size();
  }
  if (primes && a.tall && room) {
    // After a construct the primes are a superscript at its top right, as
    // TeX reads f' as f^{\prime}; beside a letter they draw inline.
    std::string marks;
    for (int i = 0; i < primes; ++i) marks += "<'>";
    sup.insert(0, marks);
    hasSup = true;
  } else if (primes) {
    SplitRun(list);  // the primes belong to the last letter, and end the run
    for (int i = 0; i < primes; ++i) out_ += "<'>";
  }
  a.end = out_.size();
  if (!hasSup && !hasSub) return;
  if (!room) {
    out_ += sub;
    out_ += sup;
    list.last.scripted = true;
    list.last.runStyle = -1;
    list.last.end = out_.size();
    list.height = std::max(list.height, height);
    return;
  }

  const bool fits = Fits(list, 2, std::max(a.height, height));
  int wrapped = 0;
  if (a.limits == 1 && fits) {
    if (hasSub && hasSup) {
      WrapBase(list, "<TB><S>");
      out_ += "</S><S>" + sub + "</S><S>" + sup + "</S></TB>";
    } else if (hasSub) {
      WrapBase(list, "<BTM><S>");
      out_ += "</S><S>" + sub + "</S></BTM>";
    } else {
      WrapBase(list, "<TOP><S>");
      out_ += "</S><S>" + sup + "</S></TOP>";
    }
    wrapped = 2;
  } else if (fits && hasSub && hasSup) {
    WrapBase(list, "<RTB><S>");
    out_ += "</S><S>" + sub + "</S><S>" + sup + "</S></RTB>";
    wrapped = 2;
  } else if (fits && a.tall) {
    WrapBase(list, hasSup ? "<RTOP><S>" : "<RBTM><S>");
    out_ += "</S><S>" + (hasSup ? sup : sub) + (hasSup ? "</S></RTOP>" : "</S></RBTM>");
    wrapped = 2;
  } else {
    if (hasSub) out_ += "<SUB>" + sub + "</SUB>";
    if (hasSup) out_ += "<SUP>" + sup + "</SUP>";
  }
  Atom& b = list.last;
  b.scripted = true;
  b.runStyle = -1;
  b.end = out_.size();
  b.height = wrapped ? std::max(b.height, height) + 2 : std::max(b.height, height + 1);
  b.tall = b.tall || wrapped;
  list.height = std::max(list.height, b.height);
}

void Translator::Limits(List& list, const Token& t, int limits) {
  Atom& a = list.last;
  if (a.present && a.cls == Cls::kOp && !a.scripted && a.end == out_.size()) a.limits = limits;
  else Diagnose(t, Backslashed(t.text) + " follows no operator");
}

bool Translator::TooDeep(const List& list, int levels, const Token& t) {
  if (Fits(list, levels, 0)) return false;
  Diagnose(t, "nested deeper than 64 constructs: " + Backslashed(t.text) + " is drawn without its construct");
  return true;
}

// A construct nested too deep: its arguments side by side, without it.
void Translator::Flatten(List& list, const Token& t, int arguments) {
  for (int i = 0; i < arguments; ++i) {
    List child = Child(list, 0);
    BeginAtom(list, Cls::kOrd);
    const std::size_t start = out_.size();
    if (ParseArgument(child, t)) EndAtom(list, start, Cls::kOrd, child.tall, child.height);
  }
}

}  // namespace lexaro::tex
