#!/usr/bin/env bash
# Smoke test of the Windows build under Wine, in a private Xvfb: text drawn into
# memory above 4 GiB, then lincell.exe itself: its window appears with the grey
# caption and, within seconds, coloured cells; holding N changes the picture;
# holding Esc ends it with status 0. Then, without Wine's virtual desktop, five
# times: the window given the focus, Esc held ends it with status 0 (in about
# 1.8 s here, where Wine waits in vain for a window manager to withdraw the
# hidden window; a hang is for good, so the test allows 5 s).
# Keeps the last screenshot as smoke.png. Given the installer too: a silent install
# puts the files, the Start menu shortcuts and the uninstall entry in place; the
# installed lincell.exe, the shortcut's target, started from another folder, shows
# its caption and ends on Esc with status 0; a silent uninstall leaves no file,
# shortcut or registry key behind.
# Usage: wine_smoke.sh BUILD_DIR [INSTALLER]   (BUILD_DIR holding lincell.exe,
# text_above_4gib.exe, myfont.pcx)
set -u
build=$(cd "$1" && pwd)
version=$(cd "$(dirname "$0")/.." && dpkg-parsechangelog -S Version)
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
cd "$build" || exit 1
out=$(timeout 60 wine ./text_above_4gib.exe 2>/dev/null)
status=$?
echo "$out"
[ "$status" -eq 0 ] && echo "$out" | grep -q '^ok' || fail "text above 4 GiB: status $status"

# A folder named outside the ANSI code page: the recorder still finds its font
# beside itself and draws the same frame as from a plain folder.
polish=$WINEPREFIX/drive_c/users/Public/Łódź/lincell
mkdir -p "$polish" "$work/plain" "$work/polish"
cp lincell-record.exe myfont.pcx "$polish/"
timeout 120 wine ./lincell-record.exe --seed 2 --frames 30 --every 30 --out "$(winepath -w "$work/plain")" \
  >/dev/null 2>&1 || fail "lincell-record.exe in $build failed"
timeout 120 wine "$polish/lincell-record.exe" --seed 2 --frames 30 --every 30 \
  --out "$(winepath -w "$work/polish")" >/dev/null 2>"$work/polish.err" ||
  fail "lincell-record.exe in Łódź failed: $(cat "$work/polish.err")"
grep -q 'myfont' "$work/polish.err" && fail "lincell-record.exe in Łódź: $(cat "$work/polish.err")"
cmp -s "$work/plain/frame-00030.png" "$work/polish/frame-00030.png" ||
  fail "lincell-record.exe in Łódź drew another frame"
step "lincell-record.exe in a folder named Łódź finds its font and draws the same frame"

step "starting lincell.exe"
start_toy "$build" wine ./lincell.exe
xdotool windowactivate "$window" >/dev/null 2>&1

wait_for_caption start
step "caption drawn"
expect_n_to_change living
cp "$work/living.png" "$build/smoke.png"
step "cells alive, and N changed the picture"
quit_with_esc
step "Esc ended lincell.exe with status 0"

timeout 30 wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 ||
  fail "could not leave Wine's virtual desktop"
# Start FOLDER's EXE under Wine, give its window the focus and hold Esc: it must end
# with status 0 within LIMIT seconds. Usage: esc_with_focus FOLDER EXE LABEL LIMIT
esc_with_focus() {
  start_toy "$1" wine "$2"
  wait_for_caption "$3"
  xdotool windowfocus "$window" >/dev/null 2>&1
  sleep 0.5
  hold_key Escape
  expect_exit 0 "Esc with the focus, $3" "$4"
}
for try in 1 2 3 4 5; do
  esc_with_focus "$build" ./lincell.exe "focused-$try" 5
done
step "with the focus and no virtual desktop, Esc ended lincell.exe, 5 of 5"

if [ -n "${2:-}" ]; then
  installer=$(realpath "$2")
  # A folder of Wine's user, as a Linux path.
  wine_folder() { winepath -u "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
  key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lincell'
  step "installing silently"
  # The toys' Wine processes gone and the server with them: a program started while
  # the server shuts down can fail to start.
  wineserver -w
  timeout 120 wine "$installer" /S >/dev/null 2>&1 || fail "the silent install failed (status $?)"
  home=$(wine_folder LOCALAPPDATA)/Programs/lincell
  menu=$(wine_folder APPDATA)/Microsoft/Windows/Start\ Menu/Programs/lincell
  for f in lincell.exe lincell-record.exe myfont.pcx README.txt LICENSE.txt uninstall.exe; do
    [ -s "$home/$f" ] || fail "not installed: $f"
  done
  for f in lincell.lnk "Uninstall lincell.lnk"; do
    [ -s "$menu/$f" ] || fail "no Start menu shortcut $f"
  done
  grep -aq 'Programs.lincell.lincell\.exe' "$menu/lincell.lnk" ||
    strings -el "$menu/lincell.lnk" | grep -q 'Programs.lincell.lincell\.exe' ||
    fail "the shortcut does not start the installed lincell.exe"
  entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
  for want in 'DisplayName.*lincell' "DisplayVersion.*$version" 'Publisher.*lincell' 'DisplayIcon.*lincell\.exe' \
    'EstimatedSize' 'UninstallString.*uninstall\.exe'; do
    grep -q "$want" <<<"$entry" || fail "the uninstall entry lacks $want: $entry"
  done
  step "installed: files, shortcuts and the uninstall entry"
  mkdir -p "$work/elsewhere"
  esc_with_focus "$work/elsewhere" "$home/lincell.exe" installed 10
  step "the installed lincell.exe shows its caption and ends on Esc"

  # Nothing of the user's overwritten or lost. (The uninstaller runs on from a copy
  # of itself unless told its folder with _?=; then it runs in place and its status
  # is its own.)
  win_path() { winepath -w "$1" 2>/dev/null; }
  mine=$(wine_folder USERPROFILE)/mine
  mkdir -p "$mine" && echo "my notes" >"$mine/README.txt"
  timeout 120 wine "$installer" /S "/D=$(win_path "$mine")" >/dev/null 2>&1
  status=$?
  [ "$status" -ne 0 ] || fail "a folder holding the user's README.txt was not refused"
  [ "$(cat "$mine/README.txt")" = "my notes" ] && [ ! -e "$mine/lincell.exe" ] ||
    fail "the refused install wrote into the user's folder: $(ls -A "$mine")"
  step "a folder of the user's refused (status $status), untouched"

  start_toy "$work/elsewhere" wine "$home/lincell.exe"
  wait_for_caption running
  timeout 120 wine "$installer" /S >/dev/null 2>&1
  status=$?
  [ "$status" -eq 2 ] || fail "a silent upgrade over a running lincell.exe gave status $status"
  # The uninstall entry's own silent command, as software managers run it.
  quiet_uninstall() {
    local quiet
    quiet=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
    [[ $quiet =~ ^\"([^\"]+)\"\ /S\ (_\?=.+)$ ]] || fail "the entry's QuietUninstallString is '$quiet'"
    timeout 60 wine "${BASH_REMATCH[1]}" /S "${BASH_REMATCH[2]}" >/dev/null 2>&1
  }
  quiet_uninstall
  status=$?
  [ "$status" -eq 2 ] || fail "the entry's silent uninstall of a running lincell.exe gave status $status"
  for f in lincell.exe lincell-record.exe myfont.pcx uninstall.exe; do
    [ -s "$home/$f" ] || fail "the failed uninstall removed $f"
  done
  wine reg query "$key" >/dev/null 2>&1 || fail "the failed uninstall removed the uninstall entry"
  xdotool windowfocus "$window" >/dev/null 2>&1
  quit_with_esc
  step "while lincell.exe runs, an upgrade and an uninstall fail with status 2, the install whole"

  second=$(wine_folder USERPROFILE)/second
  timeout 120 wine "$installer" /S "/D=$(win_path "$second")" >/dev/null 2>&1 ||
    fail "the install into a second folder failed"
  [ -s "$second/lincell.exe" ] || fail "nothing installed into the second folder"
  # Uninstalling the first leaves what is now the second's: shortcuts and entry.
  uninstall_and_wait() {
    if [ "${2:-}" = entry ]; then
      quiet_uninstall || fail "the entry's silent uninstall of $1 gave status $?"
    else
      timeout 60 wine "$1/uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall of $1 failed"
    fi
    for _ in $(seq 300); do
      [ -e "$1" ] || break
      sleep 0.1
    done
    [ -e "$1" ] && fail "left behind: $(ls -A "$1")"
    sleep 1 # the entry and the shortcuts go after the files
  }
  uninstall_and_wait "$home"
  wine reg query "$key" 2>/dev/null | grep -q 'InstallLocation.*second' ||
    fail "uninstalling the first install took the second's uninstall entry"
  [ -s "$menu/lincell.lnk" ] || fail "uninstalling the first install took the second's shortcuts"
  step "two installs: uninstalling the first left the second's entry and shortcuts"

  uninstall_and_wait "$second" entry # in place, the uninstaller too goes once it has ended
  for _ in $(seq 300); do
    [ -e "$menu" ] || wine reg query "$key" >/dev/null 2>&1 || break
    sleep 0.1
  done
  [ -e "$menu" ] && fail "left behind in the Start menu: $(ls -A "$menu")"
  wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
  wine reg query 'HKCU\Software\lincell' >/dev/null 2>&1 && fail "HKCU\Software\lincell is still there"
  [ "$(cat "$mine/README.txt")" = "my notes" ] || fail "the user's folder was touched"
  step "uninstalled: nothing left"
fi
echo "ok: windows smoke test"
