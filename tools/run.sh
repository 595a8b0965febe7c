#!/bin/sh
# Installs what is missing, builds, and starts НИРЕЛ-3 in its own working
# folder (seeded from data/ on first start; the source tree is never written).
set -eu
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${NIREL3_BUILD:-${XDG_CACHE_HOME:-$HOME/.cache}/nirel3-build}"
WORK="${NIREL3_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/nirel3}"

sh "$SRC/tools/deps.sh"
cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNIREL3_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target nirel3

if [ ! -d "$WORK" ]; then
  mkdir -p "$WORK"
  cp -R "$SRC/data/." "$WORK/"
  echo "Working folder created: $WORK"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. НИРЕЛ-3 is a desktop program; on a machine without a"
  echo "screen start it under a virtual display:"
  echo "  apt-get install xvfb && xvfb-run -s '-screen 0 1024x768x24' sh $SRC/tools/run.sh"
  exit 1
fi
cd "$WORK"
exec "$BUILD/nirel3" "$@"
