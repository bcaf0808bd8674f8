#!/usr/bin/env bash
# How well a sweep uses the machine's cores: 8 runs of about RUN_SECONDS seconds each (preset 1 in
# minimal detail, G varied so that each run is a run of its own) run one after another by a
# shell, then by `orbits-sweep run -j CORES` (GNU parallel). On an idle machine with 2 cores
# the sweep should take no more than 1.15 times half the sequential time.
#
#   bench/sweep_scaling.sh [BUILD_DIR]     (RUN_SECONDS=10 RUNS=8 CORES=2 ROUNDS=3)
#
# With BARE=1 each round also runs the lines with GNU parallel alone (0 s when not asked), which
# shows what orbits-sweep adds to it even on a busy machine.
# Rounds alternate the two ways of running, so that a busy spell of the machine falls on both;
# the medians over the rounds are printed, with the load average before and after.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$here/build}}
seconds=${RUN_SECONDS:-10}
runs=${RUNS:-8}
cores=${CORES:-2}
rounds=${ROUNDS:-3}

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "${JOBS:-2}" --target orbits-batch orbits-sweep >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
now() { date +%s.%N; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "load average before: $(load)"
# The run length: a run alone, measured, sets the cycles of RUN_SECONDS seconds.
rate=$("$build/orbits-batch" --preset 1 --cycles 3000000 --then 'OptimT(5)=1' --json --no-progress \
  --data-dir "$work/calibrate" 2>/dev/null |
  python3 -c 'import json, sys; print(json.load(sys.stdin)["cycles_per_second"])')
cycles=$(python3 -c "print(int($rate * $seconds))")
echo "one run alone: $rate cycles per second; $runs runs of $cycles cycles"

"$build/orbits-sweep" plan --out "$work/sweep" --preset 1 --cycles "$cycles" --then 'OptimT(5)=1' \
  --vary "TXTgravity=6.670:6.677:$runs" >/dev/null
clear_reports() { rm -f "$work"/sweep/runs/*/report.json; }

for round in $(seq "$rounds"); do
  clear_reports
  start=$(now)
  (cd "$work/sweep" && sh jobs.txt)
  sequential=$(python3 -c "print($(now) - $start)")
  clear_reports
  start=$(now)
  "$build/orbits-sweep" run "$work/sweep" -j "$cores" >/dev/null 2>&1 </dev/null
  swept=$(python3 -c "print($(now) - $start)")
  ratio=$(python3 -c "print($swept / ($sequential / $cores))")
  bare=0
  if [ -n "${BARE:-}" ]; then
    clear_reports
    start=$(now)
    (cd "$work/sweep" && parallel --will-cite -j "$cores" --arg-file jobs.txt </dev/null)
    bare=$(python3 -c "print($(now) - $start)")
  fi
  printf 'round %d: one after another %.1f s, orbits-sweep run -j %d %.1f s (%.3f times the ideal), GNU parallel alone %.1f s (load %s)\n' \
    "$round" "$sequential" "$cores" "$swept" "$ratio" "$bare" "$(load)"
  echo "$sequential $swept $ratio $bare" >>"$work/rounds"
done

col() { awk -v c="$1" '{ print $c }' "$work/rounds" | median; }
printf '\nmedian of %d rounds: one after another %.1f s, orbits-sweep run -j %d %.1f s, GNU parallel alone %.1f s\n' \
  "$rounds" "$(col 1)" "$cores" "$(col 2)" "$(col 4)"
printf 'the sweep took %.3f times the ideal (the sequential time over %d cores); the goal is at most 1.15\n' \
  "$(col 3)" "$cores"
echo "load average after: $(load)"
