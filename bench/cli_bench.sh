#!/usr/bin/env bash
# Times the lexaro program as users run it: a cold `lexaro render` of one
# formula, and `lexaro batch` to PNG files against the file system's own
# cost of creating the same files (lexaro_batch_floor, in the same run),
# alone, named only when complete, and after compressing the same rows;
# and what two such floor processes writing into one directory at once gain
# over one, the most `--jobs 2` can gain here.
#
#   bench/cli_bench.sh BUILD_DIR [BASELINE_LEXARO]
#
# perf (CPU times), /usr/bin/time (peak memory) and strace (system calls)
# are used when they are installed.
#
# BUILD_DIR holds tools/lexaro and bench/lexaro_batch_floor (a Release
# build); BASELINE_LEXARO, when given, is another lexaro program timed
# alternately with this one. Environment: RUNS (cold renders per program,
# 40), COUNTS (batch sizes, "1000 10000"), WORK (scratch directory).
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR [BASELINE_LEXARO]}
lexaro=$build/tools/lexaro
floor=$build/bench/lexaro_batch_floor
baseline=${2:-}
runs=${RUNS:-40}
counts=${COUNTS:-1000 10000}
work=${WORK:-$(mktemp -d)}
writer=  # a floor program running in the background, stopped on the way out
trap '[ -z "$writer" ] || kill "$writer" 2>/dev/null || true; rm -rf "$work"' EXIT
formula='<FRAC><S>1</S><S>x<SUP>2</SUP></S></FRAC><+><SQRT>y</SQRT>'
programs=("$lexaro")
[ -n "$baseline" ] && programs=("$baseline" "$lexaro")

# CPU and wall milliseconds per run of a command, over $runs runs, from
# perf stat when it is there, else from bash's own clock.
timed() {
  if command -v perf >/dev/null; then
    perf stat -r "$runs" -x, -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ {printf "%.2f ms CPU, ", $1}'
  fi
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v t=$((end - start)) -v n="$runs" 'BEGIN {printf "%.2f ms wall\n", t / n / 1e6}'
}

echo "== cold render of one formula ($runs runs each; the first run fills the font answer cache)"
for p in "${programs[@]}"; do "$p" render "$formula" -o "$work/warm.png"; done
for round in 1 2; do
  for p in "${programs[@]}"; do
    printf '%-50s ' "$p"
    timed "$p" render "$formula" -o "$work/one.png"
  done
done
printf '%-50s ' "process start alone ($lexaro --version)"
timed "$lexaro" --version

for n in $counts; do
  "$floor" list "$n" >"$work/list.txt"
  echo "== batch of $n formulas to PNG files"
  for round in 1 2; do
    for p in "${programs[@]}"; do
      for jobs in 1 2; do
        # Every run writes into a new directory and nothing is removed until
        # the end: a file system that has just removed many files creates
        # new ones more slowly (ext4 passes over recently freed inodes).
        out=$work/out-$n-$round-$jobs-$RANDOM
        start=$(date +%s%N)
        echo "?" >"$work/rss"
        if [ -x /usr/bin/time ]; then
          /usr/bin/time -f "%M" -o "$work/rss" "$p" batch "$work/list.txt" -o "$out" --jobs $jobs -q
        else
          "$p" batch "$work/list.txt" -o "$out" --jobs $jobs -q
        fi
        end=$(date +%s%N)
        printf '%-50s --jobs %d: %6.1f us per file, max RSS %s KB\n' "$p" $jobs \
          "$(awk -v t=$((end - start)) -v n="$n" 'BEGIN {print t / n / 1e3}')" "$(cat "$work/rss")"
      done
      printf '%-50s floor:  ' "file system"
      "$floor" files "$out" "$out-floor"
      printf '%-50s floor:  ' "  named when complete, as lexaro does"
      "$floor" unnamed "$out" "$out-unnamed"
      printf '%-50s floor:  ' "  the rows compressed first (ISA-L level 0)"
      "$floor" pngs "$out" "$out-pngs"
    done
  done
done

# What two processes gain on this machine when each writes half of the last
# batch's files into one directory, against one process writing them all:
# the floor program's own work, with nothing shared between the two, is
# the most `--jobs 2` can gain over `--jobs 1` here.
shopt -s nullglob
files=("$out"/*.png)
shopt -u nullglob
half1=() half2=()
for ((i = 0; i < ${#files[@]}; i++)); do
  if ((i % 2 == 0)); then half1+=("${files[i]}"); else half2+=("${files[i]}"); fi
done
echo "== two writers into one directory at once, against one (${#files[@]} files: the floor of --jobs 2)"
mkdir "$work/half-1" "$work/half-2"
((${#half1[@]} == 0)) || ln -t "$work/half-1" -- "${half1[@]}"
((${#half2[@]} == 0)) || ln -t "$work/half-2" -- "${half2[@]}"
for mode in unnamed pngs; do
  for round in 1 2 3; do
    start=$(date +%s%N)
    "$floor" "$mode" "$out" "$work/one-$mode-$round" >/dev/null
    middle=$(date +%s%N)
    mkdir "$work/two-$mode-$round"
    "$floor" "$mode" "$work/half-1" "$work/two-$mode-$round" >/dev/null &
    writer=$!
    "$floor" "$mode" "$work/half-2" "$work/two-$mode-$round" >/dev/null
    wait "$writer"
    writer=
    end=$(date +%s%N)
    awk -v mode="$mode" -v one=$((middle - start)) -v two=$((end - middle)) 'BEGIN {
      printf "%-50s one %5.0f ms, two at once %5.0f ms: %.2f times as fast\n", "floor " mode ", read and written", one / 1e6, two / 1e6, one / two }'
  done
done

if command -v strace >/dev/null; then
  echo "== system calls of a batch of 1000 (--jobs 1)"
  "$floor" list 1000 >"$work/list.txt"
  strace -c -o "$work/strace" "$lexaro" batch "$work/list.txt" -o "$work/strace-out" --jobs 1 -q
  head -12 "$work/strace"
fi
