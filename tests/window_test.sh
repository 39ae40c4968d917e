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
  # The desktop knows it: class lincell, and its own icon (opaque: the library's has a mask).
  hints=$(xprop -id "$window" WM_CLASS WM_HINTS)
  grep -q '^WM_CLASS(STRING) = "lincell", "lincell"$' <<<"$hints" || fail "window class: $hints"
  grep -q 'bitmap id # to use for icon' <<<"$hints" && grep -q 'mask for icon: 0x0' <<<"$hints" ||
    fail "not the toy's icon: $hints"
  expect_n_to_change before
  quit_with_esc
  [ -s "$work/toy.log" ] && fail "the toy said something on the terminal: $(head -n 3 "$work/toy.log")"
  ;;
signals)
  # Both programs, started with each stop signal at its default, ignored (as
  # nohup and background jobs start them) or blocked: a default or blocked stop
  # signal ends them in order with 128 + signal; an ignored one stays ignored
  # and the program goes on (the window then ends with Esc, the recorder its run).
  start_xvfb
  while read -r program how sig status; do
    label="$program, SIG$sig $how"
    if [ "$program" = window ]; then
      start_toy "$build" env "--$how-signal=$sig" "$build/lincell"
      wait_for_caption "$sig"
    else
      env "--$how-signal=$sig" "$build/lincell-record" --seed 1 --frames 20000 \
        --overwrite --out "$work/rec" >/dev/null 2>&1 &
      toy_pid=$!
      sleep 1
    fi
    kill -s "$sig" "$toy_pid"
    if [ "$status" = goes-on ]; then
      sleep 1
      kill -0 "$toy_pid" 2>/dev/null ||
        { wait "$toy_pid"; fail "$label: ended with $?: $(grep -v ALSA "$work/toy.log" | tail -n 3)"; }
      if [ "$program" = window ]; then quit_with_esc; else expect_exit 0 "$label"; fi
    else
      expect_exit "$status" "$label"
    fi
  done <<'TABLE'
window default INT 130
window default TERM 143
window default HUP 129
window default QUIT 131
window ignore INT goes-on
window ignore HUP goes-on
window ignore QUIT goes-on
window block TERM 143
record default TERM 143
record default QUIT 131
record ignore HUP goes-on
record block HUP 129
TABLE
  # An ignored signal that comes while the library is still starting stays ignored too.
  start_toy "$build" env --ignore-signal=QUIT "$build/lincell"
  kill -s QUIT "$toy_pid"
  wait_for_caption early-quit
  quit_with_esc
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
lost-window)
  # Started with standard error closed, the toy still opens its window and
  # stops on SIGTERM; a window destroyed under it ends it with a message and 1.
  start_xvfb
  start_toy "$build" sh -c 'exec "$0" 2>&-' "$build/lincell"
  wait_for_caption closed-streams
  kill -s TERM "$toy_pid"
  expect_exit 143 "SIGTERM, started with standard error closed"
  start_toy "$build" "$build/lincell"
  wait_for_caption start
  xdotool windowclose "$window"
  expect_exit 1 "the window destroyed"
  grep -q "window was lost" "$work/toy.log" || fail "no message: $(cat "$work/toy.log")"
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
