#!/usr/bin/env bash
# The window's idle cost: starts `zav --demo --connect` offscreen (the virtual UPS on a pty, live
# polling running) and reports the window process's CPU time and memory over a minute of polling.
# The virtual UPS is a separate process and is not counted.
# Usage: bench/gui_idle.sh [BUILD_DIR] [SECONDS] [PAGE]   (default: build 60 0; use a release build;
# page 0 runs the energy-flow animation, page 5 shows the cabinet status without one)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
seconds="${2:-60}"
page="${3:-0}"
[ -x "$build/zav" ] || { echo "no $build/zav: run scripts/setup.sh release first" >&2; exit 2; }
config="$(mktemp -d)"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$config"' EXIT

QT_QPA_PLATFORM=offscreen "$build/zav" --demo --connect --page "$page" --config "$config/ZAV.ini" >/dev/null 2>&1 &
pid=$!
sleep 10 # start-up, connection, model detection and the settings download are not idle cost

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz="$(getconf CLK_TCK)"
start="$(ticks)"
sleep "$seconds"
end="$(ticks)"
rss="$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")"
hwm="$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")"
awk -v s="$start" -v e="$end" -v hz="$hz" -v t="$seconds" -v rss="$rss" -v hwm="$hwm" 'BEGIN {
  cpu = (e - s) / hz
  printf "window CPU: %.2f s in %d s = %.2f %% of a core\n", cpu, t, 100 * cpu / t
  printf "memory: RSS %.1f MiB, peak %.1f MiB\n", rss / 1024, hwm / 1024
}'
