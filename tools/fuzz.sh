#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each in turn for a while:
#   sh tools/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
# New inputs that reach new code are merged into tests/fuzz/corpus/TARGET/;
# an input that crashes a target is written to tests/fuzz/crashes/TARGET/,
# where the normal test suite replays it from then on. Commit both.
set -eu
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${NIREL3_FUZZ_BUILD:-$SRC/build-fuzz}"
SECONDS_EACH="${1:-60}"
[ $# -gt 0 ] && shift
TARGETS="${*:-textlines cardindex dictionary keyedlines help rtf}"
sh "$SRC/tools/deps.sh" --fuzz
cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DNIREL3_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j2
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$SRC/tests/sanitize/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for t in $TARGETS; do
  corpus="$SRC/tests/fuzz/corpus/$t"
  crashes="$SRC/tests/fuzz/crashes/$t"
  fresh="$BUILD/new-$t"
  rm -rf "$fresh" && mkdir -p "$fresh" "$crashes"
  echo "== $t: $SECONDS_EACH s"
  "$BUILD/tests/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$crashes/" "$fresh" "$corpus" \
    2>"$BUILD/fuzz-$t.log" || status=1
  grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|Done [0-9]+ runs" "$BUILD/fuzz-$t.log" || true
  # Keep only the inputs that add coverage to what is kept already.
  "$BUILD/tests/fuzz/fuzz_$t" -merge=1 "$corpus" "$fresh" 2>>"$BUILD/fuzz-$t.log" >/dev/null
  rmdir "$crashes" 2>/dev/null || echo "   crashes kept in $crashes"
  rmdir "$SRC/tests/fuzz/crashes" 2>/dev/null || true
done
exit $status
