#!/usr/bin/env bash
# "laat &Demo zien" (Ctrl+D) in zwirlo60: the cards come up in snake order (at every look
# the cards showing are the first ones of that order), and after about 7 s every card of
# a full deal shows its picture. ZW_E2E_SHOTS=folder keeps the screenshots (BMP) for a
# look.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
shots="${ZW_E2E_SHOTS:-$E2E_TMP/shots}"
mkdir -p "$shots" "$E2E_TMP/run"

# Fingerprints of the 60 card places of a screenshot, row by row: the board (10 x 6 places
# 111 pixels apart, 19 pixels below the top for the menu bar) cut into 105-pixel cards.
sigs() {
  convert "$1" -crop 1110x666+8+27 +repage -crop 111x111 +repage -crop 105x105+0+0 +repage \
    -format '%#\n' info:
}
# The snake order: rows alternately left to right and right to left.
order=()
for r in 0 1 2 3 4 5; do
  for k in 0 1 2 3 4 5 6 7 8 9; do
    if ((r % 2 == 0)); then order+=($((r * 10 + k))); else order+=($((r * 10 + 9 - k))); fi
  done
done

( cd "$E2E_TMP/run" && exec "$E2E_BIN/zwirlo60" ) &
E2E_PIDS+=($!)
win=$(e2e_wait_window "Zwirlo-60")
xdotool mousemove 1200 780 # away from the cards: no hint in the pictures
xdotool windowfocus --sync "$win"
import -window root "$shots/empty.bmp"
empty=$(sigs "$shots/empty.bmp" | sed -n 51p)
xdotool key ctrl+d
t0=$(e2e_now_ms)

# Looks during the sweep, as fast as they come: the face-down cards (the last card of the
# order, visited last, still shows the back) must always all come after the face-up ones.
# It takes about 7 s: some cards are still down after 4.8 s, and all are up by 15 s.
back=""
partial=0
down_at=0
up=0
while :; do
  at=$(( $(e2e_now_ms) - t0 ))
  [ $at -lt 15000 ] || e2e_fail "$((60 - up)) cards still face down after the sweep"
  shot="$shots/look.bmp"
  import -window root "$shot"
  mapfile -t s < <(sigs "$shot")
  [ ${#s[@]} -eq 60 ] || e2e_fail "expected 60 card places, got ${#s[@]}"
  [ "${s[50]}" != "$empty" ] || continue  # not dealt yet
  [ -n "$back" ] || back=${s[50]}
  up=0
  for ((k = 0; k < 60; k++)); do
    if [ "${s[${order[$k]}]}" != "$back" ]; then
      [ $up -eq $k ] || e2e_fail "at $at ms card ${order[$k]} is up before an earlier one"
      up=$((up + 1))
    fi
  done
  [ $up -eq 60 ] && break
  if [ $up -gt 0 ]; then
    partial=$((partial + 1))
    down_at=$at
    cp "$shot" "$shots/sweep-$partial.bmp"
  fi
done
cp "$shot" "$shots/swept.bmp"
echo "$partial looks during the sweep; cards still down at $down_at ms; swept after $at ms"
[ $partial -ge 3 ] || e2e_fail "the sweep was seen only $partial times"
[ $down_at -ge 4800 ] || e2e_fail "every card was up before 4.8 s"
# Every picture of a full deal shows: 30 pictures, each twice.
counts=$(printf '%s\n' "${s[@]}" | sort | uniq -c | awk '{print $1}' | sort -u | tr '\n' ' ')
[ "$counts" = "2 " ] || e2e_fail "the pictures showing are not 30 pairs (counts: $counts)"
echo "1 passed, 0 failed"
