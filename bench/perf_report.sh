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
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/orbits" --preset $preset --cycles "$cycles" \
    --then "OptimT($1)=1" --report-speed --data-dir "$work/window" 2>/dev/null |
    awk '/cycles_per_second/ { print $6 }'
}

# Rounds of every measurement one after the other, so that a busy spell of the machine falls
# on all of them alike; the median of each over the rounds.
for _ in $(seq "$repeats"); do
  kernel >>"$work/kernel"
  batch 5 >>"$work/batch_min"
  batch 4 >>"$work/batch_full"
  window 5 >>"$work/window_min"
  window 4 >>"$work/window_full"
done
kernel_rate=$(median <"$work/kernel")
batch_min=$(median <"$work/batch_min")
batch_full=$(median <"$work/batch_full")
window_min=$(median <"$work/window_min")
window_full=$(median <"$work/window_full")

pct() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f%%", 100 * a / b }'; }

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo "Machine: $(nproc) processors, ${cpu:-unknown CPU}; $cycles cycles of preset $preset per run, median of $repeats rounds."
echo
echo "| what | cycles per second | share |"
echo "|---|---:|---|"
echo "| physics kernel (orbits_bench CycleKernel) | $kernel_rate | |"
echo "| orbits-batch, minimal detail (OptimT(5)) | $batch_min | $(pct "$batch_min" "$kernel_rate") of the kernel |"
echo "| orbits-batch, full detail (OptimT(4)) | $batch_full | $(pct "$batch_full" "$kernel_rate") of the kernel |"
echo "| orbits window under Xvfb, minimal detail | $window_min | $(pct "$window_min" "$batch_min") of orbits-batch |"
echo "| orbits window under Xvfb, full detail | $window_full | $(pct "$window_full" "$batch_full") of orbits-batch |"
