#!/bin/sh
# Builds the whole test suite with AddressSanitizer and UndefinedBehavior-
# Sanitizer and runs it headless: any memory error, undefined behaviour or
# leak fails the test that meets it. Leaks inside Qt's own libraries are
# suppressed, each for a reason given in tests/sanitize/lsan.supp.
set -eu
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${NIREL3_SANITIZE_BUILD:-$SRC/build-asan}"
sh "$SRC/tools/deps.sh"
cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNIREL3_SANITIZE=ON -DNIREL3_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j2
cd "$BUILD"
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$SRC/tests/sanitize/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
