#!/bin/bash
# Log analysis and viewer at 1, 10 and 100 hours, against the pandas
# reference (bench/log_reference.py) and the viewer goals: prints the
# medians of five runs, the peak memory and the ratios.
#   bench/log_compare.sh BUILD_DIR [HOURS...]
set -euo pipefail
build=${1:?build directory}; shift
hours=("${@:-1 10 100}")
[ $# -eq 0 ] && hours=(1 10 100)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /dev/shm/velmor-logbench.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
python=/usr/bin/python3
"$build/src/cli/velmor-cli" new --model 0 -o "$work/tune.ign" >/dev/null

# Median wall time of five runs of a command and its largest peak RSS (MiB).
measure() {
  local times=() rss=0
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f "%e %M" -o "$work/t" "$@" >/dev/null 2>&1 || true
    read -r t m <"$work/t"
    times+=("$t")
    (( m > rss )) && rss=$m
  done
  printf '%s %d\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)" $((rss / 1024))
}

have_pandas=0
"$python" -c 'import pandas' 2>/dev/null && have_pandas=1
printf '%-6s %-10s %12s %10s %12s %10s %8s\n' hours rows "analyze s" "MiB" "pandas s" "MiB" ratio
for h in "${hours[@]}"; do
  log="$work/ride-$h.csv"
  "$build/bench/log_make" "$h" "$log"
  rows=$(($(wc -l <"$log") - 1))
  read -r vt vm < <(measure "$build/src/cli/velmor-cli" log analyze "$log" --tune "$work/tune.ign" --map 1)
  if ((have_pandas)); then
    read -r pt pm < <(measure "$python" "$here/log_reference.py" "$log")
    ratio=$("$python" -c "print(f'{$vt / $pt:.2f}')")
  else
    pt=- pm=- ratio=-
  fi
  printf '%-6s %-10s %12s %10s %12s %10s %8s\n' "$h" "$rows" "$vt" "$vm" "$pt" "$pm" "$ratio"
done
((have_pandas)) || echo "pandas is not installed (apt-get install python3-pandas): no ratio"
echo "goal: ratio <= 0.2 at every length, velmor-cli peak memory < 30 MiB"

# The viewer: open and draw, one zoom step (Google Benchmark, offscreen).
if [ -x "$build/bench/window_bench" ]; then
  echo
  "$build/bench/window_bench" --benchmark_filter='BM_Viewer' --benchmark_format=console 2>/dev/null |
    grep -E '^BM_Viewer' || true
  echo "goals: open and draw 1 h < 200 ms, 10 h <= 600 ms, 100 h <= 3490 ms; a zoom or pan step < 100 ms; RSS < 250 MiB at 100 h"
fi
