#!/usr/bin/env bash
# Writes one manual page from the program itself, so the page cannot drift from the program:
#   zav, zavd, zav-ups-sim  help2man over `PROGRAM --help`, plus the sections of PAGE.h2m;
#   zavctl                  the same, plus one section per subcommand from `zavctl CMD --help`
#                           (the subcommands are the ones `zavctl --help` lists);
#   zavd.conf               the sections of zavd.conf.h2m around the annotated sample
#                           configuration (the file the package installs, which `zavd --check`
#                           accepts in the package test).
# Usage: manpage.sh PAGE SECTION PROGRAM VERSION OUTPUT [SAMPLE]
set -euo pipefail
page="$1" section="$2" program="$3" version="$4" output="$5" sample="${6:-}"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Text for roff: backslashes escaped, no line taken for a request, minus signs kept as such.
roff_text() { sed -e 's/\\/\\e/g' -e 's/^\([.'"'"']\)/\\\&\1/' -e 's/-/\\-/g'; }

# The programs run by name, as a user types them, so their usage lines say "zavd", not a path.
export PATH="$(dirname "$program"):$PATH"
name="$(basename "$program")"
export QT_QPA_PLATFORM=offscreen

declare -A summary=(
  [zav]="monitoring and service tool for uninterruptible power supplies"
  [zavctl]="UPS tool for shells and scripts"
  [zavd]="UPS service for servers, with a NUT network server"
  [zav-ups-sim]="virtual UPS on a pseudo-terminal, for training and tests"
  [zavd.conf]="configuration file of zavd, the UPS service"
)

include="$work/include.h2m"
cp "$here/$page.h2m" "$include"

if [ "$page" = zavctl ]; then
  commands="$("$name" --help | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')"
  [ -n "$commands" ] || { echo "manpage.sh: zavctl --help lists no subcommand" >&2; exit 1; }
  { echo "[COMMANDS]"
    for c in $commands; do
      echo ".SS \"zavctl $c\""
      echo ".nf"
      "$name" "$c" --help | roff_text
      echo ".fi"
    done; } >>"$include"
fi

if [ "$page" = zavd.conf ]; then
  [ -f "$sample" ] || { echo "manpage.sh: the sample configuration is missing: $sample" >&2; exit 1; }
  date="$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" +%Y-%m-%d)"
  {
    echo ".TH ZAVD.CONF $section \"$date\" \"zav $version\" \"File formats\""
    echo ".SH NAME"
    echo "zavd.conf \\- ${summary[$page]}"
    # The hand-written sections ("[TITLE]" lines are headings), the sample where @SAMPLE@ stands.
    { echo ".nf"; roff_text <"$sample"; echo ".fi"; } >"$work/sample.roff"
    sed -e 's/^\[\(.*\)\]$/.SH "\1"/' "$include" |
      awk -v f="$work/sample.roff" '/^@SAMPLE@$/ { while ((getline l < f) > 0) print l; next } { print }'
  } >"$output"
  exit 0
fi

help2man --no-info --no-discard-stderr --version-string="$version" --section="$section" \
  --name="${summary[$page]}" --include="$include" --output="$output" "$name"
