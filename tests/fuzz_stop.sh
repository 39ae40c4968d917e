#!/usr/bin/env bash
# scripts/fuzz stopped by Ctrl-C while a fuzzer runs: the whole run stops with
# status 130 and says so, reports no finding, keeps nothing in build-fuzz/findings
# and leaves no scratch folder behind. A time it cannot read is refused with
# status 2 before anything runs. Run after scripts/fuzz has built its targets.
# Usage: tests/fuzz_stop.sh
set -u
cd "$(dirname "$0")/.." || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: fuzz stop: $*"; exit 1; }
for time in abc 1x 0 -5 "" "10 20" 1.5h; do
  scripts/fuzz "$time" >"$scratch/out" 2>&1
  [ $? -eq 2 ] || fail "the time '$time' was not refused with status 2"
done
grep -q '^usage: scripts/fuzz' "$scratch/out" || fail "a refused time did not say the usage"
findings_before=$(find build-fuzz/findings -type f 2>/dev/null | wc -l)
# A job of its own, as on a terminal: its own process group, Ctrl-C not ignored.
set -m
TMPDIR=$scratch scripts/fuzz 30 >"$scratch/out" 2>&1 &
script=$!
for _ in $(seq 600); do # the targets built, a fuzzer under way in its scratch folder
  [ -n "$(find "$scratch" -mindepth 2 -maxdepth 2 -name run -type d 2>/dev/null)" ] && break
  sleep 0.1
done
sleep 2
kill -INT -- "-$script"
wait "$script"
status=$?
[ "$status" -eq 130 ] || fail "status $status: $(tail -n 3 "$scratch/out")"
grep -q 'stopped by' "$scratch/out" || fail "it did not say it was stopped: $(tail -n 3 "$scratch/out")"
grep -q 'a finding' "$scratch/out" && fail "the stop was reported as a finding"
[ "$(find build-fuzz/findings -type f | wc -l)" -eq "$findings_before" ] || fail "a finding was kept"
[ -z "$(find "$scratch" -mindepth 1 -maxdepth 1 -name 'tmp.*')" ] || fail "its scratch folder was left"
echo "ok: fuzz stop"
