#!/usr/bin/env bash
# Builds Lexaro as the library and its program alone, with the controls, the
# demo, the tests and the benchmarks off and Qt, GoogleTest and Google
# Benchmark hidden from CMake (so this proves none of them is needed, even
# on a machine that has them), installs it into a scratch prefix, and builds
# and runs small programs against the installation (tests/cli/install_test.cmake).
#
#   scripts/library_only.sh            into build-lib/
#   BUILD=dir JOBS=1 scripts/library_only.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD:-build-lib}
jobs=${JOBS:-$(nproc)}
# The build directory is removed first: never the sources or a directory
# that holds them (BUILD=. or BUILD=..).
if [ -d "$build" ]; then
  existing=$(cd "$build" && pwd)
  existing=${existing%/}/
  case "$PWD/" in
    "$existing"*) echo "library_only.sh: BUILD=$build holds the sources; not removing it" >&2; exit 2 ;;
  esac
fi
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DLEXARO_BUILD_CONTROLS=OFF -DLEXARO_BUILD_DEMO=OFF -DLEXARO_BUILD_TESTS=OFF -DLEXARO_BUILD_BENCHMARKS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON --no-warn-unused-cli >/dev/null
cmake --build "$build" -j "$jobs"
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
build=$(cd "$build" && pwd)  # BUILD may be relative or absolute
cmake -DBUILD_DIR="$build" -DSOURCE_DIR="$PWD" -DWORK_DIR="$build/install_package" \
  -DCXX="$cxx" -DCONTROLS=OFF -P tests/cli/install_test.cmake
