// The TeX commands the translator knows, kept as data: each name says what
// it becomes (a vocabulary symbol tag, a character, or a construct the
// translator builds), its class for spacing and scripts, and the Unicode
// character that means the same when typed directly.
#pragma once

#include <string_view>

namespace lexaro::tex {

// TeX's atom classes, as far as they matter here.
enum class Cls { kOrd, kOp, kBin, kRel, kOpen, kClose, kPunct };

enum class Kind {
  kSymbol,        // markup: a symbol tag or text; value 1: a letter that follows the style (lowercase Greek)
  kBigOp,         // a large operator; value 1: limits above and below in display style
  kFunction,      // an upright name; value 1: limits below in display style
  kFrac,          // \frac and kin
  kBinom,         // \binom and kin
  kSqrt,
  kLeft, kRight, kMiddle,
  kBig,           // \big( ...; value: the size in percent of the em
  kStyle,         // \mathrm{..}; value: a LetterStyle
  kStyleSwitch,   // \rm ...: the style for the rest of the group
  kText,          // \text{..}; value: a LetterStyle for the text
  kOperatorName,  // value 1: with limits (\operatorname*)
  kMathOp,        // \mathop{..}
  kColor, kTextColor,
  kBox,           // markup: the DIV's style (\boxed, \overline, \underline)
  kBrace,         // \overbrace, \underbrace; value 1: over
  kAccent,        // markup: the mark; value: its position
  kOverset, kUnderset, kStackrel,
  kXArrow,        // markup: the arrow
  kSpace,         // value: percent of the em
  kHSpace,        // \hspace{length}
  kBegin, kEnd,
  kNot,
  kLimits, kNoLimits,
  kDisplay,       // value 1: \displaystyle, 0: the others
  kIgnore,        // draws nothing
  kSkipArg,       // draws nothing and takes one argument (\label, \phantom)
  kOver,          // infix \over, \atop, \choose; value 0, 1, 2
  kSubstack,
  kMod,           // value 0: \bmod, 1: \pmod, 2: \pod
  kTag,
  kUnsupported,   // known, but not drawn: a diagnostic
};

enum LetterStyle { kItalic, kUpright, kBold, kBoldItalic, kDoubleStruck, kScript, kFraktur };

struct Command {
  std::string_view name;
  Kind kind;
  std::string_view markup;
  Cls cls = Cls::kOrd;
  int value = 0;
  char32_t code = 0;  // the character typed directly, if any
};

// The command of a name (without the backslash), or null.
const Command* FindCommand(std::string_view name);
// The symbol a character typed directly stands for, or null.
const Command* FindCharacter(char32_t code);
// The markup of the negation of a relation (\not\in: <notin>), or empty.
std::string_view Negated(std::string_view relation);
// Every command, for tests and coverage counts.
const Command* Commands(std::size_t* count);

// The delimiter kind a \left, \right or \big takes, by the token after it
// ("(" or "langle"): the PAREN type name and the character drawn at a fixed
// size. Null when it is not a delimiter.
struct Delimiter {
  std::string_view token;
  std::string_view parenType;  // PAREN's name for it; "_" for '.'
  std::string_view glyph;      // drawn at a fixed size
  Cls cls;
};
const Delimiter* FindDelimiter(std::string_view token, bool command);

}  // namespace lexaro::tex
