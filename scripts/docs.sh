#!/bin/sh
# The markup reference (docs/markup.md) is the source of its own images: every
# fenced block opened with a line "```lexaro ID" is an example, drawn into
# docs/markup/ID.png, so the document cannot drift from the engine. The symbol
# chart (docs/markup/symbols.png) and the symbol table between the lines
# "<!-- symbols:begin -->" and "<!-- symbols:end -->" come from
# lexaro-showcase, which reads them from the vocabulary.
#
# The TeX guide (docs/tex.md), when there is one, is drawn the same way:
# every block opened with "```tex ID" (or "```tex ID display", drawn in
# display style) is TeX math drawn with `lexaro render --tex` into
# docs/tex/ID.png.
#
#   scripts/docs.sh render LEXARO SHOWCASE   draw the images, rewrite the table
#   scripts/docs.sh check LEXARO SHOWCASE    every example lays out (TeX:
#       translates) with no diagnostic and draws something, its image exists
#       and is linked, and the table is current
#
# LEXARO and SHOWCASE are the built programs (make docs passes build/tools/*).
# POSIX sh and awk only: CI machines have no more.
set -eu

if [ $# -ne 3 ] || { [ "$1" != render ] && [ "$1" != check ]; }; then
  echo "usage: $0 render|check LEXARO SHOWCASE" >&2
  exit 2
fi
mode=$1
lexaro=$2
showcase=$3
root=$(cd "$(dirname "$0")/.." && pwd)
doc=$root/docs/markup.md
images=$root/docs/markup
texdoc=$root/docs/tex.md
teximages=$root/docs/tex

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

# extract DOC WORD DIR: writes each example of DOC opened with "```WORD ID"
# into DIR/ID.txt and lists "ID STYLE" lines, in order. An ID is lower-case
# letters, digits and hyphens, and is used once; STYLE is empty or display.
extract() {
  mkdir -p "$3"
  awk -v dir="$3" -v open="\`\`\`$2" '
    $1 == open {
      id = $2; style = $3
      if (id !~ /^[a-z0-9-]+$/) { printf "line %d: example without a valid ID\n", NR > "/dev/stderr"; bad = 1 }
      if (seen[id]++) { printf "line %d: ID %s used twice\n", NR, id > "/dev/stderr"; bad = 1 }
      if (style != "" && style != "display") { printf "line %d: unknown style %s\n", NR, style > "/dev/stderr"; bad = 1 }
      file = dir "/" id ".txt"; printf "" > file; inblock = NR; print id, style; next
    }
    inblock && /^```[ \t]*$/ { close(file); inblock = 0; next }
    inblock { print > file }
    END {
      if (inblock) { printf "line %d: example not closed\n", inblock > "/dev/stderr"; bad = 1 }
      exit bad
    }' "$1"
}

extract "$doc" lexaro "$tmp/markup" > "$tmp/markup-ids"
: > "$tmp/tex-ids"
[ ! -f "$texdoc" ] || extract "$texdoc" tex "$tmp/tex" > "$tmp/tex-ids"

# The options of an example of a list: --tex for the TeX guide's, and
# --display for those marked display.
options() {
  [ "$1" = tex ] && printf '%s' "--tex${2:+ --$2}"
  return 0
}

# draw LIST IMAGES: draws the examples of LIST (markup or tex) into
# IMAGES/ID.png and removes the images of examples that are gone.
draw() {
  mkdir -p "$2"
  while read -r id style; do
    # The size, padding and face every image of the reference is drawn with;
    # docs/markup.md names them.
    # shellcheck disable=SC2046
    "$lexaro" render $(options "$1" "$style") -f "$tmp/$1/$id.txt" --size 22 --padding 5 \
      --background white --font 'Times New Roman' -o "$2/$id.png"
  done < "$tmp/$1-ids"
  for png in "$2"/*.png; do
    [ -f "$png" ] || continue
    id=$(basename "$png" .png)
    [ "$id" = symbols ] || grep -q "^$id " "$tmp/$1-ids" || rm -f "$png"
  done
}

"$showcase" --symbols-table > "$tmp/table.md"

# The table as the document holds it now.
awk '/^<!-- symbols:end -->$/ { inside = 0 }
     inside { print }
     /^<!-- symbols:begin -->$/ { inside = 1 }' "$doc" > "$tmp/doc-table.md"

if [ "$mode" = render ]; then
  draw markup "$images"
  "$showcase" --symbols-chart "$images/symbols.png"
  awk -v table="$tmp/table.md" '
    /^<!-- symbols:end -->$/ { skip = 0 }
    !skip { print }
    /^<!-- symbols:begin -->$/ { while ((getline line < table) > 0) print line; skip = 1 }' \
    "$doc" > "$tmp/doc.md"
  cat "$tmp/doc.md" > "$doc"
  echo "drew $(wc -l < "$tmp/markup-ids") examples and the symbol chart into docs/markup/"
  if [ -f "$texdoc" ]; then
    draw tex "$teximages"
    echo "drew $(wc -l < "$tmp/tex-ids") TeX examples into docs/tex/"
  fi
  exit 0
fi

failed=0
fail() {
  echo "$where: $*" >&2
  failed=1
}

# check LIST DOC DIR: every example of LIST draws as written, and its image
# DIR/ID.png (docs/DIR/ID.png) exists and is linked from DOC.
check() {
  where=docs/$(basename "$2")
  [ -s "$tmp/$1-ids" ] || fail "no examples found"
  while read -r id style; do
    # Drawn as an SVG on a transparent background, anything in the document's
    # body is ink: a glyph placed (<use>) or a line or fill (<path fill=).
    # --strict: an example is laid out (or translated) as written, with no
    # diagnostic.
    # shellcheck disable=SC2046
    if ! "$lexaro" render $(options "$1" "$style") -f "$tmp/$1/$id.txt" --strict --format svg \
      -o "$tmp/$id.svg" 2> "$tmp/err"; then
      fail "example $id does not render as written: $(cat "$tmp/err")"
    elif ! grep -q '<use \|<path fill=' "$tmp/$id.svg"; then
      fail "example $id draws nothing"
    fi
    [ -f "$root/docs/$3/$id.png" ] || fail "example $id has no image (run make docs)"
    grep -qF "]($3/$id.png)" "$2" || fail "example $id: its image $3/$id.png is not linked"
  done < "$tmp/$1-ids"
}

check markup "$doc" markup
where=docs/markup.md
[ -f "$images/symbols.png" ] || fail "the symbol chart markup/symbols.png is missing (run make docs)"
# Every name in the table is a symbol tag: each draws a glyph (a name the
# engine does not know would be passed over and draw nothing).
grep -o '`<[^`]*>`' "$tmp/table.md" | tr -d '`' > "$tmp/symbols"
[ "$(wc -l < "$tmp/symbols")" -gt 100 ] || fail "the symbol table lists too few symbols"
while IFS= read -r tag; do
  printf '%s\n' "$tag" > "$tmp/symbol.lxm"
  "$lexaro" render -f "$tmp/symbol.lxm" --strict --format svg -o "$tmp/symbol.svg" 2> /dev/null &&
    grep -q '<use ' "$tmp/symbol.svg" || fail "the symbol table's $tag draws nothing"
done < "$tmp/symbols"
if ! cmp -s "$tmp/table.md" "$tmp/doc-table.md"; then
  fail "the symbol table differs from the vocabulary (run make docs):"
  diff "$tmp/table.md" "$tmp/doc-table.md" >&2 || true
fi
[ ! -f "$texdoc" ] || check tex "$texdoc" tex
[ "$failed" -eq 0 ] && echo "$(wc -l < "$tmp/markup-ids") examples and $(wc -l < "$tmp/tex-ids") TeX examples checked"
exit "$failed"
