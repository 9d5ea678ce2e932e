#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), only what is missing, then configures and
# builds. Usage: scripts/setup.sh [release|test|none]   (default: release; none only installs)
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev qt6-multimedia-dev qt6-l10n-tools qt6-tools-dev-tools
  qt6-translations-l10n
  libgl-dev libgtest-dev libgmock-dev libxcb1-dev
  fonts-wqy-microhei xvfb xauth socat nut-client
  libxlsxwriter-dev libfreexl-dev zlib1g-dev
  libqt6sql6-sqlite dbus-daemon
  # The Debian packages and their checks (scripts/package.sh, scripts/package-test.sh).
  dpkg-dev debhelper fakeroot help2man librsvg2-bin lintian desktop-file-utils appstream systemd man-db
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

kind="${1:-release}"
[ "$kind" = none ] && exit 0
case "$kind" in
  release) dir=build;      opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAV_SANITIZE=OFF -DZAV_TESTS=OFF) ;;
  test)    dir=build-test; opts=(-DCMAKE_BUILD_TYPE=Debug -DZAV_SANITIZE=ON) ;;
  *) echo "usage: $0 [release|test|none]" >&2; exit 2 ;;
esac
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Paths below the checkout are hashed relative to it, so a clone in another folder reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
cmake -S . -B "$dir" -G Ninja "${opts[@]}" "${launcher[@]}" >/dev/null
scripts/check-packages.sh "$dir" "${PACKAGES[@]}"
cmake --build "$dir" -j "$(nproc)"
