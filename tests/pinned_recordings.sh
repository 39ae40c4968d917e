#!/usr/bin/env bash
# Prints the pinned-recordings table as the recorder given makes it today: the
# table's comments and runs as they stand, each run's sums recomputed. The test
# compares this with the committed table; to re-pin, write it over the table.
# Usage: pinned_recordings.sh RECORDER [TABLE]
set -euo pipefail
recorder=$1
table=${2:-$(dirname "$0")/pinned_recordings.txt}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/fixtures.sh
. "$(dirname "$0")/fixtures.sh"

sum() { sha256sum | cut -d' ' -f1; }
while IFS= read -r line; do
  case $line in
  run\ *)
    echo "$line"
    rm -rf "$work/run"
    # shellcheck disable=SC2086 # the run's arguments are words
    "$recorder" ${line#run } --log --out "$work/run" >"$work/log"
    are_rgb_frames "$work"/run/frame-* || { echo "a frame is not an 800 x 600 8-bit RGB PNG" >&2; exit 1; }
    echo "grids $(cat "$work"/run/grid-*.pgm | sum)"
    echo "pixels $(for f in "$work"/run/frame-*; do convert "$f" rgb:-; done | sum)"
    echo "log $(sum <"$work/log")"
    ;;
  grids\ * | pixels\ * | log\ *) ;;
  *) echo "$line" ;;
  esac
done <"$table"
