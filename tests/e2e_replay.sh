#!/usr/bin/env bash
# A player finishes a solo game of zwirlo3 by memory (from what the screen shows), then
# replays it: the table goes back to the deal, the moves come back one per delay, and the
# menu item reads "Stop Terugspelen" while the replay runs.
# ZW_E2E_SHOTS=folder keeps the screenshots for a look.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
shots="${ZW_E2E_SHOTS:-$E2E_TMP/shots}"
mkdir -p "$shots" "$E2E_TMP/run"

# zwirlo3's columns are not evenly spaced; the menu bar adds 19 pixels on top.
lefts=(8 119 232 343 456 567 680 791)
tops=(8 119 230 341 454 565)
cardx() { echo $(( ${lefts[$(( $1 % 8 ))]} + 52 )); }
cardy() { echo $(( 19 + ${tops[$(( $1 / 8 ))]} + 52 )); }
shot() { import -window root "$1"; }
# A fingerprint of the pixels of card p in a screenshot.
sig() {
  convert "$1" -crop "105x105+${lefts[$(( $2 % 8 ))]}+$(( 19 + ${tops[$(( $2 / 8 ))]} ))" +repage \
    -format '%#' info:
}
click() {
  xdotool mousemove "$(cardx "$1")" "$(cardy "$1")" click 1
  sleep 0.08
}
away() { xdotool mousemove 1200 780; }  # no card under the mouse, so no hint shows
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

( cd "$E2E_TMP/run" && exec "$E2E_BIN/zwirlo3" ) &
E2E_PIDS+=($!)
win=$(e2e_wait_window "Zwirlo: Grieks")
sleep 0.5
xdotool windowfocus --sync "$win"
xdotool key F1 # Alleen
sleep 0.2
xdotool key F2 # found pairs stay up until clicked: no clearing to wait for
sleep 0.2
xdotool key ctrl+s
sleep 0.6
away
shot "$shots/dealt.png"
back=$(sig "$shots/dealt.png" 47)
for p in 0 1 46; do
  [ "$(sig "$shots/dealt.png" $p)" = "$back" ] || e2e_fail "card $p is not face down after the deal"
done

# Look at every card once, two at a time; a missed pair is covered after the delay.
declare -a pic found
# Waits (up to 5 s, for a busy machine) until both cards show the back, or both do not.
wait_cards() {  # p q back|up
  local n a b
  for n in $(seq 1 50); do
    shot "$E2E_TMP/look.png"
    a=$(sig "$E2E_TMP/look.png" "$1")
    b=$(sig "$E2E_TMP/look.png" "$2")
    if [ "$3" = back ]; then
      [ "$a" = "$back" ] && [ "$b" = "$back" ] && return 0
    else
      [ "$a" != "$back" ] && [ "$b" != "$back" ] && return 0
    fi
    sleep 0.1
  done
  e2e_fail "cards $1 and $2 did not turn $3"
}
for ((i = 0; i < 48; i += 2)); do
  click $i
  click $((i + 1))
  away
  wait_cards $i $((i + 1)) up
  pic[$i]=$(sig "$E2E_TMP/look.png" $i)
  pic[$((i + 1))]=$(sig "$E2E_TMP/look.png" $((i + 1)))
  if [ "${pic[$i]}" = "${pic[$((i + 1))]}" ]; then
    found[$i]=1
    found[$((i + 1))]=1
  else
    sleep 0.9
    wait_cards $i $((i + 1)) back
    sleep 0.1
  fi
done
first_pair_matched=${found[0]:-0}

# Then take every remaining pair.
for ((a = 0; a < 48; a++)); do
  [ -n "${found[$a]:-}" ] && continue
  for ((b = a + 1; b < 48; b++)); do
    if [ -z "${found[$b]:-}" ] && [ "${pic[$a]}" = "${pic[$b]}" ]; then
      click $a
      click $b
      found[$a]=1
      found[$b]=1
      break
    fi
  done
  [ -n "${found[$a]:-}" ] || e2e_fail "no partner seen for card $a"
done
away

# A finished solo game enters the (empty) top-10 list.
dlg=$(e2e_wait_window "Top10")
xdotool windowfocus --sync "$dlg"
xdotool type --delay 40 "Tester"
xdotool key Return
sleep 0.5
shot "$shots/finished.png"
for p in 0 1 47; do
  [ "$(sig "$shots/finished.png" $p)" = "${pic[$p]}" ] || e2e_fail "card $p not showing at the end"
done

# Replay: the table goes back to the deal, then one entry per second.
xdotool windowfocus --sync "$win"
xdotool key ctrl+t
t0=$(now_ms)
away
states=()
for _ in $(seq 1 24); do
  shot "$E2E_TMP/r.png"
  t=$(( $(now_ms) - t0 ))
  s=""
  for p in 0 1; do
    v=$(sig "$E2E_TMP/r.png" $p)
    if [ "$v" = "$back" ]; then s+=B; elif [ "$v" = "${pic[$p]}" ]; then s+=P; else s+=X; fi
  done
  states+=("$t:$s")
  [ "${#states[@]}" -eq 1 ] && cp "$E2E_TMP/r.png" "$shots/replay-start.png"
  [ "$t" -gt 4800 ] && break
done
cp "$E2E_TMP/r.png" "$shots/replay-later.png"
echo "replay of cards 0 and 1 (ms:state): ${states[*]}"

# The state of cards 0 and 1 must run BB -> PB -> PP (-> BB when they missed), each
# change about one delay after the one before it.
want=(BB PB PP)
[ "$first_pair_matched" = 1 ] || want+=(BB)
k=0
last=""
times=()
for e in "${states[@]}"; do
  s=${e#*:}
  t=${e%%:*}
  [ "$s" = "$last" ] && continue
  [ $k -lt ${#want[@]} ] || break
  [ "$s" = "${want[$k]}" ] || e2e_fail "replay showed $s where ${want[$k]} was due (${states[*]})"
  times+=("$t")
  last=$s
  k=$((k + 1))
done
[ $k -eq ${#want[@]} ] || e2e_fail "replay stopped short: ${states[*]}"
for ((j = 2; j < ${#times[@]}; j++)); do
  gap=$(( times[j] - times[j - 1] ))
  [ $gap -ge 400 ] && [ $gap -le 2000 ] ||
    e2e_fail "a replay step came after $gap ms, not about 1000"
done

# The item's caption, read as the width of the text in its row of the open menu.
caption_width() {
  xdotool windowfocus --sync "$win"
  xdotool key alt+s
  sleep 0.5
  shot "$1"
  xdotool key Escape
  sleep 0.3
  convert "$1" -crop 125x18+88+133 +repage -fuzz 25% -trim -format '%w' info:
}
running=$(caption_width "$shots/menu-running.png")
xdotool key ctrl+t # stop
sleep 0.4
stopped=$(caption_width "$shots/menu-stopped.png")
echo "caption widths: running $running, stopped $stopped"
[ "$running" -gt $((stopped + 20)) ] ||
  e2e_fail "the item did not read \"Stop Terugspelen\" while replaying"

echo "1 passed, 0 failed"
