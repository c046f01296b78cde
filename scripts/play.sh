#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game: zwirlo60, or zwirlo3 when any
# argument is given. Without a display it runs the game under Xvfb and saves a screenshot.
set -euo pipefail
top=$(CDPATH= cd "$(dirname "$0")/.." && pwd)  # CDPATH could send cd to another checkout
"$top/scripts/deps.sh"
build="$top/build/release"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZW_TESTS=OFF >/dev/null
ninja -C "$build" zwirlo60 zwirlo3 beastpix60 wingpix60
prog=zwirlo60
if [ $# -gt 0 ]; then prog=zwirlo3; fi
# The game keeps its saved games, lists and host file in the folder it runs in.
data="${ZWIRLO_DATA:-$HOME/.local/share/zwirlo}"
mkdir -p "$data"
cd "$data"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/$prog"
fi
echo "No display found: running $prog under Xvfb for a few seconds and taking a screenshot."
shot="$top/build/$prog-screenshot.png"
disp=":$(( 90 + RANDOM % 100 ))"
Xvfb "$disp" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${game:-} $xvfb 2>/dev/null || true' EXIT
sleep 1
runtime="${XDG_RUNTIME_DIR:-/tmp/zwirlo-runtime-$(id -u)}"
mkdir -p -m 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" DISPLAY="$disp" "$build/bin/$prog" &
game=$!
sleep 4
DISPLAY="$disp" import -window root "$shot"
echo "Screenshot saved: $shot"
