#!/usr/bin/env bash
# Starting zwirlo3 a second time from the same path brings the first window forward, and
# the second copy ends by itself leaving one window. The program runs from a copy in a
# folder with a blank in its name, so the block is this run's own.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
# The program ends without giving its block up; clear this run's objects with the rest.
trap 'rc=$?; rm -f /dev/shm/zwirlo-*"${E2E_TMP##*/}"*; e2e_cleanup $rc' EXIT

title="Zwirlo: Grieks"
prog="$E2E_TMP/Pairs Game/zwirlo3"
mkdir -p "$E2E_TMP/Pairs Game" "$E2E_TMP/work"
cp "$E2E_BIN/zwirlo3" "$prog"
export ZW_TRACE_RAISE="$E2E_TMP/raised.txt"

( cd "$E2E_TMP/work" && exec "$prog" ) &
first=$!
E2E_PIDS+=($first)
win=$(e2e_wait_window "$title")

# Another window covers the first one, so the raise has something to undo.
xmessage -geometry +0+0 "in the way" &
E2E_PIDS+=($!)
cover=""
for _ in $(seq 1 50); do
  cover=$(xdotool search --onlyvisible --name "xmessage" 2>/dev/null | head -n 1 || true)
  [ -n "$cover" ] && break
  sleep 0.1
done
[ -n "$cover" ] || e2e_fail "no covering window"
# topmost WIN...: of the given windows, the one highest in the stacking order.
topmost() {
  local line id w
  while read -r line; do
    id=${line%% *}
    for w in "$@"; do
      [ "$id" = "$(printf '0x%x' "$w")" ] && { echo "$w"; return 0; }
    done
  done < <(xwininfo -root -children | grep -E '^ +0x')
}
[ "$(topmost "$win" "$cover")" = "$cover" ] || e2e_fail "the covering window is not on top"

( cd "$E2E_TMP/work" && exec "$prog" ) &
second=$!
E2E_PIDS+=($second)
for _ in $(seq 1 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second" 2>/dev/null && e2e_fail "the second copy is still running"
set +e; wait "$second"; rc=$?; set -e
[ "$rc" -eq 0 ] || e2e_fail "the second copy ended with $rc"
kill -0 "$first" 2>/dev/null || e2e_fail "the first copy has gone"

for _ in $(seq 1 50); do [ -s "$ZW_TRACE_RAISE" ] && break; sleep 0.1; done
[ "$(cat "$ZW_TRACE_RAISE" 2>/dev/null)" = "raised $first" ] ||
  e2e_fail "the first copy was not raised"
for _ in $(seq 1 30); do [ "$(topmost "$win" "$cover")" = "$win" ] && break; sleep 0.1; done
[ "$(topmost "$win" "$cover")" = "$win" ] || e2e_fail "the first window was not brought forward"
focus=$(xdotool getwindowfocus 2>/dev/null || true)
[ "$focus" = "$win" ] || e2e_fail "focus is on $focus, not on the first window $win"
count=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l)
[ "$count" -eq 1 ] || e2e_fail "$count windows named $title"
echo "ok: the second start raised the first window and ended; one window left"

# A block of that name owned by another user: the start-up shows the system's reason in
# the error box under the program's title, and ends with code 1 once it is answered,
# not with a signal. Making another user's object takes root.
if [ "$(id -u)" -eq 0 ]; then
  other="$E2E_TMP/Other Copy/zwirlo3"
  mkdir -p "$E2E_TMP/Other Copy"
  cp "$E2E_BIN/zwirlo3" "$other"
  block=$("$E2E_BIN/instance_probe" block "$other")
  : > "$block"
  chown 65534:65534 "$block"
  ( cd "$E2E_TMP/work" && exec "$other" ) &
  bad=$!
  E2E_PIDS+=($bad)
  box=""
  for _ in $(seq 1 100); do
    box=$(xdotool search --onlyvisible --pid "$bad" 2>/dev/null | head -n 1 || true)
    [ -n "$box" ] && break
    kill -0 "$bad" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$box" ] || e2e_fail "no error box from the failed start"
  [ "$(xdotool getwindowname "$box")" = "Zwirlo: Grieks Alfabet" ] ||
    e2e_fail "the box is titled '$(xdotool getwindowname "$box")'"
  [ -n "${ZW_SHOTS:-}" ] && import -window root "$ZW_SHOTS/failed-guard.png"
  xdotool windowfocus --sync "$box" key Return
  for _ in $(seq 1 50); do kill -0 "$bad" 2>/dev/null || break; sleep 0.1; done
  set +e; wait "$bad"; rc=$?; set -e
  [ "$rc" -eq 1 ] || e2e_fail "the failed start ended with $rc"
  echo "ok: a start without a usable block showed the error box and ended with code 1"
fi
echo "1 passed, 0 failed"
