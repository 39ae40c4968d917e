#!/usr/bin/env bash
# The recorder from the outside, one group of cases at a time: its refusals, its
# files and --overwrite, its folders, ffmpeg misbehaving, its videos and its
# progress line. Each group runs in a scratch folder of its own.
# Usage: recorder_test.sh GROUP RECORDER
set -u
group=$1
R=$(realpath "$2")
export R
# shellcheck source=tests/fixtures.sh
. "$(dirname "$0")/fixtures.sh"
work=$(mktemp -d)
trap 'chattr -R -i "$work" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1

failed=0
# ok WHAT COMMAND...: the command must succeed, or WHAT is reported as failing.
ok() {
  local what=$1
  shift
  "$@" || { echo "FAIL: $what"; failed=1; }
}
# record ARGS...: run the recorder; $status, and its output in ./stdout and ./stderr.
record() {
  "$R" "$@" >stdout 2>stderr
  status=$?
}
said() { grep -qF -- "$1" stderr; }
is() { [ "$1" = "$2" ] || { echo "     got '$1', want '$2'"; return 1; }; }
count() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' 2>/dev/null | grep -c -E "$2"; }

refusals() {
  # Bad arguments, and anything ffmpeg would refuse at the end, are refused before
  # the run with one line and status 2, and nothing is written.
  mkdir v.mp4
  local args
  # (each option's own faults are the options unit test's; one stands for them here)
  for args in "--speed 2" "--video a.avi" \
    "--video a.mp4 --crop 101x100+0+0" "--video a.webm --crop 100x101+0+0" "--video a.gif --fps 60" \
    "--video no/such/folder/a.mp4" "--video v.mp4"; do
    # shellcheck disable=SC2086 # the arguments are words
    eval record --seed 1 --frames 3 --every 1 --out out $args
    ok "$args: status 2" is "$status" 2
    ok "$args: one line" is "$(grep -c 'lincell-record: ' stderr) $(wc -l <stderr)" "1 1"
    ok "$args: nothing written" is "$(count . '^out$|^a\.|^z\.')" 0
  done
  "$R" --seed 1 --frames 3 --log --out out >&- 2>stderr
  ok "a log with standard output closed: status 2" is "$? $(count . '^out$')" "2 0"
  for kind in gif mp4 webm apng; do
    record --seed 1 --frames 0 --video "z.$kind"
    ok "--frames 0 with a .$kind: status 2" is "$status" 2
    ok "and no video" is "$(count . '^z\.')" 0
  done
  ok "help that cannot be written is no success" is "$("$R" --help >/dev/full; echo $?)" 1
  # No memory for the picture: said on standard error, status 1, and the earlier
  # recording untouched although --overwrite was given.
  [ -n "${REFUSE_MEMORY:-}" ] || return 0
  "$R" --seed 1 --frames 2 --every 1 --out kept 2>/dev/null
  LD_PRELOAD=$REFUSE_MEMORY "$R" --seed 2 --frames 2 --every 1 --out kept --overwrite --log >stdout 2>stderr
  ok "no memory: status 1" is "$?" 1
  ok "said on standard error" said "lincell-record: not enough memory"
  ok "nothing on standard output" is "$(wc -c <stdout)" 0
  ok "the earlier recording untouched" is "$(count kept '^(frame|grid)-0000[0-2]')" 5
}

files() {
  record --seed 5 --frames 99 --every 33 --out rec
  ok "a first recording" is "$status" 0
  local before
  before=$(sha256sum <rec/frame-00099.png)
  # An earlier recording is left alone without --overwrite.
  record --seed 6 --frames 10 --every 1 --out rec
  ok "refused without --overwrite" is "$status" 1
  ok "saying so" said --overwrite
  ok "the earlier frame kept" is "$(sha256sum <rec/frame-00099.png)" "$before"
  ok "nothing new" is "$(count rec frame-00001)" 0
  # --overwrite removes all of the recording's files or none: a folder in the way,
  # a file that cannot be removed, and nothing is lost.
  mkdir rec/grid-00001.pgm
  record --seed 6 --frames 10 --every 5 --overwrite --out rec
  ok "a folder in the way: status 1" is "$status" 1
  ok "naming it" said rec/grid-00001.pgm
  ok "every earlier frame kept" is "$(count rec '^frame-000(33|66|99)')" 3
  rmdir rec/grid-00001.pgm
  if chattr +i rec/grid-00033.pgm 2>/dev/null; then
    record --seed 6 --frames 10 --every 5 --overwrite --out rec
    ok "an immutable file: status 1" is "$status" 1
    ok "every earlier file still there" is "$(count rec '^(frame|grid)-000')" 7
    ok "no hidden holding place left" is "$(count rec '^\.')" 0
    chattr -i rec/grid-00033.pgm
  fi
  # With --overwrite no stale file of the recording remains, names it never writes
  # stay, and a planted link is replaced.
  echo mine >victim && ln -s ../victim rec/frame-00010.png
  touch rec/frame-1.png rec/frame-0001.png rec/grid-7.pgm
  record --seed 6 --frames 10 --every 5 --overwrite --out rec --video rec/v.apng
  ok "overwritten: status 0" is "$status" 0
  ok "the link's target untouched" is "$(cat victim)" mine
  ok "the link replaced by a file" test -f rec/frame-00010.png -a ! -L rec/frame-00010.png
  ok "grids 0, 5, 10, frames 5, 10, the video and three names never written" is "$(count rec .)" 9
  record --seed 6 --frames 10 --video rec/v.apng
  ok "the video is the recording's too" is "$status" 1
  ok "naming it" said rec/v.apng
  # What a killed --overwrite had set aside in its holding folder: put back where
  # the name is free and said, or with --overwrite removed, and said.
  sh -c 'exit 0' &
  local dead=$!
  wait $dead
  mkdir -p "held/.lincell-overwritten.$dead-0"
  echo earlier >"held/.lincell-overwritten.$dead-0/grid-00001.pgm"
  echo earlier >"held/.lincell-overwritten.$dead-0/frame-00001.png"
  echo newer >held/frame-00001.png
  record --seed 6 --frames 2 --every 1 --out held
  ok "set aside, put back: refused as an earlier recording" is "$status" 1
  ok "saying what it put back" said "1 put back of the 2 files a stopped --overwrite set aside"
  ok "the free name back" is "$(cat held/grid-00001.pgm)" earlier
  ok "the taken name kept" is "$(cat held/frame-00001.png)" newer
  record --seed 6 --frames 2 --every 1 --out held --overwrite
  ok "with --overwrite: status 0" is "$status" 0
  ok "saying what it removed" said "1 removed of the 1 files"
  ok "no holding folder left" is "$(count held '^\.')" 0
  # A recorder without its caption font says so and draws the library's own.
  mkdir alone && cp "$R" alone/
  (cd alone && ./"$(basename "$R")" --seed 1 --frames 1 --every 1 --out . >stdout 2>stderr)
  ok "no font: status 0" is "$?" 0
  ok "saying so" grep -q 'myfont.pcx is neither beside' alone/stderr
  # A signal mid-run ends it with 128 + signal, every file whole.
  "$R" --seed 7 --frames 99999 --every 1 --log --out sig >log &
  sleep 1
  kill -TERM $!
  wait $!
  ok "SIGTERM: status 143" is "$?" 143
  ok "no temporary left" is "$(count sig '^\.')" 0
  ok "more than ten frames" test "$(count sig '^frame-')" -gt 10
  ok "every frame whole" are_rgb_frames "$(ls sig/frame-* | tail -n 1)"
  ok "the log ends with its line" is "$(tail -c 1 log | od -An -c | tr -d ' ')" '\n'
  # An output or a log that cannot be written is a failure.
  mkdir victim2 && touch victim2/frames
  record --seed 1 --frames 2 --out victim2/frames
  ok "a folder that cannot be made: status 1" is "$status" 1
  ok "naming it" said victim2/frames
  local to
  for to in ">/dev/full" "| head -c 1 >/dev/null"; do
    eval "{ \"\$R\" --seed 1 --frames 300 --log --overwrite --out log 2>/dev/null; echo \$? >status; } $to"
    ok "a log $to: status 1" is "$(cat status)" 1
  done
}

folders() {
  # A second recorder into the same folder, however it is spelled, is refused.
  mkdir same
  "$R" --seed 1 --frames 20000 --out same 2>/dev/null &
  sleep 0.5
  record --seed 1 --frames 2 --out ./same/
  kill $!
  wait $!
  ok "a second recorder: status 1" is "$status" 1
  ok "saying so" said "another recording is writing into"
  # One run names one folder in two ways and goes ahead.
  local out video
  for out in ./a a/ "$work/a" .; do
    for video in a/x.gif "$work/a/x.gif"; do
      [ "$out" = . ] && video=$work/x.gif
      mkdir -p a
      record --seed 1 --frames 2 --every 1 --out "$out" --video "$video" --overwrite
      ok "--out $out --video $video: status 0" is "$status" 0
    done
  done
  # Temporaries of killed runs go; a running writer's, the user's own, a folder
  # that looks like one, forms the recorder never writes and a shortened name
  # decide rightly.
  mkdir tmp tmp/.frame-00001.png.4000000-0
  local long stays
  long=$(printf 'x%.0s' $(seq 246)) # with .mp4, 250 bytes: its temporary's name is cut short
  stays=(.frame-00001.png.4000000-0 ".frame-00002.png.$$-0" .notes.999999999-0 .frame-00002.png.-5-0
    .frame-00002.png.+5-0 ".frame-00002.png. 5-0" .frame-00002.png.4294967297-0 .y.mp4.999999999-3)
  touch "${stays[@]/#/tmp/}" tmp/.frame-00002.png.999999999-0 tmp/.v.mp4.999999999-3 \
    "tmp/.${long:0:242}.999999999-0"
  (cd tmp && "$R" --seed 1 --frames 2 --every 1 --video "$long.mp4" --out . 2>/dev/null &&
    "$R" --seed 1 --frames 2 --video v.mp4 --overwrite)
  ok "runs go ahead" is "$?" 0
  ok "what killed runs left is cleared, the rest stays" \
    is "$(find tmp -mindepth 1 -maxdepth 1 -name '.*' -printf '%f\n' | LC_ALL=C sort | tr '\n' '/')" "$(printf '%s\n' "${stays[@]}" | LC_ALL=C sort | tr '\n' '/')"
  # A file-size limit: cannot write, status 1, nothing half written.
  (ulimit -f 30 && "$R" --seed 1 --frames 5 --every 1 --out limited 2>stderr)
  ok "a size limit: status 1" is "$?" 1
  ok "saying what" said "lincell-record: cannot write limited/"
  ok "nothing half written" is "$(count limited '^\.')" 0
  # A font in the working folder is not the recorder's.
  mkdir bin run && cp "$R" bin/ && cp "$(dirname "$R")/myfont.pcx" run/
  bin/lincell-record --seed 1 --frames 1 --out a1 && (cd run && ../bin/lincell-record --seed 1 --frames 1 --out ../b1)
  ok "the font beside the recorder, wherever it runs" cmp -s a1/frame-00001.png b1/frame-00001.png
}

ffmpeg_misbehaving() {
  # Stand-ins for ffmpeg on the PATH: a failure each time, never a hang or a lie.
  fake_ffmpeg bin ffmpeg quits
  PATH=bin:$PATH record --seed 1 --frames 300 --video q.mp4
  ok "ffmpeg quitting at once: status 1" is "$status" 1
  ok "saying so" said "stopped taking the frames"
  ok "no video" is "$(count . 'q\.mp4')" 0
  fake_ffmpeg bin ffmpeg stalls
  PATH=bin:$PATH timeout -s KILL 10 "$R" --seed 1 --frames 300 --video s.mp4 2>/dev/null &
  sleep 1
  kill -TERM $!
  wait $!
  ok "ffmpeg stalling, then SIGTERM: ended by the recorder with 143" is "$?" 143
  ok "no video" is "$(count . 's\.mp4')" 0
  ok "no stand-in left running" eval '! kill -0 "$(cat stand-in.pid)" 2>/dev/null'
  fake_ffmpeg bin ffmpeg spews
  PATH=bin:$PATH record --seed 1 --frames 3 --video e.mp4
  ok "ffmpeg failing: status 1" is "$status" 1
  ok "its last line, short and printable" is "$(wc -c <stderr | awk '$1 < 400') $(tr -d '\n[:print:]' <stderr | wc -c)" "$(wc -c <stderr) 0"
  # A healthy ffmpeg that is slow to finish keeps the run's frames after a stop;
  # a second stop abandons it.
  fake_ffmpeg bin ffmpeg slow
  # (a background job starts with SIGINT ignored unless told otherwise)
  PATH=bin:$PATH env --default-signal=INT "$R" --seed 1 --frames 100000 --video slow.mp4 2>/dev/null &
  sleep 1
  kill -INT $!
  wait $!
  ok "slow ffmpeg, SIGINT: status 130" is "$?" 130
  ok "the video kept, of whole frames" is "$(($(cat slow.mp4) % 1920000))" 0
  SLOW_SECONDS=30 fake_ffmpeg bin ffmpeg slow
  PATH=bin:$PATH env --default-signal=INT "$R" --seed 1 --frames 100000 --video slow2.mp4 2>/dev/null &
  sleep 1
  kill -INT $!
  sleep 1
  kill -INT $!
  wait $!
  ok "a second SIGINT abandons it: status 130" is "$?" 130
  ok "no video, no temporary" is "$(count . 'slow2')" 0
  # A parent that ignores SIGCHLD.
  env --ignore-signal=CHLD "$R" --seed 1 --frames 5 --video chld.gif 2>stderr
  ok "SIGCHLD ignored by the parent: status 0" is "$?" 0
  ok "and the video made" test -s chld.gif
}

videos() {
  record --seed 2 --frames 40 --hold esc@31 --crop 320x240+240+180 --video clip.mp4
  ok "a cropped video" is "$status" 0
  ok "of the frames run" is "$(ffprobe -v error -count_frames -select_streams v:0 -show_entries \
    stream=codec_name,width,height,nb_read_frames -of csv=p=0 clip.mp4)" "h264,320,240,30"
  ok "a video alone writes no frames" is "$(count . 'grid|frame')" 0
  record --seed 2 --frames 40 --hold esc@1 --video none.gif
  ok "a run that ends before its first frame: status 1" is "$status" 1
  ok "and no video" is "$(count . 'none')" 0
  # Names ffmpeg could read as an option, a protocol, or too long a temporary.
  mkdir ./-clips 2024-05-01T10:00
  local folder long
  for folder in -clips 2024-05-01T10:00; do
    record --seed 2 --frames 3 --video "$folder/a.apng"
    ok "$folder/a.apng made" is "$status $(count "./$folder" '^a.apng$')" "0 1"
  done
  long=$(printf 'x%.0s' $(seq 247))
  record --seed 2 --frames 3 --video "$long.apng"
  ok "a 252-byte name" is "$status $(count . '^x+\.apng$')" "0 1"
  PATH=/nonexistent record --seed 2 --frames 3 --video b.mp4
  ok "no ffmpeg: status 2" is "$status" 2
  ok "saying how to get it" said "apt-get install ffmpeg"
  # Each kind from one short run with C held: it plays for frames / fps seconds, and
  # a GIF or an APNG holds the very pixels of the frames.
  "$R" --seed 5 --frames 24 --hold c@1-24 --every 1 --out f
  local pixels=" -f framemd5 -pix_fmt rgb24 - | grep -v '^#' | cut -d, -f6"
  local frames kind fps seconds lossless video
  frames=$(eval "ffmpeg -v error -framerate 60 -i f/frame-%05d.png $pixels" | sha256sum)
  while read -r -u 3 kind fps seconds lossless; do
    video=v.$kind
    [ "$fps" = - ] && fps=""
    # shellcheck disable=SC2086 # the rate is one or two words, or none
    "$R" --seed 5 --frames 24 --hold c@1-24 --overwrite --video "$video" ${fps//_/ }
    ok "$kind $fps plays $seconds s" is "$({ ffprobe -v error -show_entries format=duration -of csv=p=0 \
      "$video" | grep -v N/A || ffprobe -v error -show_entries packet=duration_time -of csv=p=0 "$video" |
      paste -sd+ | bc; } | xargs printf %.2f)" "$seconds"
    [ "$lossless" = yes ] && ok "$kind keeps every pixel" is "$(eval "ffmpeg -v error -i $video $pixels" | sha256sum)" "$frames"
  done 3<<'KINDS'
gif - 0.48 yes
gif --fps_25 0.96 yes
apng - 0.40 yes
mp4 - 0.40 no
webm --fps_30 0.80 no
KINDS
}

progress() {
  # The line appears once a run has taken a second, on a terminal only.
  script -qec '"$R" --seed 3 --frames 10000000 --out tty & sleep 2; kill -TERM $!; wait $!' screen >/dev/null
  ok "on a terminal: status 143" is "$?" 143
  ok "the line" grep -qF ' of 10000000 frames, ' screen
  ok "wiped at the end" grep -qF $'\r\033[K' screen
  "$R" --seed 3 --frames 10000000 --out pipe 2>stderr &
  sleep 2
  kill -TERM $!
  wait $!
  ok "to a pipe: status 143" is "$?" 143
  ok "and nothing said" is "$(cat stderr)" ""
}

"$group"
exit $failed
