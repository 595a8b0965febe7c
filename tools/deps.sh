#!/bin/sh
# Installs the Debian packages that building, testing and running need,
# skipping those already present. Run as root or with sudo available.
set -eu
# poppler-utils: the PDF tests read their text back; OpenCV's core and imgproc:
# the iris photos; desktop-file-utils, xvfb and xdotool: the test of the
# installed program; openbox: a window manager for the photo window's test
# on a real display.
PKGS="g++ make cmake ninja-build qt6-base-dev qt6-translations-l10n libbenchmark-dev fonts-dejavu-core python3
      poppler-utils libopencv-core-dev libopencv-imgproc-dev desktop-file-utils xvfb xdotool openbox"
[ "${1:-}" = "--gui-tools" ] && PKGS="$PKGS xauth imagemagick"
# The fuzz build (tools/fuzz.sh): clang with its libFuzzer and sanitizer runtimes.
[ "${1:-}" = "--fuzz" ] && PKGS="$PKGS clang libclang-rt-14-dev"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
