#!/usr/bin/env bash
# scripts/windows builds the Windows libraries again when what they are built
# from changes: in a copy of the tree whose Allegro was built from other patches,
# a new patch that cannot apply fails the build, naming the patch, and leaves no
# library of the old patches to be linked. Needs build-windows/source as
# scripts/windows left it. Usage: tests/windows_libraries_test.sh
set -u
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: windows libraries: $*"; exit 1; }
"$source/scripts/files" -z | (cd "$source" && tar --null -cf - -T -) | tar -xf - -C "$work"
mkdir -p "$work/build-windows/source" "$work/build-windows/allegro/lib"
cp "$source"/build-windows/source/allegro4.4_*.orig.tar.gz "$work/build-windows/source/" ||
  fail "no Allegro source in build-windows/source: run scripts/windows first"
echo "an Allegro of other patches" >"$work/build-windows/allegro/lib/liballeg.a"
echo "stamp of other patches" >"$work/build-windows/allegro/inputs"
printf -- '--- a/no-such-file.c\n+++ b/no-such-file.c\n@@ -1 +1 @@\n-a\n+b\n' \
  >"$work/scripts/allegro-patches/99-cannot-apply.patch"
"$work/scripts/windows" --libraries >"$work/out" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "status $status: $(tail -n 3 "$work/out")"
grep -q '99-cannot-apply.patch does not apply' "$work/out" || fail "the patch not named: $(tail -n 3 "$work/out")"
[ ! -e "$work/build-windows/allegro/lib/liballeg.a" ] || fail "the old patches' Allegro is still there to be linked"
echo "ok: windows libraries"
