#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks what a
# user of a fresh machine gets: the package unpacked into an empty root, its
# programs run from there (the viewer finding its catalogs relative to
# itself), the menu entry validated, the file type recognised by its magic
# through the installed MIME description, and lintian without errors.
# Usage: check_debian_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/vorn-deb.XXXXXX)
viewer_pid=
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $(date +%T) $*"; }

step "cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/vorn-viewer_*.deb)
dpkg-deb -f "$deb" Package Version Architecture Depends
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt5webenginewidgets5 libqt5multimedia5 libcrypto++8 libogg0 libavcodec59 libqt5multimedia5-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done

# apt resolves every dependency (a simulation: nothing is installed).
apt-get install -s "$deb" 2>&1 | grep -q "^Inst vorn-viewer" || { apt-get install -s "$deb" || true; fail "apt cannot install it"; }

step "unpack into a fresh root"
root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/VornViewer usr/bin/pkgtool usr/bin/wvctool \
    usr/share/applications/vorn-viewer.desktop usr/share/mime/packages/vorn-viewer.xml \
    usr/share/icons/hicolor/scalable/apps/vorn-viewer.svg usr/share/icons/hicolor/16x16/apps/vorn-viewer.png \
    usr/share/icons/hicolor/256x256/apps/vorn-viewer.png \
    usr/share/man/man1/VornViewer.1.gz usr/share/man/man1/pkgtool.1.gz usr/share/man/man1/wvctool.1.gz \
    usr/share/doc/vorn-viewer/copyright usr/share/doc/vorn-viewer/changelog.gz \
    usr/share/vorn-viewer/translations/VornViewer_de_DE.qm usr/share/vorn-viewer/translations/VornViewer_ar_SA.qm; do
  [ -e "$root/$f" ] || fail "missing /$f"
done
# Every catalog the build made is installed.
for qm in "$build"/bin/VornViewer_*.qm; do
  cmp -s "$qm" "$root/usr/share/vorn-viewer/translations/$(basename "$qm")" || fail "catalog $(basename "$qm") not installed"
done
file "$root/usr/share/icons/hicolor/48x48/apps/vorn-viewer.png" | grep -q "48 x 48" || fail "48 px icon has another size"
for page in VornViewer pkgtool wvctool; do
  man -l "$root/usr/share/man/man1/$page.1.gz" 2>"$work/man.err" | grep -q "SYNOPSIS" || fail "man page $page"
  [ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man page $page warns"; }
done

step "programs from the root"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/VornViewer" --help 2>&1 | grep -qF "Usage: VornViewer [--debug] [--port=8080]" \
  || fail "viewer --help"

members=$work/members
mkdir -p "$members/app/js/data" "$members/app/wave"
printf 'var gCalls=[];' >"$members/app/js/data/calls.js"
printf 'var gLocales={"de_DE":1,"en_GB":1};' >"$members/app/js/data/locales.js"
python3 - "$work/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / 8000))) for i in range(8000)))
PY
"$root/usr/bin/wvctool" encode "$work/tone.wav" "$members/app/wave/tone.wvc" --codec PCM16
"$root/usr/bin/wvctool" info "$members/app/wave/tone.wvc" | grep -q "codec: PCM16" || fail "wvctool info"
"$root/usr/bin/pkgtool" create "$work/sample.pkg" --root "$members" --settings "default_locale=de_DE"
"$root/usr/bin/pkgtool" create "$work/locked.pkg" --root "$members" --password secret --users anna
"$root/usr/bin/pkgtool" list "$work/sample.pkg" | grep -q "/app/wave/tone.wvc" || fail "pkgtool list"
"$root/usr/bin/pkgtool" extract "$work/locked.pkg" /app/wave/tone.wvc --user anna --password secret \
  | cmp -s - "$members/app/wave/tone.wvc" || fail "pkgtool extract"

step "viewer on a package, German locale"
[ -n "${DISPLAY:-}" ] || fail "needs DISPLAY (run under scripts/test or xvfb-run)"
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8 \
  "$root/usr/bin/VornViewer" --debug "$work/sample.pkg" 2>"$work/viewer.log" &
viewer_pid=$!
for _ in $(seq 1 300); do
  # The page asking for the call list shows that it came up from the server.
  grep -q "File delivered: .*calls.js" "$work/viewer.log" && break
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
kill "$viewer_pid" 2>/dev/null || true
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=
grep -qF "Translation catalog:  \"$root/usr/share/vorn-viewer/translations/VornViewer_de_DE.qm\"" "$work/viewer.log" \
  || { cat "$work/viewer.log"; fail "installed catalog not used"; }
grep -q "loadPackageHtml( \"sample.pkg\" )" "$work/viewer.log" || { cat "$work/viewer.log"; fail "package not shown"; }
grep -q "File delivered: .*calls.js" "$work/viewer.log" || { cat "$work/viewer.log"; fail "page did not load the call list"; }

step "viewer on a package named without its suffix"
# A file manager offers the viewer for any file of the package type.
cp "$work/sample.pkg" "$work/evidence-from-case-4711"
"$root/usr/bin/VornViewer" --debug "$work/evidence-from-case-4711" 2>"$work/magic.log" &
viewer_pid=$!
for _ in $(seq 1 300); do
  grep -q "File delivered: .*calls.js" "$work/magic.log" && break
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
kill "$viewer_pid" 2>/dev/null || true
wait "$viewer_pid" 2>/dev/null || true
viewer_pid=
grep -q "File delivered: .*calls.js" "$work/magic.log" || { cat "$work/magic.log"; fail "package without suffix not opened"; }

step "menu entry"
desktop-file-validate "$root/usr/share/applications/vorn-viewer.desktop"

step "software centre listing"
metainfo="$root/usr/share/metainfo/org.example.vornviewer.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metainfo installed"
# Warnings fail too: a software centre may drop a listing that has them.
appstreamcli validate --no-net --explain "$metainfo" >"$work/appstream.log" 2>&1 \
  || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
grep -qE '^[WE]:' "$work/appstream.log" && { cat "$work/appstream.log"; fail "appstreamcli warnings"; }
grep -q "<launchable type=\"desktop-id\">vorn-viewer.desktop</launchable>" "$metainfo" || fail "metainfo names another menu entry"

step "file type by magic"
export XDG_DATA_HOME=$work/xdg XDG_DATA_DIRS=/usr/share
mkdir -p "$XDG_DATA_HOME/mime/packages"
cp "$root/usr/share/mime/packages/vorn-viewer.xml" "$XDG_DATA_HOME/mime/packages/"
update-mime-database "$XDG_DATA_HOME/mime"
cp "$work/locked.pkg" "$work/evidence-locked"
for f in "$work/evidence-locked" "$work/evidence-from-case-4711" "$work/sample.pkg"; do
  type=$(gio info -a standard::content-type "$f" | sed -n 's/.*standard::content-type: //p')
  [ "$type" = "application/x-vorn-package" ] || fail "$(basename "$f") detected as '$type'"
done

step "lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "debian package OK"
