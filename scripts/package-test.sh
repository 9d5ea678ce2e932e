#!/usr/bin/env bash
# Checks the Debian packages that scripts/package.sh built: unpacks them into a clean root
# (dpkg --root on an empty dpkg database in a temporary folder; the programs then run from the
# root's /usr/bin against this machine's libraries), and checks
#   - each file where Debian expects it, the configuration root-only and a conffile;
#   - the computed dependencies name Debian packages that apt can install here;
#   - lintian reports no error;
#   - zavctl --help, zavd --check of the installed sample, zav and zav-ups-sim --help run from the
#     installed paths; every zavctl subcommand has its section in the manual page;
#   - systemd-analyze verify on the unit (its Documentation= pages looked up in the root);
#   - desktop-file-validate on the desktop entry, appstreamcli validate on the metainfo.
# Usage: scripts/package-test.sh [DIR]   (default build-pkg)
set -uo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-pkg}"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { # check DESCRIPTION COMMAND...: passes when the command exits 0, else shows its output
  local what="$1"; shift
  local output
  if output="$("$@" 2>&1)"; then pass "$what"; else fail "$what"; echo "$output" | sed 's/^/    /' >&2; fi
}

# The five packages (the -dbgsym ones beside them hold only debugging symbols).
mapfile -t debs < <(ls "$dir"/*.deb 2>/dev/null | grep -v -- '-dbgsym_')
((${#debs[@]} == 5)) || { echo "package-test: expected the 5 packages in $dir, found ${#debs[@]}" >&2; exit 1; }
deb() { ls "$dir"/"$1"_*_*.deb; }

root="$(mktemp -d /tmp/zav-root.XXXXXX)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# Installed and configured. Their maintainer scripts (only zavd has some: the unit's state through
# deb-systemd-helper, which works inside DPKG_ROOT) run from this machine's shell, as the root has
# none; the shared libraries they depend on are this machine's, not in the root's database
# (--force-depends; apt checks the dependencies below).
check "the packages install into an empty root" \
  dpkg --root="$root" --force-not-root --force-script-chrootless --force-depends --install "${debs[@]}"

# Where each file must be, and nothing else outside the package's own places.
expected=(
  "zav /usr/bin/zav"
  "zav /usr/share/applications/org.zav.Zav.desktop"
  "zav /usr/share/metainfo/org.zav.Zav.metainfo.xml"
  "zav /usr/share/icons/hicolor/scalable/apps/zav.svg"
  "zav /usr/share/zav/zav.CHS"
  "zav /usr/share/zav/zav.ENU"
  "zav /usr/share/zav/zav.CHT"
  "zav /usr/share/man/man1/zav.1.gz"
  "zav /usr/share/doc/zav/README.Debian"
  "zav /usr/share/doc/zav/copyright"
  "zav-closeapp /usr/lib/zav/zav-closeapp"
  "zavctl /usr/bin/zavctl"
  "zavctl /usr/share/man/man1/zavctl.1.gz"
  "zavd /usr/bin/zavd"
  "zavd /etc/zav/zavd.conf"
  "zavd /lib/systemd/system/zavd.service"
  "zavd /usr/share/man/man8/zavd.8.gz"
  "zavd /usr/share/man/man5/zavd.conf.5.gz"
  "zavd /usr/share/doc/zavd/README.Debian"
  "zav-ups-sim /usr/bin/zav-ups-sim"
  "zav-ups-sim /usr/share/man/man1/zav-ups-sim.1.gz"
)
for size in 16 22 24 32 48 64 128 256; do expected+=("zav /usr/share/icons/hicolor/${size}x${size}/apps/zav.png"); done
for e in "${expected[@]}"; do
  read -r package path <<<"$e"
  if dpkg-deb -c "$(deb "$package")" | awk '{print $6}' | sed 's|^\.||' | grep -qx "$path"; then
    pass "$package holds $path"
  else
    fail "$package does not hold $path"
  fi
done
for d in "${debs[@]}"; do
  stray="$(dpkg-deb -c "$d" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\.||' |
    grep -Ev '^/usr/bin/[a-z-]+$|^/usr/lib/zav/|^/usr/share/(applications|metainfo|icons|zav|man|doc)/|^/etc/zav/|^/lib/systemd/system/' || true)"
  [ -z "$stray" ] && pass "$(basename "$d"): only files in their places" || fail "$(basename "$d") has files elsewhere: $stray"
done
conf_line="$(dpkg-deb -c "$(deb zavd)" | awk '$6 == "./etc/zav/zavd.conf" {print $1, $2}')"
[ "$conf_line" = "-rw------- root/root" ] && pass "zavd.conf is root-only" || fail "zavd.conf is '$conf_line', not -rw------- root/root"
dpkg-deb -I "$(deb zavd)" conffiles 2>/dev/null | grep -qx /etc/zav/zavd.conf &&
  pass "zavd.conf is a conffile (an upgrade keeps the administrator's changes)" || fail "zavd.conf is not a conffile"

# Dependencies: computed from the libraries the programs link, and installable from Debian.
for p in zav zavctl zavd zav-ups-sim zav-closeapp; do
  depends="$(dpkg-deb -f "$(deb "$p")" Depends)"
  grep -q 'libqt6core6' <<<"$depends" && pass "$p depends on $(grep -o 'libqt6core6[^,]*' <<<"$depends")" ||
    fail "$p: Depends has no Qt library: '$depends'"
done
mapfile -t deb_paths < <(realpath "${debs[@]}") # apt takes a file only by a path with a slash
check "apt can install the packages with their dependencies" apt-get install --simulate --no-install-recommends "${deb_paths[@]}"

check "lintian reports no error" lintian --fail-on error --suppress-tags-from-file /dev/null "${debs[@]}"

# The programs from the installed paths.
bin="$root/usr/bin"
check "zavctl --help runs installed" "$bin/zavctl" --help
check "zav --help runs installed" "$bin/zav" --help
check "zav-ups-sim --help runs installed" "$bin/zav-ups-sim" --help
# The installed sample is root-only: read it as it will be read, by root (or by its owner).
check "zavd --check accepts the installed sample" "$bin/zavd" --check --config "$root/etc/zav/zavd.conf"
man_text="$(MANWIDTH=100 man -l "$root/usr/share/man/man1/zavctl.1.gz" 2>/dev/null)"
for c in $("$bin/zavctl" --help | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p'); do
  grep -q "^   zavctl $c\$" <<<"$man_text" || fail "the zavctl manual page has no section for '$c'"
done
for page in man1/zav.1 man1/zavctl.1 man1/zav-ups-sim.1 man8/zavd.8 man5/zavd.conf.5; do
  warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings=w -l "$root/usr/share/man/$page.gz" 2>&1 >/dev/null)"
  [ -z "$warnings" ] && pass "$page renders without warnings" || fail "$page: $warnings"
done

# The unit in the root, next to systemd's own units (the targets it is ordered against) copied from
# this machine without replacing it, its ExecStart and Documentation= pages looked up in the root.
# Any word from systemd-analyze (an unknown key is only a warning to it) fails the check.
cp -an /lib/systemd/system/. "$root/lib/systemd/system/"
verify="$(MANPATH="$root/usr/share/man" systemd-analyze verify --root="$root" /lib/systemd/system/zavd.service 2>&1)"
[ $? -eq 0 ] && [ -z "$verify" ] && pass "systemd-analyze verify zavd.service" || fail "systemd-analyze verify: $verify"
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/org.zav.Zav.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$root/usr/share/metainfo/org.zav.Zav.metainfo.xml"

if ((failures)); then
  echo "package-test: $failures check(s) failed" >&2
  exit 1
fi
echo "package-test: the packages pass every check"
