# shellcheck shell=bash
# Shared by the shell tests: what a recorded frame must be, stand-ins for ffmpeg,
# and Wine's environment.

# Whether every PNG named is an 800 x 600 8-bit RGB picture (no alpha, no palette).
are_rgb_frames() {
  local f
  for f; do
    file -b "$f" | grep -q '^PNG image data, 800 x 600, 8-bit/color RGB,' || return 1
  done
}

# Write a stand-in for ffmpeg as FOLDER/NAME that behaves as KIND:
#   keeps   keeps the raw frames it is fed as the file its last argument names
#   quits   ends well at once, reading nothing
#   stalls  never reads and never ends; its process number in ./stand-in.pid
#   spews   floods its error output with unprintable bytes and fails
#   slow    counts the bytes it is fed, then works on for $SLOW_SECONDS (default 3)
#           before keeping the count as the file
#   old     lists no AV1 encoder, and otherwise keeps, as an ffmpeg built without it
fake_ffmpeg() {
  local folder=$1 name=$2 kind=$3 body
  case $kind in
  keeps) body='for last; do :; done; exec cat >"${last#file:}"' ;;
  quits) body='exit 0' ;;
  stalls) body="echo \$\$ >'$PWD/stand-in.pid'; exec sleep 60" ;;
  spews) body='head -c 3000000 /dev/urandom >&2; exit 1' ;;
  slow) body="for last; do :; done; n=\$(wc -c); sleep ${SLOW_SECONDS:-3}; echo \$n >\"\${last#file:}\"" ;;
  old) body='[ "$1" = -encoders ] && { echo " V..... libvpx-vp9"; exit 0; }
for last; do :; done; exec cat >"${last#file:}"' ;;
  esac
  mkdir -p "$folder"
  printf '#!/bin/sh\n%s\n' "$body" >"$folder/$name"
  chmod +x "$folder/$name"
}

# Wine with its own prefix in BUILD_DIR, no Mono or Gecko prompts and no debugger on a crash.
use_wine() {
  export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}
