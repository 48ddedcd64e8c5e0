#!/usr/bin/env bash
# End-to-end cost of pixorale-convert: wall time and peak memory per picture, and the
# system calls of a million-column conversion. Usage: bench/run_cases.sh [PREFIX]
# where PREFIX/bin/pixorale-convert is the installed converter (default: ./stage).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=${1:-$here/../stage}
convert=$prefix/bin/pixorale-convert
work=$(mktemp -d /tmp/pixorale-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

cases=("1000000 2" "10000000 2" "4000 400" "4000 40000")
printf '%-18s %10s %14s\n' picture "median s" "peak MiB"
for c in "${cases[@]}"; do
  set -- $c
  picture=$work/${1}x${2}.bmp
  python3 "$here/make_picture.py" "$1" "$2" "$picture"
  cat "$picture" > /dev/null  # from the page cache, as a second run would read it
  # Median of three runs; peak memory of the largest.
  times=()
  peak=0
  for run in 1 2 3; do
    /usr/bin/time -v "$convert" --force --quiet "$picture" -o "$work/out.mid" 2> "$work/time.txt"
    times+=("$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0;
      for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$work/time.txt")")
    kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    [ "$kib" -gt "$peak" ] && peak=$kib
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
  printf '%-18s %10s %14s\n' "${1}x${2}" "$median" "$(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}')"
  rm -f "$picture"
done

# The random source draws from the OS in blocks: count its system calls.
python3 "$here/make_picture.py" 1000000 2 "$work/syscalls.bmp"
strace -f -c -o "$work/strace.txt" "$convert" --force --quiet "$work/syscalls.bmp" \
  -o "$work/out.mid" > /dev/null
echo
echo "System calls converting 1,000,000 columns:"
awk '/getrandom|total|calls/' "$work/strace.txt"
