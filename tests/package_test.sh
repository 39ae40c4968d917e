#!/usr/bin/env bash
# The Debian package: packs the build with CPack, checks what the package holds
# and depends on, unpacks it into a scratch folder and starts the unpacked lincell
# under Xvfb from a home folder: its caption must be the project's font, pixel for
# pixel as the build folder's lincell draws it. Usage: package_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
# shellcheck source=tests/x11_helpers.sh
. "$(dirname "$0")/x11_helpers.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pack" >/dev/null || fail "cpack failed"
deb=$(ls "$work"/pack/lincell_*_amd64.deb 2>/dev/null) || fail "no lincell_<version>_amd64.deb"
info=$(dpkg-deb -I "$deb")
for want in 'Depends:.*liballegro4\.4' 'Depends:.*libpng16-16' 'Recommends: ffmpeg'; do
  grep -q "^ $want" <<<"$info" || fail "control lacks $want: $info"
done
dpkg-deb -x "$deb" "$work/root"
for f in bin/lincell bin/lincell-record share/lincell/myfont.pcx share/man/man6/lincell.6 \
  share/man/man1/lincell-record.1 share/icons/hicolor/64x64/apps/lincell.png; do
  [ -s "$work/root/usr/$f" ] || fail "the package lacks /usr/$f"
done
grep -q '^Categories=Game;Simulation;$' "$work/root/usr/share/applications/lincell.desktop" ||
  fail "no desktop entry in Game;Simulation"

# The caption's grey pixels, the rest black, from a run of $2 started in folder $1.
caption_of() {
  start_toy "$1" "$2"
  wait_for_caption "$3"
  convert "$work/$3.png" -crop 240x12+560+9 +repage -fill black +opaque '#808080' "$work/$3.png"
  quit_with_esc
}
start_xvfb
mkdir "$work/home"
caption_of "$work/home" "$work/root/usr/bin/lincell" installed
caption_of "$build" "$build/lincell" built
differs installed built && fail "the installed toy's caption differs from the build's"
echo "ok: package"
