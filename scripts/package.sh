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
stage="$out/stage"
mkdir -p "$src"
# The copy: the working tree as it is (committed or not), without build folders and git data.
rm -rf "$stage"
mkdir -p "$stage"
tar -c --exclude='./build*' --exclude='./.git' --exclude='./obj-*' . | tar -x -C "$stage"
# Brought into the copy file by file: a changed or new file takes the current time, so the build
# folder's outputs are older and get rebuilt (a copy that kept the source's times could be older
# than an output built from the previous copy); an unchanged file keeps its time. Files gone from
# the tree, and what the last run left in debian/, are removed.
(cd "$stage" && find . -type f) | while IFS= read -r f; do
  if ! cmp -s "$stage/$f" "$src/$f"; then
    mkdir -p "$(dirname "$src/$f")"
    rm -f "$src/$f"
    cp --preserve=mode "$stage/$f" "$src/$f"
  fi
done
(cd "$src" && find . -path './obj-*' -prune -o -type f -print) | while IFS= read -r f; do
  [ -e "$stage/$f" ] || rm -f "$src/$f"
done
rm -rf "$stage"
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
# Paths below the checkout are hashed relative to it, so a clone in another folder reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
# -nc: no clean first, so the build folder of the last run is reused.
(cd "$src" && ZAV_CMAKE_OPTIONS="$launcher" DEB_BUILD_OPTIONS="parallel=$(nproc)" \
  dpkg-buildpackage -b -us -uc -nc)
ls -l "$out"/*.deb

[ "${1:-}" = --no-test ] || scripts/package-test.sh "$out"
