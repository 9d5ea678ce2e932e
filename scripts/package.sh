#!/usr/bin/env bash
# Builds the Debian packages zav, zav-closeapp, zavctl, zavd and zav-ups-sim (debian/, debhelper)
# into build-pkg/, then checks them installed (scripts/package-test.sh).
# The build runs on a copy of the source tree in build-pkg/src: dpkg-buildpackage writes the
# packages beside the source folder, so they land in build-pkg/ and the working tree stays clean.
# The copy keeps its build folder between runs, so a second run only rebuilds what changed.
# Usage: scripts/package.sh [--no-test]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh none

out=build-pkg
src="$out/src"
mkdir -p "$src"
# The copy: the working tree as it is (committed or not), without build folders and git data.
find "$src" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} +
tar -c --exclude='./build*' --exclude='./.git' --exclude='./obj-*' . | tar -x -C "$src"
rm -f "$out"/*.deb "$out"/*.ddeb "$out"/*.changes "$out"/*.buildinfo

# The package version follows the project's.
project_version="$(sed -n 's/^project(zav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
package_version="$(cd "$src" && dpkg-parsechangelog -S Version)"
if [ "$project_version" != "$package_version" ]; then
  echo "package.sh: debian/changelog says $package_version, CMakeLists.txt $project_version: add a changelog entry" >&2
  exit 1
fi

launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
# -nc: no clean first, so the build folder of the last run is reused.
(cd "$src" && ZAV_CMAKE_OPTIONS="$launcher" DEB_BUILD_OPTIONS="parallel=$(nproc)" \
  dpkg-buildpackage -b -us -uc -nc)
ls -l "$out"/*.deb

[ "${1:-}" = --no-test ] || scripts/package-test.sh "$out"
