#!/usr/bin/env bash
# scripts/release as users mistype it, in a fresh clone of this checkout: an
# argument it does not know is refused with its usage and status 2; a dist that
# is not a folder of releases, or holds anything a release does not make, is
# refused and left as it was; a second release in the same checkout waits for
# none and is refused. None of these builds anything. And the release's source
# tarball, which has no git metadata, lists its files and passes scripts/check.
# Usage: tests/release_test.sh
set -u
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
ok() {
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; failed=1; }
}
is() { [ "$1" = "$2" ] || { echo "     got '$1', want '$2'"; return 1; }; }
git -C "$source" rev-parse --git-dir >/dev/null 2>&1 || { echo "not a git checkout"; exit 77; }
git clone --quiet "$source" "$work/clone" && cd "$work/clone" || exit 1
cp -r "$source"/scripts/. scripts/ # the scripts as they stand, committed or not
git add scripts && git -c user.name=test -c user.email=test@example.org commit --quiet -m "the scripts as they stand" >/dev/null

release() {
  timeout 60 scripts/release "$@" >out 2>err
  status=$?
}
mkdir dist && echo old >dist/SHA256SUMS
for args in --chek --help-me "--check extra" -x; do
  # shellcheck disable=SC2086 # the arguments are words
  release $args
  ok "$args: status 2" is "$status" 2
  ok "$args: the usage" grep -q '^usage: scripts/release' err
done
release --help
ok "--help: the usage, status 0" is "$status $(grep -c '^usage: scripts/release' out)" "0 1"
ok "dist untouched by all of them" is "$(cat dist/SHA256SUMS)" old

rm -r dist && echo "mine" >dist
release
ok "dist a file: status 1" is "$status" 1
ok "saying so" grep -q 'dist is not a folder' err
ok "the file kept" is "$(cat dist)" mine
rm dist && mkdir -p dist/lincell-private && echo old >dist/SHA256SUMS && touch dist/lincell-1.0.0.tar.gz
release
ok "a folder of the user's in dist: status 1" is "$status" 1
ok "naming it" grep -q 'lincell-private/' err
ok "both kept" is "$(find dist | sort | tr '\n' ' ')" "dist dist/SHA256SUMS dist/lincell-1.0.0.tar.gz dist/lincell-private "
rmdir dist/lincell-private && touch dist/lincell-notes.txt
release
ok "a file of the user's named lincell-*: status 1" is "$status $(ls dist | wc -l)" "1 3"

rm -r dist
exec 9>"$(git rev-parse --absolute-git-dir)/lincell-release.lock" && flock 9
release
ok "a release already running: status 1" is "$status" 1
ok "saying so" grep -q 'another scripts/release is running' err
exec 9>&-

mkdir "$work/tarball"
git archive HEAD | tar -x -C "$work/tarball"
ok "the tarball lists every file" is "$("$work/tarball/scripts/files" | wc -l)" "$(git ls-files | wc -l)"
ok "and checks them" "$work/tarball/scripts/check" >/dev/null
[ "$failed" -eq 0 ] && echo "ok: release refusals"
exit "$failed"
