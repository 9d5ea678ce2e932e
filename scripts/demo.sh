#!/usr/bin/env bash
# Builds ZAV and starts it with the virtual UPS on a pseudo-terminal: press Connect.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh release
exec build/zav --demo "$@"
