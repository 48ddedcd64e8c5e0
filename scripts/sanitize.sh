#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (the asan preset)
# and runs the whole test suite under them, leak checks included. Any report fails the run.
#
#   scripts/sanitize.sh [BUILD_DIR]    (default: build/asan)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/common.sh
source scripts/lib/common.sh
build=${1:-build/asan}
jobs=$(pixorale_jobs)

cmake --preset asan -B "$build"
cmake --build "$build" -j "$jobs"

# AddressSanitizer and LeakSanitizer reports also go to files, so that none can pass unseen
# in a child process whose exit status a test ignores; UndefinedBehaviorSanitizer stops the
# process (the build does not let it recover).
logs=$(cd "$build" && pwd)/sanitizer-reports
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan-suppressions.txt:print_suppressions=0"

status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" || status=$?
if compgen -G "$logs/*" >/dev/null; then
  echo "sanitizer reports:" >&2
  for report in "$logs"/*; do
    echo "== $report" >&2
    cat "$report" >&2
  done
  status=1
fi
echo "sanitize.sh: $([ $status -eq 0 ] && echo passed || echo FAILED) in ${SECONDS}s"
exit $status
