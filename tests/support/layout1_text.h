// The layout sample (1006) as the demo has always shown it, line by line:
// the sample file must hold exactly this text.
#pragma once

namespace test_support {

inline constexpr const char* kLayout1Lines[] = {
    "<FONT face=\"ＭＳ Ｐ明朝\" size=10.5>",
    "",
    "テキストは<<BR>で改行できます。<BR>",
    "<BR>",
    "",
    "<DIV border=1 bordercolor=fuchsia>",
    "  改行後のテキストは、そのときの設定に従って揃えられます。<BR>",
    "  <LEFT><<LEFT><BR>",
    "  <CENTER><<CENTER><BR>",
    "  <RIGHT><<RIGHT>",
    "</DIV>",
};

}  // namespace test_support
