#!/bin/sh
# Installs what is missing, builds, and starts НИРЕЛ-3. The program itself
# runs in its working folder, ~/.local/share/nirel3 (or $NIREL3_HOME),
# filling it from data/ on the first start (shell/workfolder.h); the source
# tree is never written.
set -eu
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${NIREL3_BUILD:-${XDG_CACHE_HOME:-$HOME/.cache}/nirel3-build}"

sh "$SRC/tools/deps.sh"
cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNIREL3_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target nirel3

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. НИРЕЛ-3 is a desktop program; on a machine without a"
  echo "screen start it under a virtual display:"
  echo "  apt-get install xvfb && xvfb-run -s '-screen 0 1024x768x24' sh $SRC/tools/run.sh"
  exit 1
fi
# Started from the home folder, as the desktop menu starts it.
cd "$HOME"
exec "$BUILD/nirel3" "$@"
