#!/usr/bin/env bash
# The window's CPU share while it monitors velmor-sim --line-timing, on a
# virtual screen: bench/window_cpu.sh [BUILD] [SECONDS] [fast|slow] [PAGE]
# PAGE is the tab to show by its index (0 Bike, 2 Inj. 1 with the operating
# point lit in the map, 9 Gear); it is clicked with xdotool when that is
# installed (apt-get install xdotool), else the window stays on its first
# page. Prints the share of one core the window took over SECONDS.
set -euo pipefail
build=$(realpath "${1:-build}"); secs=${2:-30}; mode=${3:-fast}; page=${4:-}
work=$(mktemp -d); display=:$((90 + RANDOM % 9))
trap 'kill $app $unit $screen 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/cfg"
printf '[BASIC]\nFastMonitor=%s\n' "$([ "$mode" = fast ] && echo 1 || echo 0)" >"$work/cfg/Velmor_v78.ini"
Xvfb $display -screen 0 1024x768x24 >/dev/null 2>&1 & screen=$!
sleep 1
"$build/src/sim/velmor-sim" --quiet --line-timing --link "$work/unit" >/dev/null 2>&1 & unit=$!
sleep 0.5
DISPLAY=$display VELMOR_CONFIG_DIR="$work/cfg" VELMOR_DATA_DIR="$work/data" VELMOR_COM1="$work/unit" \
  "$build/src/app/velmor" ENGLISH >"$work/app.log" 2>&1 & app=$!
sleep 5
if [ -n "$page" ] && command -v xdotool >/dev/null; then
  # The tabs' centres on the 1000x700 window at the screen's top left.
  x=(41 104 168 231 313 396 455 504 555 608 668 735)
  DISPLAY=$display xdotool mousemove "${x[$page]}" 162 click 1
  sleep 1
fi
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
t0=$(ticks); sleep "$secs"; t1=$(ticks)
python3 -c "print(f'window CPU, {\"$mode\"} monitor, page ${page:-0}: {100 * ($t1 - $t0) / $(getconf CLK_TCK) / $secs:.2f} % of one core over $secs s')"
