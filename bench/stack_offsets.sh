#!/usr/bin/env bash
# How much the gravity kernel's speed depends on where its caller's stack frame lies against
# the rest of memory: BM_KernelAtStackOffset at 64 offsets 64 bytes apart, the least CPU
# time of 3 repetitions at each, and their spread (a speed that did not depend on it would give
# min = max, up to the machine's noise).
#
#   bench/stack_offsets.sh [BUILD_DIR]      (default: build)
set -euo pipefail
build=${1:-build}
"$build/orbits_bench" --benchmark_filter='KernelAtStackOffset' --benchmark_repetitions=3 --benchmark_format=csv 2>/dev/null |
  awk -F, 'NR>1 && $1 !~ /_(mean|median|stddev|cv|min)"?$/ {n=$1; gsub(/"/,"",n); if (!(n in m) || $4 < m[n]) m[n]=$4}
           END {for (k in m) print m[k]}' | sort -n |
  awk '{v[NR]=$1} END{printf "offsets %d: min %.0f median %.0f p90 %.0f max %.0f ns\n", NR, v[1], v[int(NR/2)], v[int(NR*0.9)], v[NR]}'
