# shellcheck shell=bash
# Shared by the window tests: a scratch folder, a private Xvfb, screenshots of the
# toy's window and what they show, held keys and the toy's exit. The sourcing
# script sets $window (the toy's X window) and $toy_pid (the toy's process).

work=$(mktemp -d)
xvfb_pid=""
toy_pid=""

# Everything started is stopped, and the scratch folder removed, however the test ends.
finish() {
  [ -n "$toy_pid" ] && kill "$toy_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

fail() { echo "FAIL: $*"; exit 1; }

# A private X server on a free display number, which it picks and names once it
# takes connections.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && DISPLAY=":$(cat "$work/display")" && export DISPLAY && return 0
    sleep 0.1
  done
  fail "Xvfb did not start"
}

# Start the toy in folder $1 with the command that follows, and wait for its window.
# Now and then, with several tests at once, the library cannot open a fresh Xvfb's
# display at the first try; such a start is tried again, up to three times.
start_toy() {
  local folder=$1
  shift
  # A window an earlier toy left, which the server may not have destroyed yet, is not this one.
  local earlier
  earlier=$(xdotool search --name '^lincell$' 2>/dev/null)
  for attempt in 1 2 3; do
    (cd "$folder" && exec "$@") >"$work/toy.log" 2>&1 &
    toy_pid=$!
    for _ in $(seq 300); do
      window=$(xdotool search --name '^lincell$' 2>/dev/null | grep -v -x -F "${earlier:-none}" | head -n 1)
      [ -n "$window" ] && return 0
      kill -0 "$toy_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$toy_pid" 2>/dev/null && fail "no lincell window within 30 s"
    grep -q "could not start" "$work/toy.log" && [ "$attempt" -lt 3 ] || break
    sleep 0.5
  done
  fail "lincell ended early: $(tail -n 3 "$work/toy.log")"
}

# Screenshot of the toy's 800 x 600 picture as $work/NAME.png. A framed window (as in
# Wine's virtual desktop) holds it at the bottom, centred between equal side borders.
shot() {
  xwd -silent -id "$window" 2>/dev/null | convert xwd:- "$work/$1.png" 2>/dev/null || return 0
  local size w h side
  size=$(identify -format '%w %h' "$work/$1.png" 2>/dev/null) || return 0
  w=${size% *} h=${size#* }
  if [ "$w" -gt 800 ] || [ "$h" -gt 600 ]; then
    side=$(((w - 800) / 2))
    mogrify -crop "800x600+$side+$((h - 600 - side))" +repage "$work/$1.png"
  fi
}

# The caption's grey in the strip where it ends at x = 780; coloured cells below it.
has_caption() {
  [ "$(convert "$work/$1.png" -crop 240x12+560+9 +repage txt:- | grep -c -i '#808080')" -gt 30 ]
}
has_life() {
  [ "$(convert "$work/$1.png" -crop 800x560+0+40 +repage -fill white +opaque black \
    -colorspace gray -format '%[fx:mean>0.05]' info:)" = 1 ]
}
differs() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" != "0" ]; }
hold_key() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; }

# Take screenshot NAME every half second until CHECK holds for it, for 10 s at most.
wait_for() {
  for _ in $(seq 20); do
    shot "$1"
    [ -s "$work/$1.png" ] && "$2" "$1" && return 0
    sleep 0.5
  done
  fail "$3 within 10 s"
}
wait_for_caption() { wait_for "$1" has_caption "no grey caption at the top right"; }
wait_for_life() { wait_for "$1" has_life "no coloured cells"; }
# Wait for coloured cells in screenshot NAME, then hold N: the picture must change.
expect_n_to_change() {
  wait_for_life "$1"
  hold_key n
  shot after_n
  differs "$1" after_n || fail "holding N left the picture as it was"
}

# Expect the toy to end with status $1 within $3 seconds (20 unless given), after $2.
expect_exit() {
  local limit=${3:-20}
  for _ in $(seq $((limit * 10))); do
    kill -0 "$toy_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$toy_pid" 2>/dev/null && fail "still running $limit s after $2"
  wait "$toy_pid"
  local status=$?
  toy_pid=""
  [ "$status" -eq "$1" ] || fail "exit status $status after $2, expected $1"
}
quit_with_esc() { hold_key Escape; expect_exit 0 Esc; }
