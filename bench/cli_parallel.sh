#!/usr/bin/env bash
# Times pixorale-convert on a batch of pictures with -j 1 and with -j 2 and prints the speed-up.
#   bench/cli_parallel.sh [CONVERTER] [COUNT] [SIZE] [RUNS]
# Defaults: the converter of build-cli, 200 pictures of 2000 by 2000 pixels, best of 3 runs.
# The pictures are full 24-bit BMP files (12 MB each at 2000 by 2000) with random pixels, made
# in a temporary directory that is removed afterwards.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
converter=${1:-$here/build-cli/app/cli/pixorale-convert}
count=${2:-200}
size=${3:-2000}
runs=${4:-3}

work=$(mktemp -d "${TMPDIR:-/tmp}/pixorale-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "making $count pictures of $size by $size pixels in $work"
python3 - "$work/in" "$count" "$size" <<'PY'
import os, random, struct, sys
folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
os.makedirs(folder)
stride = (size * 3 + 3) & ~3
pixels = bytearray(random.Random(1).randbytes(stride * size))
header = (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) +
          struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0))
middle = (size // 2) * stride
for i in range(count):
    # Every picture gets its own pitch row and step row; the rest of the pixels are shared.
    rows = random.Random(i + 2).randbytes(2 * stride)
    pixels[0:stride] = rows[:stride]
    pixels[middle:middle + stride] = rows[stride:]
    with open(os.path.join(folder, f"picture{i:04}.bmp"), "wb") as out:
        out.write(header)
        out.write(pixels)
PY

# One timed conversion of the whole batch; prints the seconds it took.
time_batch() {
  local jobs=$1 start end
  rm -rf "$work/out" && mkdir "$work/out"
  sync
  start=$(date +%s.%N)
  "$converter" -q -j "$jobs" --seed 1 -d "$work/out" "$work"/in/*.bmp
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

smaller() { if [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi; }

# Both measurements start with every picture in the page cache and nothing left to write
# back: the converter syncs each output, which would otherwise wait for the pictures too.
cat "$work"/in/*.bmp >/dev/null
sync

# The two settings take turns, and the best of each counts: the least disturbed by whatever
# else the machine is doing (the load average below tells how busy it was).
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
t1=999999
t2=999999
for _ in $(seq "$runs"); do
  t1=$(smaller "$t1" "$(time_batch 1)")
  t2=$(smaller "$t2" "$(time_batch 2)")
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf 'cores: %s\n-j 1: %.3f s\n-j 2: %.3f s\nspeed-up: %.2f\n' "$(nproc)" "$t1" "$t2" \
  "$(echo "$t1 / $t2" | bc -l)"
