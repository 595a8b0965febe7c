#!/bin/sh
# The program installed like a program: `cmake --install` into a temporary
# prefix, its desktop entry validated, the .deb made by CPack and looked
# into, and the program started from the package's files under Xvfb the way
# the desktop menu starts it, in a fresh home folder.
#   sh tests/install/test_install.sh BUILD-FOLDER
set -eu
BUILD="$1"
T=$(mktemp -d)
XPID=""
APID=""
cleanup() {
  [ -n "$APID" ] && kill "$APID" 2>/dev/null || true
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  rm -rf "$T"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
for tool in desktop-file-validate dpkg-deb cpack Xvfb xdotool; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is missing (sh tools/deps.sh installs it)"; exit 77; }
done

# 1. Installed under a prefix.
cmake --install "$BUILD" --prefix "$T/prefix" >/dev/null
for f in bin/nirel3 share/nirel3/SystmTxt/Patology.txt share/nirel3/Caption.txt share/nirel3/Signature.txt \
         share/nirel3/guidText share/nirel3/Nirel3hlp share/applications/nirel3.desktop \
         share/icons/hicolor/scalable/apps/nirel3.svg; do
  [ -e "$T/prefix/$f" ] || fail "not installed: $f"
done
for s in 16 24 32 48 64 128 256; do
  png="$T/prefix/share/icons/hicolor/${s}x${s}/apps/nirel3.png"
  [ -f "$png" ] || fail "no ${s}x${s} icon"
  # Width and height from the PNG header.
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$size" = "${s}x${s}" ] || fail "the ${s}x${s} icon is $size"
done
entry="$T/prefix/share/applications/nirel3.desktop"
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Name=НИРЕЛ-3' "$entry" || fail "menu name"
grep -q '^Comment=.' "$entry" || fail "no comment"
grep -q '^Categories=.*MedicalSoftware;' "$entry" || fail "not among medical programs"
grep -qx 'Icon=nirel3' "$entry" || fail "icon name"

# 2. The .deb: its files and what it depends on.
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$T/pkg" >/dev/null
deb=$(ls "$T"/pkg/nirel3_*.deb)
dpkg-deb -c "$deb" > "$T/files"
for f in ./usr/bin/nirel3 ./usr/share/applications/nirel3.desktop ./usr/share/icons/hicolor/48x48/apps/nirel3.png \
         ./usr/share/icons/hicolor/scalable/apps/nirel3.svg ./usr/share/nirel3/SystmTxt/Patology.txt \
         ./usr/share/nirel3/Caption.txt; do
  grep -q " $f\$" "$T/files" || fail "not in the package: $f"
done
if grep -q -e 'libQt6' -e '\.so' "$T/files"; then fail "libraries bundled"; fi
dpkg-deb -I "$deb" > "$T/info"
grep -qx ' Package: nirel3' "$T/info" || fail "package name"
grep -qx " Architecture: $(dpkg --print-architecture)" "$T/info" || fail "architecture"
depends=$(sed -n 's/^ Depends: //p' "$T/info")
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins; do
  echo "$depends" | grep -q "$p" || fail "does not depend on $p: $depends"
done
# Every Qt library the program links is one of those packages'.
for lib in $(readelf -d "$BUILD/nirel3" | sed -n 's/.*Shared library: \[\(libQt6[A-Za-z]*\)\.so.*/\1/p'); do
  pkg=$(echo "$lib" | tr 'A-Z' 'a-z')6
  echo "$depends" | grep -q "$pkg" || fail "links $lib but does not depend on $pkg"
done

# 3. Started from the menu: the entry's command, from the home folder, with
# the package's files as an installed package lays them out.
dpkg-deb -x "$deb" "$T/root"
command=$(sed -n 's/^Exec=//p' "$T/root/usr/share/applications/nirel3.desktop")
mkdir "$T/home"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" 2>/dev/null &
XPID=$!
for _ in $(seq 50); do [ -s "$T/display" ] && break; sleep 0.1; done
display=":$(cat "$T/display")"
title='НИРЕЛ-3 - Экспертная система для иридодиагностики'
started=""
# A fresh Xvfb refuses a connection now and then: the program is simply
# started again.
for attempt in 1 2 3; do
  (cd "$T/home" && exec env -u QT_QPA_PLATFORM -u NIREL3_HOME -u XDG_DATA_HOME HOME="$T/home" DISPLAY="$display" \
     PATH="$T/root/usr/bin:$PATH" $command) >"$T/out" 2>&1 &
  APID=$!
  # The main window comes after the splash (three seconds): a bar wider
  # than the splash.
  for _ in $(seq 300); do
    kill -0 "$APID" 2>/dev/null || break
    for w in $(DISPLAY="$display" xdotool search --onlyvisible --name "$title" 2>/dev/null); do
      width=$(DISPLAY="$display" xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
      [ "${width:-0}" -gt 500 ] && started=yes
    done
    [ -n "$started" ] && break
    sleep 0.1
  done
  [ -n "$started" ] && break
  kill "$APID" 2>/dev/null || true
  wait "$APID" 2>/dev/null || true
  APID=""
done
[ -n "$started" ] || fail "the main window did not appear: $(cat "$T/out")"
work="$T/home/.local/share/nirel3"
cmp -s "$work/SystmTxt/Patology.txt" "$T/root/usr/share/nirel3/SystmTxt/Patology.txt" || fail "working folder not seeded"
cmp -s "$work/Caption.txt" "$T/root/usr/share/nirel3/Caption.txt" || fail "Caption.txt not seeded"
[ -w "$work/Caption.txt" ] || fail "Caption.txt not writable"
kill -0 "$APID" || fail "the program ended"
echo "PASS: installed, packaged, and started from the menu under Xvfb"
