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
# Xvfb takes a free display itself and writes its number once it accepts clients.
dispfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$dispfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${game:-} $xvfb 2>/dev/null || true; rm -f "$dispfile"' EXIT
for _ in $(seq 1 100); do
  [ -s "$dispfile" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$dispfile" ]; then
  echo "Xvfb did not start: no screenshot taken." >&2
  exit 1
fi
disp=":$(head -n 1 "$dispfile")"
runtime="${XDG_RUNTIME_DIR:-/tmp/zwirlo-runtime-$(id -u)}"
mkdir -p -m 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" DISPLAY="$disp" "$build/bin/$prog" &
game=$!
sleep 4
kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb ended early: no screenshot taken." >&2; exit 1; }
DISPLAY="$disp" import -window root "$shot"
echo "Screenshot saved: $shot"
