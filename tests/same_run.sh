#!/usr/bin/env bash
# The same run on both platforms: the Windows recorder under Wine and the Linux
# recorder, given the same seeds and held keys, must write byte-identical grids and
# logs, and frames with the same pixels; differences are counted and reported. Then
# a short video from each, the Windows recorder feeding the same ffmpeg through a
# pipe (Wine starts the Linux program as ffmpeg.exe): their decoded frames must
# match. Usage: same_run.sh WINDOWS_BUILD_DIR LINUX_RECORDER
set -u
windows=$(cd "$1" && pwd)
linux=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/fixtures.sh
. "$(dirname "$0")/fixtures.sh"
use_wine "$windows"

status=0
while read -r name args; do
  timeout 300 wine "$windows/lincell-record.exe" $args --log --out "$work/$name-windows" \
    >"$work/$name-windows.log" 2>/dev/null || { echo "$name: the Windows recorder failed"; exit 1; }
  "$linux" $args --log --out "$work/$name-linux" >"$work/$name-linux.log" ||
    { echo "$name: the Linux recorder failed"; exit 1; }
  grids=0 differ=0 frames=0 pixels=0
  cmp -s "$work/$name-windows.log" "$work/$name-linux.log" || { echo "$name: the logs differ"; status=1; }
  for grid in "$work/$name-linux"/grid-*.pgm; do
    grids=$((grids + 1))
    cmp -s "$grid" "$work/$name-windows/${grid##*/}" || differ=$((differ + 1))
  done
  [ "$differ" -eq 0 ] || status=1
  for frame in "$work/$name-linux"/frame-*.png; do
    frames=$((frames + 1))
    pixels=$((pixels + $(compare -metric AE "$frame" "$work/$name-windows/${frame##*/}" null: 2>&1)))
  done
  [ "$pixels" -eq 0 ] || status=1
  echo "$name ($args): $differ of $grids grids differ; $pixels pixels differ in $frames frames"
done <<'RUNS'
start-up --seed 3 --frames 10 --every 1
long-m-c-n --seed 5 --frames 600 --hold m@10-500 --hold c@100-400 --hold n@450-460 --every 20
esc-mid-run --seed 7 --frames 300 --hold esc@150 --every 10
many-colours --seed 11 --frames 2000 --hold c@1-2000 --every 50
RUNS

# The video's frames as each recorder pipes them to ffmpeg, kept raw by a stand-in
# on each side (Wine hands a Linux program started from Windows no pipe on its
# standard input, so the Windows recorder feeds a Windows stand-in).
mkdir -p "$work/video-windows" "$work/video-linux"
fake_ffmpeg "$work/bin" ffmpeg keeps
cp "$windows/raw_ffmpeg.exe" "$work/bin/ffmpeg.exe"
args="--seed 5 --frames 90 --hold c@20-40 --crop 320x240+240+180 --video v.mp4"
(cd "$work/video-windows" && WINEPATH=$(winepath -w "$work/bin" 2>/dev/null) timeout 120 \
  wine "$windows/lincell-record.exe" $args) >/dev/null 2>"$work/video.err" ||
  { echo "video: the Windows recorder failed: $(cat "$work/video.err")"; exit 1; }
(cd "$work/video-linux" && PATH="$work/bin:$PATH" "$linux" $args) ||
  { echo "video: the Linux recorder failed"; exit 1; }
bytes=$(stat -c %s "$work/video-linux/v.mp4")
if cmp -s "$work/video-windows/v.mp4" "$work/video-linux/v.mp4" && [ "$bytes" -eq $((90 * 320 * 240 * 4)) ]; then
  echo "video ($args): the same $bytes bytes of 90 frames piped to ffmpeg"
else
  echo "video ($args): the frames piped to ffmpeg differ"
  status=1
fi
exit $status
