#!/usr/bin/env bash
# The two waits of a developer's loop, against their goals:
#   bench/build_times.sh fresh        a clean clone of HEAD and no compiler
#                                     cache: the whole `tools/velmor test`,
#                                     with where its time went (goal 15 min)
#   bench/build_times.sh edit [BUILD] one window source changed, the program
#                                     rebuilt and ready to run (goal 15 s)
# Both print the time and its ratio to the goal.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

ratio() {  # seconds, goal seconds
  awk -v t="$1" -v g="$2" 'BEGIN { printf "%.0f s = %.2fx the goal of %d s\n", t, t / g, g }'
}

case "${1:-}" in
  fresh)
    work=$(mktemp -d "${TMPDIR:-/tmp}/velmor-fresh.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    git clone -q "$top" "$work/velmor"
    start=$(date +%s.%N)
    (cd "$work/velmor" && CCACHE_DISABLE=1 tools/velmor test) > "$work/test.log" 2>&1 || {
      tail -n 40 "$work/test.log"; echo "build_times: tools/velmor test failed" >&2; exit 1; }
    end=$(date +%s.%N)
    sed -n '/^Where the time went/,$p' "$work/test.log"
    printf 'fresh tools/velmor test: '
    ratio "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" 900
    ;;
  edit)
    build=${2:-$top/build}
    source=$top/src/ui/log/log_viewer.cpp
    ninja -C "$build" velmor > /dev/null
    cp "$source" "$source.orig"
    trap 'mv "$source.orig" "$source"; ninja -C "$build" velmor > /dev/null' EXIT
    # A change the compiler has to act on, which no cache has seen.
    printf '\nint velmor_build_times_%s() { return %s; }\n' "$$" "$RANDOM" >> "$source"
    start=$(date +%s.%N)
    CCACHE_DISABLE=1 ninja -C "$build" velmor > /dev/null
    end=$(date +%s.%N)
    printf 'one window source changed, velmor rebuilt: '
    ratio "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" 15
    ;;
  *)
    echo "usage: bench/build_times.sh fresh | edit [BUILD]" >&2
    exit 2
    ;;
esac
