#!/usr/bin/env bash
# The cost of the home page with the link up and the energy-flow squares moving: starts
# `zav --demo --connect` offscreen (the home page is shown at start, the virtual UPS polls on a pty),
# reports the window process's CPU time over the first minute and samples its resident memory once a
# minute for the whole run, so a growth shows. The beeper writes into a WAV file (no sound device
# needed); the virtual UPS is a separate process and is not counted.
# Usage: bench/energyflow.sh [BUILD_DIR] [MINUTES]   (default: build 10; use a release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
minutes="${2:-10}"
[ -x "$build/zav" ] || { echo "no $build/zav: run scripts/setup.sh release first" >&2; exit 2; }
work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

ZAV_TONE_WAV="$work/beeper.wav" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" \
  "$build/zav" --demo --connect --config "$work/ZAV.ini" >/dev/null 2>&1 &
pid=$!
sleep 10 # start-up, connection, model detection and the settings download are not the steady cost

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
rss() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status"; }
hz="$(getconf CLK_TCK)"

start="$(ticks)"
first_rss="$(rss)"
echo "minute 0: RSS $((first_rss / 1024)) MiB"
for ((m = 1; m <= minutes; ++m)); do
  sleep 60
  kill -0 "$pid" 2>/dev/null || { echo "zav ended early" >&2; exit 1; }
  if ((m == 1)); then
    end="$(ticks)"
    awk -v s="$start" -v e="$end" -v hz="$hz" 'BEGIN {
      printf "CPU over the first minute: %.2f s = %.2f %% of a core\n", (e - s) / hz, 100 * (e - s) / hz / 60 }'
  fi
  echo "minute $m: RSS $(($(rss) / 1024)) MiB"
done
last_rss="$(rss)"
echo "RSS change over $minutes min: $(((last_rss - first_rss))) KiB"
echo "beeper WAV: $(stat -c %s "$work/beeper.wav" 2>/dev/null || echo 0) bytes"
