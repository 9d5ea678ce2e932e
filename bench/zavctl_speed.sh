#!/usr/bin/env bash
# Download speed against wire time with the virtual UPS as a separate program (as a real UPS is a
# separate device): zav-ups-sim --pace serves a paced pty, zavctl fetches the history log, the
# S-codes and a snapshot at 9600 and 38400 baud, RTU and ASCII; prints time, wire time (from the
# simulator's --stats) and their ratio. The time includes zavctl's start and connection.
# Usage: bench/zavctl_speed.sh [BUILD_DIR] [--timing fast|classic]   (default: build, fast; a release build)
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
timing="${3:-fast}"
[ "${2:-}" = "--timing" ] || timing=fast
for p in zavctl zav-ups-sim; do
  [ -x "$build/$p" ] || { echo "no $build/$p: build it first" >&2; exit 2; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf "%-9s %-6s %-6s %9s %9s %6s\n" job baud proto time wire ratio
for baud in 9600 38400; do for proto in rtu ascii; do for job in history scodes snapshot; do
  "$build/zav-ups-sim" --model 1 --proto "$proto" --baud "$baud" --link "$work/ups" --pace \
    --history 999 --scodes 111 --stats "$work/stats" >/dev/null 2>&1 &
  sim=$!
  for _ in $(seq 100); do [ -e "$work/ups" ] && break; sleep 0.05; done
  out="$work/out.json"; extra=(--json)
  [ "$job" = snapshot ] && { out="$work/out.xlsx"; extra=(); }
  start=$(date +%s.%N)
  "$build/zavctl" "$job" --port "$work/ups" --baud "$baud" --proto "$proto" --model 1 --timing "$timing" \
    --out "$out" "${extra[@]}" >/dev/null 2>&1
  rc=$?
  end=$(date +%s.%N)
  kill "$sim"; wait "$sim" 2>/dev/null
  wire=$(awk '/wire_ms/ {print $2 / 1000}' "$work/stats")
  awk -v j="$job" -v b="$baud" -v p="$proto" -v s="$start" -v e="$end" -v w="$wire" -v rc="$rc" 'BEGIN {
    printf "%-9s %-6s %-6s %7.1f s %7.1f s %6.2f%s\n", j, b, p, e - s, w, (e - s) / w, rc ? "  FAILED (exit " rc ")" : "" }'
  rm -f "$work/ups" "$work/stats"
done; done; done
