#!/usr/bin/env bash
# End-to-end tests of the real lincell window under a private Xvfb, driven by
# xdotool. Keys are held (keydown, a pause, keyup), since the toy reads them
# once per frame. Every wait is bounded. Usage: window_test.sh CASE BUILD_DIR
set -u
case_name=$1
build=$(cd "$2" && pwd)
# shellcheck source=tests/x11_helpers.sh
. "$(dirname "$0")/x11_helpers.sh"

case $case_name in
caption-and-keys)
  start_xvfb
  start_toy "$build" "$build/lincell"
  wait_for_caption start
  wait_for_life before
  hold_key n
  shot after_n
  differs before after_n || fail "holding N left the picture as it was"
  quit_with_esc
  ;;
signals)
  # Each stop signal ends the toy through its shutdown with status 128 + signal,
  # whether it was started with the signal at its default or ignored.
  start_xvfb
  for how in default ignore; do
    for sig in INT TERM HUP; do
      start_toy "$build" env "--$how-signal=$sig" "$build/lincell"
      wait_for_caption "$sig"
      kill -s "$sig" "$toy_pid"
      expect_exit $((128 + $(kill -l "$sig"))) "SIG$sig, $how disposition"
    done
  done
  ;;
lost-display)
  start_xvfb
  start_toy "$build" "$build/lincell"
  wait_for_caption start
  kill "$xvfb_pid"
  xvfb_pid=""
  expect_exit 1 "the display lost"
  grep -q "display was lost" "$work/toy.log" || fail "no message: $(cat "$work/toy.log")"
  ;;
no-display | no-mode)
  # Without a display the library cannot start; with one that refuses the mode
  # (the preloaded shim) the mode cannot be set. Either way: a message and -1.
  # Under X the library shows its message through xmessage: here, one that prints it.
  if [ "$case_name" = no-display ]; then unset DISPLAY; else start_xvfb; fi
  shim=$([ "$case_name" = no-mode ] && echo "LD_PRELOAD=$build/tests/librefuse_mode.so")
  mkdir "$work/bin"
  printf '#!/bin/sh\nfor a; do :; done; echo "$a"; exit 101\n' >"$work/bin/xmessage"
  chmod +x "$work/bin/xmessage"
  (cd "$build" && PATH="$work/bin:$PATH" timeout 10 env $shim ./lincell) >"$work/out" 2>&1
  status=$?
  [ "$status" -eq 255 ] || fail "exit status $status, expected 255"
  grep -q -i -E "display|no graphics mode for this test" "$work/out" || fail "no message: $(cat "$work/out")"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
