// The translator: reads TeX math token by token and writes markup into one
// string as it goes. Each list (the formula, a group, an argument, a cell)
// remembers where its last atom begins, so that scripts, \over and \limits
// can wrap that atom in a construct after it was written. Only a wrapped
// atom's bytes move, and a byte moves once per construct around it, so the
// work stays within the markup's nesting limit times the text's length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lexaro/tex.h"
#include "tex/commands.h"
#include "tex/lexer.h"

namespace lexaro::tex {

// The markup nests its constructs at most this deep; the translation never
// writes deeper.
constexpr int kMaxDepth = 64;
// TeX groups, arguments and environments nest at most this deep (each is a
// level of recursion here).
constexpr int kMaxGroups = 100;
constexpr std::size_t kMaxTexLength = std::size_t(4) << 20;
constexpr std::size_t kMaxDiagnostics = 1000;

// Why a list ended.
enum class Stop { kEndOfText, kClose, kTab, kRow, kEnd, kRight, kBracket, kDollar };

// The last atom of a list, as far as the next token may change it.
struct Atom {
  bool present = false;
  std::size_t start = 0;       // where its markup begins
  std::size_t end = 0;         // where it ended when written
  Cls cls = Cls::kOrd;
  bool tall = false;           // holds a construct: scripts go at its top right
  bool scripted = false;
  bool textOp = false;         // a function name: a thin space before what follows
  int limits = 0;              // an operator: 1 limits above and below, -1 at the right
  int runStyle = -1;           // a run of letters in a style another letter may join
  std::size_t lastLetter = 0;  // where the run's last letter begins
  int height = 0;              // nesting of constructs within it
};

struct List {
  int depth = 0;    // constructs around the list
  int groups = 0;   // groups around the list
  int style = kItalic;
  bool display = false;
  bool stopAtBracket = false;  // an optional argument: ']' ends it
  std::size_t start = 0;
  Atom last;
  int height = 0;
  bool tall = false;
  int fonts = 0;                           // FONT tags \color opened
  std::size_t over = std::string::npos;    // \over: where the denominator begins
  int overKind = 0;
  std::size_t overOffset = 0;
};

class Translator {
 public:
  Translator(std::string_view tex, std::size_t begin, std::size_t end, const TexOptions& options);
  // Translates the whole text; the result's markup and diagnostics.
  void Run(TexResult* result);
  // The work beyond writing each byte once: bytes of markup moved to make
  // room for a construct around them, and bytes of captured parts copied in.
  std::size_t Moved() const { return moved_; }

 private:
  friend struct EnvironmentReader;
  // Lists.
  Stop ParseList(List& list);
  void FinishList(List& list);
  List Child(const List& parent, int levels) const;
  bool ParseGroupInto(List& child, std::size_t openOffset);
  // The argument of a command, written at the end of the markup: a group or
  // one token. False (and a diagnostic) when there is none.
  bool ParseArgument(List& child, const Token& command);
  std::string CaptureArgument(List& child, const Token& command, bool* ok);
  bool OptionalArgument(List& child, std::string* markup);
  std::string_view RawArgument(const Token& command, bool* ok);
  void SkipArgument();
  // One token that starts an atom.
  void ParseAtom(List& list, const Token& t);
  void ParseChar(List& list, const Token& t);
  void ParseCommand(List& list, const Token& t);
  void Scripts(List& list, Token t);
  void Limits(List& list, const Token& t, int limits);
  // Atoms.
  void BeginAtom(List& list, Cls cls);
  void EndAtom(List& list, std::size_t start, Cls cls, bool tall, int height);
  void Letter(List& list, std::string_view bytes, int style);
  void Symbol(List& list, const Command& c);
  void Text(std::string_view markup, List& list, Cls cls);
  void WrapBase(List& list, std::string_view open);
  bool Fits(const List& list, int levels, int height) const { return list.depth + levels + height <= kMaxDepth; }
  bool TooDeep(const List& list, int levels, const Token& t);
  // The construct depth of fixed markup from the command table (its spaces
  // are DIVs).
  static int HeightOf(std::string_view markup);
  // Constructs.
  void Fraction(List& list, const Token& t, bool binom);
  void Sqrt(List& list, const Token& t);
  void LeftRight(List& list, const Token& t);
  void Big(List& list, const Token& t, const Command& c);
  void Styled(List& list, const Token& t, int style);
  void TextCommand(List& list, const Token& t, int style);
  std::string TextMarkup(std::string_view raw);
  void Operator(List& list, const Token& t, const Command& c);
  void Colour(List& list, const Token& t, bool withText);
  void Boxed(List& list, const Token& t, const Command& c);
  void Accent(List& list, const Token& t, const Command& c);
  void Over(List& list, const Token& t, const Command& c);
  void XArrow(List& list, const Token& t, const Command& c);
  void Not(List& list, const Token& t);
  void HSpace(List& list, const Token& t);
  void Mod(List& list, const Token& t, int kind);
  void Environment(List& list, const Token& t);
  void Substack(List& list, const Token& t);
  void Unknown(List& list, const Token& t, std::string_view message);
  // Diagnostics.
  void Diagnose(std::size_t offset, std::size_t length, std::string message);
  void Diagnose(const Token& t, std::string message) { Diagnose(t.offset, t.length, std::move(message)); }
  Token NextNonSpace();
  const Token& PeekNonSpace();

  // Tables: the rows and cells of an environment or \substack, up to its end.
  struct Columns;
  int TableBody(List& list, const Token& begin, std::string_view name, const Columns& columns,
                int levels, bool flat, bool braceEnds, int kind);
  void Stray(Stop stop);
  const Delimiter* ReadDelimiter(const Token& command);
  void Flatten(List& list, const Token& t, int arguments);
  void SplitRun(List& list);
  void BigOp(List& list, const Command& c);
  void Function(List& list, const Command& c);
  // The text up to the ] that closes `open`; a missing one is diagnosed.
  std::string_view BracketText(const Token& open);
  bool Enter(const List& child, std::size_t offset);

  Lexer lex_;
  TexOptions options_;
  std::string out_;
  std::vector<TexDiagnostic> diagnostics_;
  std::size_t dropped_ = 0;
  std::size_t moved_ = 0;
  Token stop_;  // the token that ended the last list
};

}  // namespace lexaro::tex
