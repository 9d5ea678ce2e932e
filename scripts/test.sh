#!/usr/bin/env bash
# Builds the sanitizer test build and runs every test (unit, GUI offscreen, end-to-end over a pty),
# then builds the Debian packages and checks them installed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j "$(nproc)" --timeout 300
# The Debian packages: built (Release, build-pkg/) and checked installed in a clean root.
scripts/package.sh
