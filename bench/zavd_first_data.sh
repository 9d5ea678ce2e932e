#!/usr/bin/env bash
# How soon zavd has data after it starts: zavd connects to the virtual UPS with its pty paced at
# the line rate, and `upsc` asks for ups.status until zavd answers with data (not DATA-STALE or
# "Driver not connected"). Printed for each link timing, with the model set and with "auto" (which
# costs a model detection first). The time counts zavd's start, the connection, the settings download
# and the first live cycle; the line's own time for them is about a second at 9600 baud.
# Usage: bench/zavd_first_data.sh [BUILD_DIR] [BAUD] [PROTO]   (default: build 9600 rtu; a release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
baud="${2:-9600}"
proto="${3:-rtu}"
for p in zavd zav-ups-sim; do
  [ -x "$build/$p" ] || { echo "no $build/$p: build it first" >&2; exit 2; }
done
command -v upsc >/dev/null || { echo "upsc not found (Debian package nut-client)" >&2; exit 2; }
work="$(mktemp -d)"
sim_pid="" zavd_pid=""
stop() {
  for pid in $zavd_pid $sim_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap 'stop; rm -rf "$work"' EXIT

now_ms() { date +%s%3N; }
port=$((20000 + RANDOM % 20000))

printf "%-8s %-6s %10s\n" timing model "first data"
for timing in classic fast; do
  for model in 1 auto; do
    "$build/zav-ups-sim" --model 1 --proto "$proto" --baud "$baud" --link "$work/ups" --pace >/dev/null 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do [ -e "$work/ups" ] && break; sleep 0.05; done
    cat >"$work/zavd.conf" <<CONF
[Link]
Port=$work/ups
Protocol=$proto
Baud=$baud
Address=1
Model=$model
Timing=$timing
[Server]
Listen=127.0.0.1
ListenPort=$port
UpsName=zav
[Power]
PowerOff=dry-run
CONF
    chmod 600 "$work/zavd.conf"
    start="$(now_ms)"
    "$build/zavd" --config "$work/zavd.conf" >"$work/zavd.log" 2>&1 &
    zavd_pid=$!
    took="no data in 30 s"
    while (( $(now_ms) - start < 30000 )); do
      status="$(upsc "zav@127.0.0.1:$port" ups.status 2>/dev/null || true)"
      if [ -n "$status" ]; then took="$(( $(now_ms) - start )) ms"; break; fi
      sleep 0.02
    done
    printf "%-8s %-6s %10s\n" "$timing" "$model" "$took"
    stop
    zavd_pid="" sim_pid=""
    rm -f "$work/ups"
  done
done
