#!/usr/bin/env bash
# Measures on this machine, in one go: the physics kernel's cycles per second, the runner on
# the first preset in minimal and in full detail, and the window program (under Xvfb) on the
# same scenario, and prints a Markdown table of the figures.
#
#   bench/perf_report.sh [BUILD_DIR]      (default: build; CYCLES=N sets the run length)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$here/build}}
cycles=${CYCLES:-3000000}
repeats=${REPEATS:-5}
preset=1

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "${JOBS:-2}" --target orbits orbits-batch orbits_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

kernel() {
  "$build/orbits_bench" --benchmark_filter='^CycleKernel$' --benchmark_format=json 2>/dev/null |
    python3 -c '
import json, sys
run = json.load(sys.stdin)["benchmarks"][0]
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
print(round(1 / (run["real_time"] * scale)))'
}

batch() {  # $1: turbo option
  rm -rf "$work/batch"
  "$build/orbits-batch" --preset $preset --cycles "$cycles" --then "OptimT($1)=1" --json \
    --no-progress --data-dir "$work/batch" 2>/dev/null |
    python3 -c 'import json, sys; print(round(json.load(sys.stdin)["cycles_per_second"]))'
}

window() {  # $1: turbo option
  rm -rf "$work/window"
  # Its own home, so that the window's remembered size stays out of the user's settings.
  HOME="$work" XDG_CONFIG_HOME="$work/config" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/orbits" --preset $preset --cycles "$cycles" \
    --then "OptimT($1)=1" --report-speed --data-dir "$work/window" 2>/dev/null |
    awk '/cycles_per_second/ { print $6 }'
}

# Rounds of every measurement one after the other, so that a busy spell of the machine falls
# on all of them alike; the median of each over the rounds. The shares are the medians of each
# round's own shares: the spells of this kind of machine last from seconds to minutes, and a
# share of two measurements taken side by side is not thrown by them as a share of two medians
# from different rounds can be.
for _ in $(seq "$repeats"); do
  k=$(kernel) bmin=$(batch 5) bfull=$(batch 4) wmin=$(window 5) wfull=$(window 4)
  echo "$k $bmin $bfull $wmin $wfull" >>"$work/rounds"
done
column() { awk -v c="$1" '{ print $c }' "$work/rounds" | median; }
share() { awk -v a="$1" -v b="$2" '{ print $a / $b }' "$work/rounds" | median; }
kernel_rate=$(column 1)
batch_min=$(column 2)
batch_full=$(column 3)
window_min=$(column 4)
window_full=$(column 5)

pct() { awk -v r="$1" 'BEGIN { printf "%.0f%%", 100 * r }'; }

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo "Machine: $(nproc) processors, ${cpu:-unknown CPU}; $cycles cycles of preset $preset per run, median of $repeats rounds."
echo
echo "| what | cycles per second | share |"
echo "|---|---:|---|"
echo "| physics kernel (orbits_bench CycleKernel) | $kernel_rate | |"
echo "| orbits-batch, minimal detail (OptimT(5)) | $batch_min | $(pct "$(share 2 1)") of the kernel |"
echo "| orbits-batch, full detail (OptimT(4)) | $batch_full | $(pct "$(share 3 1)") of the kernel |"
echo "| orbits window under Xvfb, minimal detail | $window_min | $(pct "$(share 4 2)") of orbits-batch |"
echo "| orbits window under Xvfb, full detail | $window_full | $(pct "$(share 5 3)") of orbits-batch |"
echo
echo "orbits-batch, minimal detail, share of the kernel in each round:" \
  "$(awk '{ printf "%s%.1f%%", (NR > 1 ? ", " : ""), 100 * $2 / $1 }' "$work/rounds")."
