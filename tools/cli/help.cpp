// The text of `lexaro --help`.
#include <string>

#include "tools/cli/options.h"

namespace cli {

std::string HelpText() {
  return R"(Usage:
  lexaro render [options] MARKUP     draw a markup text ('-' reads standard input)
  lexaro render [options] -f FILE    draw the markup text of a file ('-f -': standard input)
  lexaro batch FILE -o DIR [options] draw every formula of FILE into DIR
  lexaro samples -o DIR [options]    draw the sample gallery into DIR
  lexaro check [FILE|-]...           list what the markup of each file passes
                                     over or repairs (standard input when none)
  lexaro tex2markup [TEX|-|-f FILE]  print the markup of a TeX math text
                                     (standard input when none is given)
  lexaro --help | --version

Output:
  -o, --output OUT     render: the image file, or '-' for standard output;
                       batch and samples: the directory (created if missing);
                       tex2markup: the markup file (standard output by
                       default)
  --format png|svg     the image format; by default the output's extension
                       decides (.svg is SVG, anything else PNG)
  --extent             render: print the upright box of the layout and the
                       size of the image as JSON, {"width":W,"ascent":A,
                       "descent":D,"imageWidth":IW,"imageHeight":IH} in
                       pixels, instead of drawing

TeX:
  --tex                render, batch, check: the texts are TeX math (as
                       between $...$), translated into markup first; read
                       as UTF-8. What cannot be translated is drawn as its
                       name in red and is a diagnostic
  --display            render, batch, check, tex2markup: TeX in display
                       style (limits above and below \sum, full-size
                       fractions), as between $$...$$
  tex2markup writes the markup and a line feed to standard output (or
  -o FILE) and prints what cannot be translated to standard error as
  FILE:LINE:COL: warning: MESSAGE ('<tex>' for TeX given as an argument);
  with --strict any such diagnostic fails and no markup is written.

Drawing:
  --size PX            em height of the default font in pixels (default 20)
  --font FACE          the default font's face
  --color COLOR        the default text colour (default black)
  --background COLOR   the background, or 'transparent' (the default)
                       Colours are written as in the markup: a name (red,
                       navy, ...), #rrggbb or rgb(r,g,b).
  --angle DEG          turn the drawing counter-clockwise; the image grows
                       to hold the whole turned box
  --padding PX         free space around the drawing (default 0); the image
                       also grows to hold glyphs that reach out of their box
                       (italics)
  --dpi N              the surface's resolution, for font sizes in points
                       (default 96)
  --scale N            draw N times larger for high-density screens: the
                       em height, the padding and the resolution are
                       multiplied by N (pixel lengths written in the markup
                       are not)
  --encoding utf-8|cp932
                       the bytes of the markup: UTF-8 (the default) or
                       Shift_JIS (code page 932)
  --debug-boxes        outline every line box and construct box in a thin
                       colour
  --aliased            draw lines and fills (fraction and radical bars,
                       borders, backgrounds) aliased, pixel by pixel, as the
                       library does by default; PNG images draw them
                       anti-aliased otherwise, which changes nothing level
                       but smooths them when turned

Diagnostics:
  Markup is never an error: unknown names, stray end tags, missing end tags
  or S parts, attributes or values not understood are passed over or
  repaired. 'check' prints each as FILE:LINE:COL: warning: MESSAGE (LINE
  and COL counted in the file as written); render and batch draw anyway.
  --strict             render, batch: a formula with any diagnostic fails
                       (render prints them to standard error); with --tex,
                       any TeX the translation cannot take
  --warnings           render: print the diagnostics to standard error, as
                       FILE:LINE:COL ('<markup>' for markup given as an
                       argument, '<tex>' for TeX, '-' for standard input),
                       and draw

Batch:
  FILE holds one formula per line (TeX with --tex), or NAME<TAB>MARKUP to
  name the image NAME.png; other images are named by their line number
  (line-7.png).
  Blank lines and lines starting with '#' are skipped. Failing lines are
  reported with their line numbers; the other lines are still drawn. A line
  repeating an earlier line's image name fails. FILE is read once, so it may
  be '-' (standard input), a pipe or a FIFO.
  -j, --jobs N         worker processes (default 1, at most 64)
  --overwrite          a line repeating an image name replaces the image
  --shard K/N          draw only lines K+1, K+1+N, K+1+2N, ... (lines count
                       from 1, blank and comment lines included; K from 0
                       to N-1), so that N runs on N machines share one list
                       without talking to each other; a repeated image name
                       fails in the run holding the later line (not with
                       --overwrite)
  -q, --quiet          no progress bar

Samples:
  --samples DIR        the samples directory (default: the installed samples)
  Every DIR/*.lxm becomes OUT/NAME.png, every DIR/gallery/*.lxm
  OUT/gallery/NAME.png.

Limits: images are at most 16384 pixels a side and 100 megapixels; input
files at most 4 MiB; a batch line at most 1 MiB; a batch list at most
1 GiB and 1,000,000 formulas.

A file is written unnamed, or to a temporary file beside it, and named
only when complete, keeping an old file's permissions, so a failed run never
leaves a partial file; through a link, the link's target is written; devices
and FIFOs are written in place.

Exit status: 0 success; 1 an input could not be read, an image was too
large or could not be drawn or written (for batch: at least one line failed
or the list stopped early; for check: any diagnostic; with --strict: any
diagnostic, of the markup or of the TeX); 2 a usage error (unknown option, malformed or out-of-range
value, missing argument).
)";
}

}  // namespace cli
