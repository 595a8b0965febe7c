#!/bin/sh
# Runs one function of a QtTest program on a real X display with a window
# manager (Xvfb and openbox): where a window manager puts a window it maps,
# and which window it activates, cannot be seen offscreen. Skips (77) when
# either is missing (sh tools/deps.sh installs them).
#   on_x11.sh TEST-PROGRAM FUNCTION
set -u
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is missing (sh tools/deps.sh installs it)"; exit 77; }
done
T=$(mktemp -d)
xvfb=
wm=
trap '[ -n "$wm" ] && kill "$wm" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$T"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$T/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$T/display" ] && break; sleep 0.1; done
display=":$(cat "$T/display")"
DISPLAY="$display" openbox >/dev/null 2>&1 &
wm=$!
sleep 1
# A fresh Xvfb refuses a connection now and then: the program is simply
# started again.
rc=1
for _ in 1 2 3; do
  env -u QT_QPA_PLATFORM DISPLAY="$display" "$1" -platform xcb "$2" >"$T/out" 2>&1
  rc=$?
  grep -q "could not connect to display" "$T/out" || break
  sleep 1
done
cat "$T/out"
exit "$rc"
