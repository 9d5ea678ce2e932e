#!/usr/bin/env bash
# Checks that every CMake package the configure step found comes from a Debian package that the
# set-up installs: one in its list, or one that the list pulls in through Depends/Pre-Depends.
# A package that was on this machine for another reason would be missing on a fresh one, and the
# configure step would fail there ("Qt6Charts could not be found because dependency Qt6OpenGL ...").
# Usage: scripts/check-packages.sh BUILD_DIR PACKAGE...
set -euo pipefail
build_dir="$1"
shift
listed=("$@")
cache="$build_dir/CMakeCache.txt"
[ -f "$cache" ] || { echo "check-packages: $cache not found" >&2; exit 2; }
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

# Everything the list installs: the packages and their dependencies, recursively.
closure="$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances "${listed[@]}" 2>/dev/null |
  sed -n -e 's/^\([a-z0-9][^ :]*\).*/\1/p' -e 's/^ *\(Pre\)\{0,1\}Depends: <\{0,1\}\([^ :>]*\).*/\2/p' |
  sort -u)"

missing=()
while IFS='=' read -r name dir; do
  case "$dir" in ""|*-NOTFOUND|"$source_dir"*) continue ;; esac
  [ -e "$dir" ] || continue
  # Several packages may share a folder (qt6-base-dev has a file in cmake/Qt6OpenGL): the package
  # that provides it is the owner of its config file.
  lower="$(tr '[:upper:]' '[:lower:]' <<<"$name")"
  probe="$dir"
  for f in "$dir/${name}Config.cmake" "$dir/${lower}-config.cmake"; do
    if [ -e "$f" ]; then probe="$f"; break; fi
  done
  owners="$(dpkg -S "$probe" 2>/dev/null | sed -n 's/^\(.*\): .*/\1/p' | tr ',' '\n' | sed 's/^ *//; s/:.*//' | sort -u)"
  if [ -z "$owners" ]; then
    missing+=("$dir (belongs to no Debian package: installed by hand?)")
    continue
  fi
  found=""
  for owner in $owners; do
    if grep -qx "$owner" <<<"$closure"; then found=1; break; fi
  done
  [ -n "$found" ] || missing+=("$dir (from $(echo $owners | tr ' ' ','))")
done < <(sed -n 's/^\([A-Za-z0-9_]*\)_DIR:PATH=/\1=/p' "$cache" | sort -u)

if ((${#missing[@]})); then
  echo "check-packages: the build uses CMake packages that scripts/setup.sh does not install:" >&2
  for m in "${missing[@]}"; do echo "  $m" >&2; done
  echo "Add the Debian package named in brackets to PACKAGES in scripts/setup.sh." >&2
  exit 1
fi
echo "check-packages: every CMake package the build uses comes from the set-up's package list"
