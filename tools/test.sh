#!/bin/sh
# Builds everything and runs the whole test suite headless.
set -eu
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${NIREL3_TEST_BUILD:-$SRC/build-test}"
sh "$SRC/tools/deps.sh"
cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD"
cd "$BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
