#!/usr/bin/env bash
# The libFuzzer targets of fuzz/, built with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, apart from the normal build.
#
#   scripts/fuzz.sh build               configure and build every target
#   scripts/fuzz.sh run SECONDS [T...]  fuzz each target (or the named ones)
#                                       for SECONDS, one after the other
#
# A run starts from fuzz/corpus/<target>/ and adds what it finds to
# build-fuzz/corpus/<target>/; a crash, leak, timeout or sanitizer report
# stops it and leaves the input in build-fuzz/findings/<target>/. Inputs
# worth keeping go to fuzz/regressions/<target>/, which CTest replays.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD:-build-fuzz}
targets_all=(markup ink properties color string_tool options tex)

build() {
  bash scripts/setup.sh
  local flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1"
  cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DLEXARO_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  local t names=()
  for t in "${targets_all[@]}"; do names+=("fuzz_$t"); done
  cmake --build "$build" -j "${JOBS:-$(nproc)}" --target "${names[@]}" fuzz_dict
}

run() {
  local seconds=$1; shift
  local targets=("$@") t
  [ ${#targets[@]} -eq 0 ] && targets=("${targets_all[@]}")
  export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
  for t in "${targets[@]}"; do
    local corpus="$build/corpus/$t" findings="$build/findings/$t"
    mkdir -p "$corpus" "$findings" "fuzz/regressions/$t"
    local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096
                -print_final_stats=1 -artifact_prefix="$findings/")
    case $t in markup | ink) args+=(-dict="$build/fuzz/markup.dict") ;; esac
    echo "fuzz: $t for ${seconds}s" >&2
    "$build/fuzz/fuzz_$t" "${args[@]}" "$corpus" "fuzz/corpus/$t" fuzz/regressions/"$t"
  done
}

case "${1:-}" in
  build) build ;;
  run) [ $# -ge 2 ] || { echo "usage: $0 run SECONDS [target...]" >&2; exit 2; }
       shift; run "$@" ;;
  *) echo "usage: $0 build | run SECONDS [target...]" >&2; exit 2 ;;
esac
