#!/usr/bin/env bash
# End-to-end tests of the real lincell window under a private Xvfb, driven by
# xdotool. Keys are held (keydown, a pause, keyup), since the toy reads them
# once per frame. Every wait is bounded. Usage: window_test.sh CASE BUILD_DIR
set -u
case_name=$1
build=$(cd "$2" && pwd)
# shellcheck source=tests/x11_helpers.sh
. "$(dirname "$0")/x11_helpers.sh"

# Start the toy from folder $1 (through env with options $2, if given) and wait for its window.
start_toy() {
  (cd "$1" && exec env ${2:+"$2"} "$build/lincell") >"$work/toy.log" 2>&1 &
  toy_pid=$!
  for _ in $(seq 100); do
    window=$(xdotool search --name lincell 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    kill -0 "$toy_pid" 2>/dev/null || fail "lincell ended early: $(tail -n 3 "$work/toy.log")"
    sleep 0.1
  done
  fail "no lincell window within 10 s"
}

case $case_name in
caption)
  start_xvfb
  start_toy "$build"
  wait_for_caption start
  wait_for_life living
  quit_with_esc
  ;;
keys)
  start_xvfb
  start_toy "$build"
  wait_for_life before
  hold_key n
  shot after_n
  differs before after_n || fail "holding N left the picture as it was"
  # While C is held every frame brings new ramps: two colourful pictures share
  # almost no colour, where with the ramps kept they would share most of them.
  for _ in 1 2 3; do
    wait_for_life before_c
    xdotool keydown c
    sleep 0.2
    shot during_c1
    sleep 0.3
    shot during_c2
    xdotool keyup c
    [ "$(colors_of during_c1 | wc -l)" -ge 20 ] && [ "$(colors_of during_c2 | wc -l)" -ge 20 ] && break
  done
  [ "$(shared_colors during_c1 during_c2)" -le 10 ] || fail "holding C left the colours as they were"
  quit_with_esc
  ;;
no-font)
  start_xvfb
  mkdir "$work/empty"
  start_toy "$work/empty"
  wait_for_caption start
  quit_with_esc
  ;;
signals)
  # Each stop signal ends the toy through its shutdown with status 128 + signal,
  # whether it was started with the signal at its default or ignored.
  start_xvfb
  for how in default ignore; do
    for sig in INT TERM HUP; do
      start_toy "$build" "--$how-signal=$sig"
      wait_for_caption "$sig"
      kill -s "$sig" "$toy_pid"
      expect_exit $((128 + $(kill -l "$sig"))) "SIG$sig, $how disposition"
    done
  done
  ;;
lost-display)
  start_xvfb
  start_toy "$build"
  wait_for_caption start
  kill "$xvfb_pid"
  xvfb_pid=""
  expect_exit 1 "the display lost"
  grep -q "display was lost" "$work/toy.log" || fail "no message: $(cat "$work/toy.log")"
  ;;
no-display)
  (unset DISPLAY; cd "$build" && timeout 10 ./lincell) >"$work/out" 2>&1
  status=$?
  [ "$status" -eq 255 ] || fail "exit status $status without a display, expected 255"
  grep -q -i "display" "$work/out" || fail "no message: $(cat "$work/out")"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
