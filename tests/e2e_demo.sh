#!/usr/bin/env bash
# "laat &Demo zien" (Ctrl+D) in zwirlo60: the cards come up in snake order (at every look
# the cards showing are the first ones of that order), and after about 7 s every card of
# a full deal shows its picture. ZW_E2E_SHOTS=folder keeps the screenshots for a look.
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
sleep 0.5
xdotool mousemove 1200 780 # away from the cards: no hint in the pictures
xdotool windowfocus --sync "$win"
xdotool key ctrl+d
t0=$(date +%s%N)

# Looks during the sweep: the face-down cards (the last card of the order, visited last,
# still shows the back) must all come after the face-up ones.
for at in 1.2 3.0 4.8; do
  while (( ($(date +%s%N) - t0) / 1000000 < ${at/./} * 100 )); do sleep 0.05; done
  shot="$shots/sweep-$at.png"
  import -window root "$shot"
  mapfile -t s < <(sigs "$shot")
  [ ${#s[@]} -eq 60 ] || e2e_fail "expected 60 card places, got ${#s[@]}"
  back=${s[50]}
  up=0
  for ((k = 0; k < 60; k++)); do
    if [ "${s[${order[$k]}]}" != "$back" ]; then
      [ $up -eq $k ] || e2e_fail "at $at s card ${order[$k]} is up before an earlier one"
      up=$((up + 1))
    fi
  done
  echo "after $at s: $up cards up"
  [ $up -gt 0 ] && [ $up -lt 60 ] || e2e_fail "at $at s, $up cards up"
done

# About 7 s in, every card is up (a busy machine gets a few seconds more).
while (( ($(date +%s%N) - t0) / 1000000 < 7000 )); do sleep 0.1; done
for _ in $(seq 1 20); do
  import -window root "$shots/swept.png"
  mapfile -t s < <(sigs "$shots/swept.png")
  down=0
  for ((p = 0; p < 60; p++)); do [ "${s[$p]}" != "$back" ] || down=$((down + 1)); done
  [ $down -eq 0 ] && break
  sleep 0.4
done
[ $down -eq 0 ] || e2e_fail "$down cards still face down after the sweep"
echo "swept after $(( ($(date +%s%N) - t0) / 1000000 )) ms"
# Every picture of a full deal shows: 30 pictures, each twice.
counts=$(printf '%s\n' "${s[@]}" | sort | uniq -c | awk '{print $1}' | sort -u | tr '\n' ' ')
[ "$counts" = "2 " ] || e2e_fail "the pictures showing are not 30 pairs (counts: $counts)"
echo "1 passed, 0 failed"
