#!/usr/bin/env bash
# Smoke test of the Windows build under Wine, in a private Xvfb: text drawn into
# memory above 4 GiB, then lincell.exe itself: its window appears with the grey
# caption and, within seconds, coloured cells; holding N changes the picture;
# holding Esc ends it with status 0. Then, without Wine's virtual desktop, five
# times: the window given the focus, Esc held ends it with status 0 (in about
# 1.8 s here, where Wine waits in vain for a window manager to withdraw the
# hidden window; a hang is for good, so the test allows 5 s).
# Keeps the last screenshot as smoke.png.
# Usage: wine_smoke.sh BUILD_DIR   (holding lincell.exe, text_above_4gib.exe, myfont.pcx)
set -u
build=$(cd "$1" && pwd)
# shellcheck source=tests/x11_helpers.sh
. "$(dirname "$0")/x11_helpers.sh"
trap 'finish; wineserver -k 2>/dev/null' EXIT
step() { echo "[$(date +%T)] $*"; }

# shellcheck source=tests/fixtures.sh
. "$(dirname "$0")/fixtures.sh"
use_wine "$build" # with a virtual desktop for the first start (the focused starts go without)

step "starting Xvfb and the Wine prefix"
start_xvfb
timeout 90 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 ||
  fail "Wine did not set up its prefix within 90 s"
timeout 30 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
  >/dev/null 2>&1 || fail "could not set Wine's virtual desktop"

step "drawing text above 4 GiB"
cd "$build"
out=$(timeout 60 wine ./text_above_4gib.exe 2>/dev/null)
status=$?
echo "$out"
[ "$status" -eq 0 ] && echo "$out" | grep -q '^ok' || fail "text above 4 GiB: status $status"

step "starting lincell.exe"
start_toy "$build" wine ./lincell.exe
xdotool windowactivate "$window" >/dev/null 2>&1

wait_for_caption start
step "caption drawn"
wait_for_life living
step "cells alive"
cp "$work/living.png" "$build/smoke.png"
hold_key n
shot after_n
differs living after_n || fail "holding N left the picture as it was"
step "N changed the picture"
quit_with_esc
step "Esc ended lincell.exe with status 0"

timeout 30 wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 ||
  fail "could not leave Wine's virtual desktop"
for try in 1 2 3 4 5; do
  start_toy "$build" wine ./lincell.exe
  wait_for_caption "focused-$try"
  xdotool windowfocus "$window" >/dev/null 2>&1
  sleep 0.5
  hold_key Escape
  expect_exit 0 "Esc with the focus, try $try" 5
done
step "with the focus and no virtual desktop, Esc ended lincell.exe, 5 of 5"
echo "ok: windows smoke test"
