#!/usr/bin/env bash
# Builds the engine tests with ThreadSanitizer into build-tsan/ and runs them:
# separate objects drawing on separate surfaces from several threads must
# share no written state, and the font engine's caches must be guarded.
#
#   scripts/tsan.sh            configure, build, run
#   BUILD=dir scripts/tsan.sh  another build directory
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD:-build-tsan}
jobs=${JOBS:-$(nproc)}
flags="-fsanitize=thread -fno-omit-frame-pointer -O1 -g"

bash scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build "$build" -j "$jobs" --target engine_tests

# Any report fails the test that raised it.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# The deep-nesting test checks the normal build's frames on a small stack;
# instrumented frames are larger.
"$build/tests/engine_tests" --gtest_brief=1 --gtest_filter='-*DeepestNestingFitsASmallStack'
