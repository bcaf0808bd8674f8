#!/bin/sh
# The newest save's lag behind a run (BM_NewestSaveLag, bench/bench_save_lag.cpp): on the
# machine as it is, and with LOAD busy processes and one writer syncing 1 MB at a time to the same
# disk beside it, in alternating rounds. Prints each round with the load average (one minute)
# at its end, then the largest lag of each kind of round.
#   bench/save_lag.sh [BUILD_DIR] [ROUNDS] [LOAD]
set -eu
build=${1:-build}
rounds=${2:-5}
load=${3:-8}
cmake --build "$build" --target orbits_bench >/dev/null

work=$(mktemp -d)
pids=""
stop_load() {
  for p in $pids; do kill "$p" 2>/dev/null || true; done
  for p in $pids; do wait "$p" 2>/dev/null || true; done
  pids=""
}
trap 'stop_load; rm -rf "$work"' EXIT INT TERM

start_load() {
  i=0
  while [ "$i" -lt "$load" ]; do
    sh -c 'while :; do :; done' &
    pids="$pids $!"
    i=$((i + 1))
  done
  sh -c 'while :; do dd if=/dev/zero of="$1/w" bs=64k count=16 conv=fsync 2>/dev/null; done' \
    sh "$work" &
  pids="$pids $!"
  sleep 2  # let the load take hold
}

# One run: "max p99 median longest-write" in ms.
measure() {
  "$build/orbits_bench" --benchmark_filter=NewestSaveLag --benchmark_format=json 2>/dev/null |
    python3 -c 'import json,sys
b=json.load(sys.stdin)["benchmarks"][0]
print("%.0f %.0f %.0f %.0f" % (b["lag_max_ms"], b["lag_p99_ms"], b["lag_median_ms"],
                            b["longest_write_ms"]))'
}

echo "round kind load_average lag_max_ms lag_p99_ms lag_median_ms longest_write_ms"
quiet_max=0
loaded_max=0
r=1
while [ "$r" -le "$rounds" ]; do
  for kind in as-is loaded; do
    [ "$kind" = loaded ] && start_load
    set -- $(measure)
    avg=$(cut -d' ' -f1 /proc/loadavg)
    echo "$r $kind $avg $1 $2 $3 $4"
    if [ "$kind" = loaded ]; then
      stop_load
      [ "$1" -gt "$loaded_max" ] && loaded_max=$1
    else
      [ "$1" -gt "$quiet_max" ] && quiet_max=$1
    fi
  done
  r=$((r + 1))
done
echo "largest lag: $quiet_max ms as the machine was, $loaded_max ms under a load of $load"
