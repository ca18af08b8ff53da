// The commands that build constructs: fractions, radicals, delimiters,
// styles, text, colours, boxes, accents and the rest of the command table's
// kinds.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "tex/translator.h"
#include "tex/writer.h"

namespace lexaro::tex {

namespace {

// A larger copy of a sign drawn at `percent` of the em above the script
// ratio's 55, lowered to stay centred on the line.
std::string Enlarged(std::string_view sign, int percent) {
  return "<SUB size=" + std::to_string(percent) + " style=\"position: " + std::to_string(-(percent - 45) / 2) +
         "\">" + std::string(sign) + "</SUB>";
}

}  // namespace

void Translator::ParseCommand(List& list, const Token& t) {
  if (t.text.empty()) {
    Unknown(list, t, "a lone \\ at the end");
    return;
  }
  const Command* c = FindCommand(t.text);
  if (!c) {
    Unknown(list, t, "unknown command " + Backslashed(t.text));
    return;
  }
  switch (c->kind) {
    case Kind::kSymbol: Symbol(list, *c); return;
    case Kind::kBigOp: BigOp(list, *c); return;
    case Kind::kFunction: Function(list, *c); return;
    case Kind::kFrac: Fraction(list, t, false); return;
    case Kind::kBinom: Fraction(list, t, true); return;
    case Kind::kSqrt: Sqrt(list, t); return;
    case Kind::kLeft: LeftRight(list, t); return;
    case Kind::kRight: return;  // ParseList stops at it
    case Kind::kMiddle: {
      const Delimiter* d = ReadDelimiter(t);
      Text(d->glyph, list, Cls::kRel);
      return;
    }
    case Kind::kBig: Big(list, t, *c); return;
    case Kind::kStyle: Styled(list, t, c->value); return;
    case Kind::kStyleSwitch: list.style = c->value; return;
    case Kind::kText: TextCommand(list, t, c->value); return;
    case Kind::kOperatorName: case Kind::kMathOp: Operator(list, t, *c); return;
    case Kind::kColor: Colour(list, t, false); return;
    case Kind::kTextColor: Colour(list, t, true); return;
    case Kind::kBox: case Kind::kBrace: Boxed(list, t, *c); return;
    case Kind::kAccent: case Kind::kOverset: case Kind::kUnderset: case Kind::kStackrel:
      Accent(list, t, *c);
      return;
    case Kind::kXArrow: XArrow(list, t, *c); return;
    case Kind::kSpace:
      out_ += Space(c->value);
      list.last.present = false;
      return;
    case Kind::kHSpace: HSpace(list, t); return;
    case Kind::kBegin: Environment(list, t); return;
    case Kind::kEnd: return;  // ParseList stops at it
    case Kind::kNot: Not(list, t); return;
    case Kind::kLimits: Limits(list, t, 1); return;
    case Kind::kNoLimits: Limits(list, t, -1); return;
    case Kind::kDisplay: list.display = c->value == 1; return;
    case Kind::kIgnore: return;
    case Kind::kSkipArg: SkipArgument(); return;
    case Kind::kOver: Over(list, t, *c); return;
    case Kind::kSubstack: Substack(list, t); return;
    case Kind::kMod: Mod(list, t, c->value); return;
    case Kind::kTag: {
      bool ok = false;
      const std::string_view tag = RawArgument(t, &ok);
      std::string markup = Space(200) + "(";
      AppendEscaped(markup, tag);
      Text(markup + ")", list, Cls::kOrd);
      return;
    }
    case Kind::kUnsupported:
      Unknown(list, t, Backslashed(t.text) + ": " + std::string(c->markup));
      return;
  }
}

void Translator::BigOp(List& list, const Command& c) {
  BeginAtom(list, Cls::kOp);
  const std::size_t start = out_.size();
  const bool big = list.display && Fits(list, 1, HeightOf(c.markup));
  out_ += big ? Enlarged(c.markup, 75) : std::string(c.markup);
  EndAtom(list, start, Cls::kOp, big, HeightOf(c.markup) + (big ? 1 : 0));
  list.last.limits = c.value == 1 && list.display ? 1 : -1;
}

void Translator::Function(List& list, const Command& c) {
  Text(c.markup, list, Cls::kOp);
  list.last.textOp = true;
  list.last.limits = c.value == 1 && list.display ? 1 : -1;
}

int Translator::HeightOf(std::string_view markup) { return markup.find("<DIV") != std::string_view::npos ? 1 : 0; }

void Translator::Fraction(List& list, const Token& t, bool binom) {
  const int levels = binom ? 4 : 2;
  if (TooDeep(list, levels, t)) {
    Flatten(list, t, 2);
    return;
  }
  // The parts of \dfrac and \cfrac are in display style, the others not.
  const bool display = t.text == "dfrac" || t.text == "cfrac" || t.text == "dbinom";
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  out_ += binom ? "<PAREN><TABLE><TR><TD>" : "<FRAC><S>";
  List a = Child(list, levels);
  a.display = display;
  ParseArgument(a, t);
  out_ += binom ? "</TD></TR><TR><TD>" : "</S><S>";
  List b = Child(list, levels);
  b.display = display;
  ParseArgument(b, t);
  out_ += binom ? "</TD></TR></TABLE></PAREN>" : "</S></FRAC>";
  EndAtom(list, start, Cls::kOrd, true, levels + std::max(a.height, b.height));
}

void Translator::Sqrt(List& list, const Token& t) {
  if (TooDeep(list, 2, t)) {
    std::string ignored;
    List index = Child(list, 0);
    OptionalArgument(index, &ignored);
    Flatten(list, t, 1);
    return;
  }
  std::string index;
  List ix = Child(list, 2);
  ix.display = false;
  const bool hasIndex = OptionalArgument(ix, &index);
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  out_ += hasIndex ? "<SQRTN><S>" : "<SQRT>";
  List r = Child(list, hasIndex ? 2 : 1);
  ParseArgument(r, t);
  out_ += hasIndex ? "</S><S>" + index + "</S></SQRTN>" : std::string("</SQRT>");
  EndAtom(list, start, Cls::kOrd, true, (hasIndex ? 2 : 1) + std::max(r.height, hasIndex ? ix.height : 0));
}

const Delimiter* Translator::ReadDelimiter(const Token& command) {
  const Token& next = PeekNonSpace();
  const Delimiter* d = nullptr;
  if (next.kind == TokenKind::kChar) d = FindDelimiter(next.text, false);
  else if (next.kind == TokenKind::kCommand) d = FindDelimiter(next.text, true);
  if (!d) {
    Diagnose(command, "missing delimiter after " + Backslashed(command.text));
    return FindDelimiter(".", false);
  }
  lex_.Next();
  return d;
}

void Translator::LeftRight(List& list, const Token& t) {
  const Delimiter* left = ReadDelimiter(t);
  const bool paren = !TooDeep(list, 1, t);
  List content = Child(list, paren ? 1 : 0);
  if (!Enter(content, t.offset)) return;
  std::string saved;
  saved.swap(out_);
  content.start = 0;
  const Delimiter* right = FindDelimiter(".", false);
  for (;;) {
    const Stop s = ParseList(content);
    if (s == Stop::kRight) {
      right = ReadDelimiter(stop_);
      break;
    }
    if (s == Stop::kEndOfText) {
      Diagnose(t, "\\left without \\right");
      break;
    }
    Stray(s);
  }
  FinishList(content);
  std::string inner;
  inner.swap(out_);
  out_.swap(saved);
  moved_ += inner.size();
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  if (paren) {
    out_ += "<PAREN type=\"";
    out_ += left->parenType;
    out_ += ',';
    out_ += right->parenType;
    out_ += "\">";
  }
  out_ += inner;
  if (paren) out_ += "</PAREN>";
  EndAtom(list, start, Cls::kOrd, true, content.height + (paren ? 1 : 0));
}

void Translator::Big(List& list, const Token& t, const Command& c) {
  const Delimiter* d = ReadDelimiter(t);
  const Cls cls = c.cls != Cls::kOrd ? c.cls : d->cls;
  if (d->glyph.empty()) return;
  if (Fits(list, 1, 0)) {
    std::string glyph;
    AppendEscaped(glyph, d->glyph);
    BeginAtom(list, cls);
    const std::size_t start = out_.size();
    out_ += Enlarged(glyph, c.value);
    EndAtom(list, start, cls, true, 1);
  } else {
    Text(d->glyph, list, cls);
  }
}

void Translator::Styled(List& list, const Token& t, int style) {
  List child = Child(list, 0);
  child.style = style;
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  if (ParseArgument(child, t)) EndAtom(list, start, Cls::kOrd, child.tall, child.height);
}

// Text as it is written, spaces kept (a run of them is one), escaped for
// the markup; \% and kin write their character, \, and kin a space.
std::string Translator::TextMarkup(std::string_view raw) {
  std::string text;
  bool space = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char ch = raw[i];
    if (ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r' || ch == '~') {
      if (!space) text += ' ';
      space = true;
      continue;
    }
    space = false;
    if (ch == '{' || ch == '}' || ch == '$') continue;
    if (ch == '\\' && i + 1 < raw.size()) {
      std::size_t j = i + 1;
      while (j < raw.size() && std::isalpha(static_cast<unsigned char>(raw[j]))) ++j;
      if (j == i + 1) {
        const char next = raw[i + 1];
        if (next == ',' || next == ';' || next == ':' || next == ' ' || next == '\t' || next == '\n' || next == '\r')
          text += ' ';
        else if (next != '!') AppendEscaped(text, raw.substr(i + 1, 1));
        i = j;
        continue;
      }
      const std::string_view name = raw.substr(i + 1, j - i - 1);
      if (name == "textbackslash") {
        text += '\\';
      } else if (name == "quad" || name == "qquad") {
        text += name == "quad" ? "  " : "    ";
      } else {
        const std::size_t at = std::size_t(raw.data() - lex_.Text().data()) + i;
        Diagnose(at, j - i, "unknown command " + Backslashed(name) + " in text");
        text += "<FONT color=" + ColorHex(options_.warningColor) + ">\\";
        text += name;
        text += "</FONT>";
      }
      i = j - 1;
      continue;
    }
    if (ch == '<') text += '<';
    text += ch;
  }
  return text;
}

void Translator::TextCommand(List& list, const Token& t, int style) {
  bool ok = false;
  const std::string text = TextMarkup(RawArgument(t, &ok));
  Text(std::string(StyleOpen(style)) + text + std::string(StyleClose(style)), list, Cls::kOrd);
}

// \operatorname{name} (with * its limits go below in display style) and
// \mathop{..} and kin, which give a group a class.
void Translator::Operator(List& list, const Token& t, const Command& c) {
  if (c.kind == Kind::kOperatorName) {
    bool limits = false;
    if (lex_.Peek().kind == TokenKind::kChar && lex_.Peek().text == "*") {
      lex_.Next();
      limits = true;
    }
    bool ok = false;
    Text(TextMarkup(RawArgument(t, &ok)), list, Cls::kOp);
    list.last.textOp = true;
    list.last.limits = limits && list.display ? 1 : -1;
    return;
  }
  List child = Child(list, 0);
  BeginAtom(list, c.cls);
  const std::size_t start = out_.size();
  if (!ParseArgument(child, t)) return;
  EndAtom(list, start, c.cls, child.tall, child.height);
  if (c.cls == Cls::kOp) list.last.limits = list.display ? 1 : -1;
}

void Translator::Colour(List& list, const Token& t, bool withText) {
  std::string_view model;
  if (PeekNonSpace().kind == TokenKind::kChar && lex_.Peek().text == "[") {
    model = BracketText(lex_.Next());
  }
  bool ok = false;
  const std::string_view spec = RawArgument(t, &ok);
  COLORREF color = 0;
  const bool known = ok && ReadColor(model, spec, &color);
  if (ok && !known) {
    const std::size_t at = std::size_t(spec.data() - lex_.Text().data());
    Diagnose(at, spec.size(), "unknown colour '" + Excerpt(spec) + "'");
  }
  const std::string font = "<FONT color=" + ColorHex(color) + ">";
  if (!withText) {
    if (known) {
      out_ += font;
      ++list.fonts;
    }
    list.last.present = false;
    return;
  }
  List child = Child(list, 0);
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  if (known) out_ += font;
  const bool parsed = ParseArgument(child, t);
  if (known) out_ += "</FONT>";
  if (parsed || known) EndAtom(list, start, Cls::kOrd, child.tall, child.height);
}

// \boxed, \overline, \underline: a DIV with a border. \overbrace and
// \underbrace draw a rule and take their label as a limit.
void Translator::Boxed(List& list, const Token& t, const Command& c) {
  if (TooDeep(list, 1, t)) {
    Flatten(list, t, 1);
    return;
  }
  const Cls cls = c.kind == Kind::kBrace ? Cls::kOp : Cls::kOrd;
  List child = Child(list, 1);
  BeginAtom(list, cls);
  const std::size_t start = out_.size();
  out_ += "<DIV style=\"";
  out_ += c.markup;
  out_ += "\">";
  ParseArgument(child, t);
  out_ += "</DIV>";
  EndAtom(list, start, cls, true, child.height + 1);
  if (c.kind == Kind::kBrace) list.last.limits = 1;
}

// Accents and \overset, \underset, \stackrel: a mark or a script centred
// over or under the base.
void Translator::Accent(List& list, const Token& t, const Command& c) {
  const bool accent = c.kind == Kind::kAccent;
  if (TooDeep(list, 2, t)) {
    Flatten(list, t, accent ? 1 : 2);  // the script, then the base
    return;
  }
  std::string mark;
  int markHeight = 0;
  if (accent) {
    mark = c.markup;
  } else {
    List script = Child(list, 2);
    script.display = false;
    bool ok = false;
    mark = CaptureArgument(script, t, &ok);
    markHeight = script.height;
  }
  const bool under = c.kind == Kind::kUnderset;
  const Cls cls = c.kind == Kind::kStackrel ? Cls::kRel : Cls::kOrd;
  List base = Child(list, 2);
  BeginAtom(list, cls);
  const std::size_t start = out_.size();
  out_ += under ? "<BTM><S>" : "<TOP><S>";
  ParseArgument(base, t);
  out_ += accent ? "</S><S style=\"position: " + std::to_string(c.value) + "\">" : std::string("</S><S>");
  out_ += mark;
  out_ += under ? "</S></BTM>" : "</S></TOP>";
  EndAtom(list, start, cls, base.tall, 2 + std::max(base.height, markHeight));
}

void Translator::XArrow(List& list, const Token& t, const Command& c) {
  List below = Child(list, 2), above = Child(list, 2);
  below.display = above.display = false;
  std::string under;
  const bool hasBelow = OptionalArgument(below, &under);
  bool ok = false;
  const std::string over = CaptureArgument(above, t, &ok);
  if (TooDeep(list, 2, t)) {
    // The arrow, then what it was to carry.
    Text(c.markup, list, Cls::kRel);
    if (!under.empty()) Text(under, list, Cls::kOrd);
    if (!over.empty()) Text(over, list, Cls::kOrd);
    return;
  }
  std::string markup = hasBelow ? "<TB><S>" : "<TOP><S>";
  markup += c.markup;
  if (hasBelow) markup += "</S><S>" + under;
  markup += "</S><S>" + over + (hasBelow ? "</S></TB>" : "</S></TOP>");
  BeginAtom(list, Cls::kRel);
  const std::size_t start = out_.size();
  out_ += markup;
  EndAtom(list, start, Cls::kRel, false, 2 + std::max(below.height, above.height));
}

// Infix \over, \atop and \choose split the group they stand in; the split
// is made when the group ends.
void Translator::Over(List& list, const Token& t, const Command& c) {
  if (list.over != std::string::npos) {
    Diagnose(t, "ambiguous: a second " + Backslashed(t.text) + " in one group");
    return;
  }
  for (; list.fonts > 0; --list.fonts) out_ += "</FONT>";
  list.over = out_.size();
  list.overKind = c.value;
  list.overOffset = t.offset;
  list.last.present = false;
}

void Translator::Not(List& list, const Token& t) {
  const Token& next = PeekNonSpace();
  std::string_view negated;
  // A character (=, <) or a control word (\in); \< and \= are not relations.
  const bool word = next.kind == TokenKind::kCommand && !next.text.empty() &&
                    std::isalpha(static_cast<unsigned char>(next.text[0]));
  if (next.kind == TokenKind::kChar || word) negated = Negated(next.text);
  if (negated.empty()) {
    const std::string_view written = lex_.Text().substr(next.offset, next.length);
    Diagnose(t, "\\not before '" + Excerpt(written) + "', which has no negated form");
    return;
  }
  lex_.Next();
  Command c{"", Kind::kSymbol, negated, Cls::kRel, 0, 0};
  Symbol(list, c);
}

// \hspace{2em}: lengths in em, ex, mu, pt, mm, cm, in (10 pt to the em).
void Translator::HSpace(List& list, const Token& t) {
  if (lex_.Peek().kind == TokenKind::kChar && lex_.Peek().text == "*") lex_.Next();
  bool ok = false;
  const std::string_view raw = RawArgument(t, &ok);
  if (!ok) return;
  std::string text(raw.substr(0, 64));
  char* unit = nullptr;
  const double value = std::strtod(text.c_str(), &unit);
  std::string_view u(unit);
  while (!u.empty() && u.front() == ' ') u.remove_prefix(1);
  static constexpr std::pair<std::string_view, double> kUnits[] = {
      {"em", 100}, {"ex", 43}, {"mu", 100.0 / 18}, {"pt", 10}, {"bp", 10}, {"px", 10},
      {"mm", 28.45}, {"cm", 284.5}, {"in", 722.7}};
  for (const auto& [name, percent] : kUnits) {
    if (u != name || unit == text.c_str() || !std::isfinite(value)) continue;
    out_ += Space(int(std::clamp(value * percent, -10000.0, 10000.0)));
    list.last.present = false;
    return;
  }
  Diagnose(t, "'" + Excerpt(raw) + "' is not a length");
}

void Translator::Mod(List& list, const Token& t, int kind) {
  if (kind == 0) {
    Text(Space(22) + "mod" + Space(22), list, Cls::kBin);
    return;
  }
  List child = Child(list, 0);
  BeginAtom(list, Cls::kOrd);
  const std::size_t start = out_.size();
  out_ += Space(kind == 1 ? 100 : 50);
  out_ += kind == 1 ? "(mod" + Space(33) : std::string("(");
  ParseArgument(child, t);
  out_ += ')';
  EndAtom(list, start, Cls::kOrd, child.tall, std::max(1, child.height));
}

}  // namespace lexaro::tex
