#!/usr/bin/env bash
# What long runs cost on this machine, in one go, for preset 83 (the fastest, thousands of orbits
# a second): the largest resident memory of orbits-batch at each length, of the window program
# under Xvfb with its Charts window open at the same lengths, the time of --plot after each run
# of up to 200 000 orbits (median of three), and what the runner wrote to the disk per orbit.
#
#   bench/long_run_report.sh [BUILD_DIR]
#   ORBITS="20000 200000 2000000" (the lengths)  WINDOW=0 (leave the window out)
#   COMPARE=1 (the window's speed also without the Charts window, alternating with it)
#   REPEATS=N (window runs of each kind, default 1; the speeds are their medians)
#   NOBUILD=1 (take the programs in BUILD_DIR as they are)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$here/build}}
lengths=${ORBITS:-20000 200000 2000000}
window=${WINDOW:-1}
compare=${COMPARE:-0}
repeats=${REPEATS:-1}
preset=83

[ "${NOBUILD:-0}" = 1 ] || cmake --build "$build" -j "${JOBS:-2}" --target orbits orbits-batch >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "FIELD" of /usr/bin/time -v's report in FILE.
field() { sed -n "s/^\s*$1: //p" "$2"; }
seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.10g\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Machine: $(nproc) processors; load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| orbits | orbits-batch largest RSS, MB | wall, s | window largest RSS, MB | window cycles/s | without Charts, cycles/s | --plot after, s |"
echo "|---:|---:|---:|---:|---:|---:|---:|"
for n in $lengths; do
  d="$work/d$n"
  /usr/bin/time -v -o "$work/t$n" "$build/orbits-batch" --preset $preset --orbits "$n" \
    --data-dir "$d" --json >"$work/j$n.json" 2>/dev/null
  rss=$(field "Maximum resident set size (kbytes)" "$work/t$n")
  wall=$(field "Elapsed (wall clock) time (h:mm:ss or m:ss)" "$work/t$n" | seconds)
  cycles=$(python3 -c "import json; print(json.load(open('$work/j$n.json'))['cycles'])")
  drift=$(stat -c %s "$d/data-drift.txt")
  written=$(( $(field "File system outputs" "$work/t$n") * 512 ))
  rm -f "$d/data-drift.txt"
  plot="-"
  if [ "$n" -le 200000 ]; then
    plot=$(for r in 1 2 3; do
      /usr/bin/time -f %e -o "$work/p" "$build/orbits-batch" --reload --cycles 1 --data-dir "$d" \
        --plot "$work/p.png" >/dev/null 2>&1
      cat "$work/p"
    done | median)
  fi
  wrss="-" wspeed="-" bare="-"
  # The window on a screen of its own, stopped after the cycles the runner's run took.
  windowRun() {
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" xvfb-run -a -s "-screen 0 1366x768x24" \
      /usr/bin/time -v -o "$work/w$n" "$build/orbits" --data-dir "$work/w$n.d" --preset $preset \
      --cycles "$cycles" --report-speed "$@" >"$work/ws$n" 2>/dev/null
    rm -rf "$work/w$n.d"
  }
  if [ "$window" = 1 ]; then
    : >"$work/with" && : >"$work/without" && wrss=0
    for r in $(seq "$repeats"); do
      windowRun --charts
      wrss=$(awk -v a="$wrss" -v b="$(field "Maximum resident set size (kbytes)" "$work/w$n")" \
        'BEGIN { print (a > b / 1024) ? a : b / 1024 }')
      awk '{ print $6 }' "$work/ws$n" >>"$work/with"
      if [ "$compare" = 1 ]; then
        windowRun
        awk '{ print $6 }' "$work/ws$n" >>"$work/without"
      fi
    done
    wrss=$(printf "%.1f" "$wrss")
    wspeed=$(median <"$work/with")
    [ "$compare" = 1 ] && bare=$(median <"$work/without")
  fi
  awk -v n="$n" -v rss="$rss" -v wall="$wall" -v wrss="$wrss" -v ws="$wspeed" -v bare="$bare" \
    -v plot="$plot" 'BEGIN { printf "| %d | %.1f | %.1f | %s | %s | %s | %s |\n", n, rss / 1024, wall,
    wrss, ws, bare, plot }'
  echo "$n $wall $drift $written" >>"$work/disk"
done
echo
echo "Disk, from the longest run: the drift file's bytes per orbit, all bytes the runner wrote per"
echo "orbit (saves, the lab's file, perihelion records, drift file), and an hour at that run's speed:"
tail -1 "$work/disk" | awk '{ n = $1; rate = n / $2;
  printf "%.0f orbits/s; data-drift.txt %.0f bytes per orbit (%.1f GB an hour); written in all %.0f bytes per orbit (%.1f GB an hour)\n",
    rate, $3 / n, $3 / n * rate * 3600 / 1e9, $4 / n, $4 / n * rate * 3600 / 1e9 }'
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
