#!/bin/sh
# The markup reference (docs/markup.md) is the source of its own images: every
# fenced block opened with a line "```lexaro ID" is an example, drawn into
# docs/markup/ID.png, so the document cannot drift from the engine. The symbol
# chart (docs/markup/symbols.png) and the symbol table between the lines
# "<!-- symbols:begin -->" and "<!-- symbols:end -->" come from
# lexaro-showcase, which reads them from the vocabulary.
#
#   scripts/docs.sh render LEXARO SHOWCASE   draw the images, rewrite the table
#   scripts/docs.sh check LEXARO SHOWCASE    every example lays out with no
#       diagnostic and draws something, its image exists and is linked, and
#       the table is current
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

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

# Writes each example's markup into $tmp/ID.lxm and lists the IDs, in order.
# An ID is lower-case letters, digits and hyphens, and is used once.
awk -v dir="$tmp" '
  /^```lexaro/ {
    id = $2
    if (id !~ /^[a-z0-9-]+$/) { printf "line %d: example without a valid ID\n", NR > "/dev/stderr"; bad = 1 }
    if (seen[id]++) { printf "line %d: ID %s used twice\n", NR, id > "/dev/stderr"; bad = 1 }
    file = dir "/" id ".lxm"; printf "" > file; inblock = NR; print id; next
  }
  inblock && /^```[ \t]*$/ { close(file); inblock = 0; next }
  inblock { print > file }
  END {
    if (inblock) { printf "line %d: example not closed\n", inblock > "/dev/stderr"; bad = 1 }
    exit bad
  }' "$doc" > "$tmp/ids"

"$showcase" --symbols-table > "$tmp/table.md"

# The table as the document holds it now.
awk '/^<!-- symbols:end -->$/ { inside = 0 }
     inside { print }
     /^<!-- symbols:begin -->$/ { inside = 1 }' "$doc" > "$tmp/doc-table.md"

if [ "$mode" = render ]; then
  mkdir -p "$images"
  while read -r id; do
    # The size, padding and face every image of the reference is drawn with;
    # docs/markup.md names them.
    "$lexaro" render -f "$tmp/$id.lxm" --size 22 --padding 5 --background white \
      --font 'Times New Roman' -o "$images/$id.png"
  done < "$tmp/ids"
  "$showcase" --symbols-chart "$images/symbols.png"
  # Images of examples that are gone go too.
  for png in "$images"/*.png; do
    id=$(basename "$png" .png)
    [ "$id" = symbols ] || grep -qx "$id" "$tmp/ids" || rm -f "$png"
  done
  awk -v table="$tmp/table.md" '
    /^<!-- symbols:end -->$/ { skip = 0 }
    !skip { print }
    /^<!-- symbols:begin -->$/ { while ((getline line < table) > 0) print line; skip = 1 }' \
    "$doc" > "$tmp/doc.md"
  cat "$tmp/doc.md" > "$doc"
  echo "drew $(wc -l < "$tmp/ids") examples and the symbol chart into docs/markup/"
  exit 0
fi

failed=0
fail() {
  echo "docs/markup.md: $*" >&2
  failed=1
}
[ -s "$tmp/ids" ] || fail "no examples found"
while read -r id; do
  # Drawn as an SVG on a transparent background, anything in the document's
  # body is ink: a glyph placed (<use>) or a line or fill (<path fill=).
  # --strict: an example is laid out as written, with no diagnostic.
  if ! "$lexaro" render -f "$tmp/$id.lxm" --strict --format svg -o "$tmp/$id.svg" 2> "$tmp/err"; then
    fail "example $id does not render as written: $(cat "$tmp/err")"
  elif ! grep -q '<use \|<path fill=' "$tmp/$id.svg"; then
    fail "example $id draws nothing"
  fi
  [ -f "$images/$id.png" ] || fail "example $id has no image (run make docs)"
  grep -qF "](markup/$id.png)" "$doc" || fail "example $id: its image markup/$id.png is not linked"
done < "$tmp/ids"
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
[ "$failed" -eq 0 ] && echo "$(wc -l < "$tmp/ids") examples checked"
exit "$failed"
