#!/usr/bin/env bash
# The Debian packages: builds the source and binary packages with debhelper
# (scripts/package, without their own run of the tests), has lintian read them
# all (no error and no warning), checks what the binary package holds and depends
# on, has Debian's other checkers read it (the desktop entry; the AppStream
# metadata), unpacks it into a scratch folder and starts the unpacked lincell under
# Xvfb from a home folder: its caption must be the project's font, pixel for pixel
# as the build folder's lincell draws it. Usage: package_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
# shellcheck source=tests/x11_helpers.sh
. "$(dirname "$0")/x11_helpers.sh"

# The folder given is the user's: one holding anything but earlier packages is
# refused untouched, the checkout itself included; a relative one is taken from
# where the command was typed, and only the build's own files go into it.
package=$(cd "$(dirname "$0")/.." && pwd)/scripts/package
mkdir "$work/mine" && echo notes >"$work/mine/notes.txt"
"$package" "$work/mine" >/dev/null 2>&1
[ $? -eq 2 ] && [ "$(cat "$work/mine/notes.txt")" = notes ] || fail "a folder of the user's was not refused"
(cd "$(dirname "$package")/.." && "$package" . >/dev/null 2>&1)
[ $? -eq 2 ] && [ -d "$(dirname "$package")/../.git" ] || fail "the checkout was not refused"
mkdir "$work/pack" && echo older >"$work/pack/lincell_0.9_amd64.deb"
(cd "$work" && DEB_BUILD_OPTIONS=nocheck "$package" pack >"$work/pack.log" 2>&1) ||
  fail "scripts/package: $(tail -n 5 "$work/pack.log")"
[ "$(cat "$work/pack/lincell_0.9_amd64.deb")" = older ] || fail "an earlier package was removed"
version=$(cd "$(dirname "$0")/.." && dpkg-parsechangelog -S Version)
for f in "lincell_$version.dsc" "lincell_$version.tar.xz" "lincell_${version}_amd64.changes" \
  "lincell-dbgsym_${version}_amd64.deb"; do
  [ -s "$work/pack/$f" ] || fail "no $f"
done
deb=$work/pack/lincell_${version}_amd64.deb
info=$(dpkg-deb -I "$deb")
for want in 'Depends:.*liballegro4\.4' 'Depends:.*libpng16-16' 'Recommends: ffmpeg' 'Section: games'; do
  grep -q "^ $want" <<<"$info" || fail "control lacks $want: $info"
done
lint=$(lintian --fail-on error,warning "$work/pack/lincell_${version}_amd64.changes" 2>&1) || fail "lintian: $lint"
dpkg-deb -x "$deb" "$work/root"
for f in games/lincell games/lincell-record share/lincell/myfont.pcx share/man/man6/lincell.6.gz \
  share/man/man6/lincell-record.6.gz share/doc/lincell/copyright share/doc/lincell/changelog.gz; do
  [ -s "$work/root/usr/$f" ] || fail "the package lacks /usr/$f"
done
file -b "$work/root/usr/games/lincell" | grep -q ', stripped' || fail "the programs are not stripped"
for size in 16 32 48 64 128 256; do
  icon=$work/root/usr/share/icons/hicolor/${size}x$size/apps/lincell.png
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x$size" ] || fail "no $size-pixel icon"
done
desktop=$work/root/usr/share/applications/lincell.desktop
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
grep -q '^StartupWMClass=lincell$' "$desktop" || fail "the desktop entry does not name the window"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.lincell.metainfo.xml" \
  >"$work/appstream" 2>&1 || fail "AppStream: $(cat "$work/appstream")"

# The caption's grey pixels, the rest black, from a run of $2 started in folder $1.
caption_of() {
  start_toy "$1" "$2"
  wait_for_caption "$3"
  convert "$work/$3.png" -crop 240x12+560+9 +repage -fill black +opaque '#808080' "$work/$3.png"
  quit_with_esc
}
start_xvfb
mkdir "$work/home"
caption_of "$work/home" "$work/root/usr/games/lincell" installed
caption_of "$build" "$build/lincell" built
differs installed built && fail "the installed toy's caption differs from the build's"
echo "ok: package"
