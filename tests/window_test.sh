#!/usr/bin/env bash
# End-to-end tests of the real lincell window under a private Xvfb, driven by
# xdotool. Keys are held (keydown, a pause, keyup), since the toy reads them
# once per frame. Every wait is bounded. Usage: window_test.sh CASE BUILD_DIR
set -u
case_name=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
xvfb_pid=""
toy_pid=""

finish() {
  [ -n "$toy_pid" ] && kill "$toy_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

fail() { echo "FAIL: $*"; exit 1; }

# A private X server on the first free display; it writes the display's number
# when ready. Two servers starting at once may pick the same number, and then one
# of them quits: check that the display answers, and try again if it does not.
start_xvfb() {
  for _ in 1 2 3 4 5; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -s "$work/display" ] && break
      sleep 0.1
    done
    export DISPLAY=":$(cat "$work/display" 2>/dev/null)"
    sleep 0.2
    kill -0 "$xvfb_pid" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    kill "$xvfb_pid" 2>/dev/null
    sleep 0.$((RANDOM % 9 + 1))
  done
  fail "Xvfb did not start"
}

# Start the toy from folder $1 and wait for its window.
start_toy() {
  (cd "$1" && exec "$build/lincell") >"$work/toy.log" 2>&1 &
  toy_pid=$!
  for _ in $(seq 100); do
    window=$(xdotool search --name lincell 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    kill -0 "$toy_pid" 2>/dev/null || fail "lincell ended early: $(tail -n 3 "$work/toy.log")"
    sleep 0.1
  done
  fail "no lincell window within 10 s"
}

shot() { xwd -silent -id "$window" | convert xwd:- "$work/$1.png"; }

# Grey (128, 128, 128) pixels in the strip where the caption ends at x = 780.
caption_pixels() {
  convert "$work/$1.png" -crop 240x12+560+9 +repage txt:- | grep -c -i '#808080'
}

# Fraction of non-black pixels below the caption, 0..1.
lit_fraction() {
  convert "$work/$1.png" -crop 800x560+0+40 +repage -fill white +opaque black \
    -colorspace gray -format '%[fx:mean]' info:
}

differs() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" != "0" ]; }

hold_key() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; }

# Hold Esc and expect the toy to end with status 0 within 10 s.
quit_with_esc() {
  hold_key Escape
  for _ in $(seq 100); do
    kill -0 "$toy_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$toy_pid" 2>/dev/null && fail "still running 10 s after Esc"
  wait "$toy_pid"
  local status=$?
  toy_pid=""
  [ "$status" -eq 0 ] || fail "exit status $status after Esc"
}

# Wait up to 10 s for the caption to be drawn.
wait_for_caption() {
  for _ in $(seq 20); do
    shot "$1"
    [ "$(caption_pixels "$1")" -gt 30 ] && return 0
    sleep 0.5
  done
  fail "no grey caption at the top right within 10 s"
}

# Wait up to 10 s for coloured cells below the caption.
wait_for_life() {
  for _ in $(seq 20); do
    shot "$1"
    awk -v f="$(lit_fraction "$1")" 'BEGIN { exit !(f > 0.05) }' && return 0
    sleep 0.5
  done
  fail "no coloured cells within 10 s"
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
  # While C is held the colours change every frame.
  xdotool keydown c
  shot during_c
  changed=no
  for i in $(seq 10); do
    sleep 0.1
    shot "during_c$i"
    if differs during_c "during_c$i"; then changed=yes; break; fi
  done
  xdotool keyup c
  [ "$changed" = yes ] || fail "holding C left the colours as they were"
  quit_with_esc
  ;;
no-font)
  start_xvfb
  mkdir "$work/empty"
  start_toy "$work/empty"
  wait_for_caption start
  quit_with_esc
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
