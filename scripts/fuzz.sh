#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs each for a bounded time from its seed corpus. A crash, a sanitizer
# report, a broken invariant, a leak, an input slower than 10 s or an allocation above
# 512 MB ends the run with a failure; the input that did it is kept in BUILD_DIR/findings.
#
#   scripts/fuzz.sh [BUILD_DIR]                   (default: build/fuzz)
#   PIXORALE_FUZZ_SECONDS=600 scripts/fuzz.sh     longer runs (default: 30 s per target)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh
build=${1:-build/fuzz}
seconds=${PIXORALE_FUZZ_SECONDS:-30}

cmake --preset fuzz -B "$build"
cmake --build "$build" -j "$(pixorale_jobs)" --target fuzz_bmp_convert fuzz_settings \
  fuzz_picture_decode

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
findings=$build/findings
mkdir -p "$findings"

# fuzz TARGET SEED_DIR...: new inputs go to a corpus in the build directory, so the seeds
# in the repository stay as they are and later runs start where this one ended.
fuzz() {
  local target=$1
  shift
  local corpus=$build/corpus/$target log=$build/$target.log
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$findings/$target-" "$corpus" "$@" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzz.sh: $target found a fault; the input is in $findings" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|new_units_added|peak_rss_mb))' "$log"
}

fuzz fuzz_bmp_convert fuzz/corpus/bmp tests/corpus/bmp
fuzz fuzz_picture_decode fuzz/corpus/pictures tests/corpus/pictures
fuzz fuzz_settings fuzz/corpus/settings
echo "fuzz.sh: passed in ${SECONDS}s"
