#!/usr/bin/env bash
# A player finishes a solo game of zwirlo3 by memory (from what the screen shows), then
# replays it: the table goes back to the deal, the moves come back one per delay, and the
# menu item reads "Stop Terugspelen" while the replay runs.
# ZW_E2E_SHOTS=folder keeps the screenshots (BMP) for a look.
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
click() { xdotool mousemove "$(cardx "$1")" "$(cardy "$1")" click 1; }
away() { xdotool mousemove 1200 780; }  # no card under the mouse, so no hint shows

( cd "$E2E_TMP/run" && exec "$E2E_BIN/zwirlo3" ) &
E2E_PIDS+=($!)
win=$(e2e_wait_window "Zwirlo: Grieks")
away
xdotool windowfocus --sync "$win"
shot "$shots/start.bmp"
empty=$(sig "$shots/start.bmp" 47)
# F1: Alleen; F2: found pairs stay up until clicked, so there is no clearing to wait for.
xdotool key F1 F2 ctrl+s
dealt() {  # every card shows one face, and not the empty board's
  shot "$shots/dealt.bmp"
  back=$(sig "$shots/dealt.bmp" 47)
  [ "$back" != "$empty" ] || return 1
  for p in 0 1 46; do [ "$(sig "$shots/dealt.bmp" $p)" = "$back" ] || return 1; done
}
e2e_until 10 dealt || e2e_fail "cards 0, 1 and 46 are not face down after the deal"

# Look at every card once, two at a time; a missed pair is covered after the delay.
declare -a pic found
# True when both cards show the back, or both do not, in a screenshot taken now.
cards_are() {  # p q back|up
  local a b
  shot "$E2E_TMP/look.bmp"
  a=$(sig "$E2E_TMP/look.bmp" "$1")
  b=$(sig "$E2E_TMP/look.bmp" "$2")
  if [ "$3" = back ]; then
    [ "$a" = "$back" ] && [ "$b" = "$back" ]
  else
    [ "$a" != "$back" ] && [ "$b" != "$back" ]
  fi
}
# Waits (up to 5 s, for a busy machine) until both cards show the back, or both do not.
wait_cards() { e2e_until 5 cards_are "$@" || e2e_fail "cards $1 and $2 did not turn $3"; }
up() { shot "$E2E_TMP/look.bmp" && [ "$(sig "$E2E_TMP/look.bmp" "$1")" != "$back" ]; }
# The first card of a try: a click that came while the cover step was finishing is
# swallowed, so click again until it shows (clicking an open first card changes nothing).
first() {
  for _ in 1 2 3; do
    click "$1"
    e2e_until 1 up "$1" && return 0
  done
  e2e_fail "card $1 did not turn up"
}
for ((i = 0; i < 48; i += 2)); do
  first $i
  click $((i + 1))
  away
  wait_cards $i $((i + 1)) up
  pic[$i]=$(sig "$E2E_TMP/look.bmp" $i)
  pic[$((i + 1))]=$(sig "$E2E_TMP/look.bmp" $((i + 1)))
  if [ "${pic[$i]}" = "${pic[$((i + 1))]}" ]; then
    found[$i]=1
    found[$((i + 1))]=1
  else
    wait_cards $i $((i + 1)) back
  fi
done
first_pair_matched=${found[0]:-0}

# Then take every remaining pair.
taking=""
for ((a = 0; a < 48; a++)); do
  [ -n "${found[$a]:-}" ] && continue
  for ((b = a + 1; b < 48; b++)); do
    if [ -z "${found[$b]:-}" ] && [ "${pic[$a]}" = "${pic[$b]}" ]; then
      # Only the first of these can follow a cover step.
      if [ -z "$taking" ]; then first $a; else click $a; fi
      taking=1
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
finished() {
  shot "$shots/finished.bmp"
  for p in 0 1 47; do [ "$(sig "$shots/finished.bmp" $p)" = "${pic[$p]}" ] || return 1; done
}
e2e_until 5 finished || e2e_fail "cards 0, 1 and 47 not showing at the end"
gone() { ! xdotool search --onlyvisible --name "Top10" >/dev/null 2>&1; }
e2e_until 5 gone || e2e_fail "the top-10 dialog stayed open"

# A replay step every two seconds: a look takes over half a second, more on a busy machine,
# and must not miss a state.
step=2000
xdotool windowfocus --sync "$win"
xdotool key ctrl+i
idlg=$(e2e_wait_window "Interval Veranderen")
xdotool windowfocus --sync "$idlg"
xdotool key ctrl+a
xdotool type "$step"
xdotool key Return
asked() { ! xdotool search --onlyvisible --name "Interval Veranderen" >/dev/null 2>&1; }
e2e_until 5 asked || e2e_fail "the interval dialog stayed open"

# Replay: the table goes back to the deal, then one entry per step. Each look notes when
# its screenshot began and ended; the state of cards 0 and 1 is read from it.
xdotool windowfocus --sync "$win"
xdotool key ctrl+t
t0=$(e2e_now_ms)
away
looks=()
while :; do
  b=$(( $(e2e_now_ms) - t0 ))
  shot "$E2E_TMP/r.bmp"
  e=$(( $(e2e_now_ms) - t0 ))
  s=""
  for p in 0 1; do
    v=$(sig "$E2E_TMP/r.bmp" $p)
    if [ "$v" = "$back" ]; then s+=B; elif [ "$v" = "${pic[$p]}" ]; then s+=P; else s+=X; fi
  done
  # Until the replay has begun the cards still show the finished game.
  if [ "${#looks[@]}" -gt 0 ] || [ "$s" != PP ]; then
    looks+=("$b:$e:$s")
    [ "${#looks[@]}" -eq 1 ] && cp "$E2E_TMP/r.bmp" "$shots/replay-start.bmp"
  fi
  [ "$e" -gt $(( step * 48 / 10 )) ] && break
done
cp "$E2E_TMP/r.bmp" "$shots/replay-later.bmp"
echo "replay of cards 0 and 1 (begin:end ms:state): ${looks[*]}"

# The state of cards 0 and 1 must run BB -> PB -> PP (-> BB when they missed), each
# change about one step after the one before it. A change fell after the last look
# without it began and before the look that showed it ended.
want=(BB PB PP)
[ "$first_pair_matched" = 1 ] || want+=(BB)
k=0
last=""
prev_b=0
after=()
before=()
for l in "${looks[@]}"; do
  IFS=: read -r b e s <<<"$l"
  if [ "$s" != "$last" ]; then
    [ $k -lt ${#want[@]} ] || break
    [ "$s" = "${want[$k]}" ] || e2e_fail "replay showed $s where ${want[$k]} was due (${looks[*]})"
    after+=("$prev_b")
    before+=("$e")
    last=$s
    k=$((k + 1))
  fi
  prev_b=$b
done
[ $k -eq ${#want[@]} ] || e2e_fail "replay stopped short: ${looks[*]}"
for ((j = 2; j < k; j++)); do
  shortest=$(( after[j] - before[j - 1] ))
  longest=$(( before[j] - after[j - 1] ))
  [ $longest -ge $(( step * 7 / 10 )) ] && [ $shortest -le $(( step * 2 )) ] ||
    e2e_fail "a replay step came $shortest to $longest ms after the one before, not about $step"
done

# The program's visible windows: its menus are windows of their own.
app=${E2E_PIDS[-1]}
windows() { [ "$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)" -ge "$1" ]; }
closed() { ! windows 2; }
row() { shot "$1" && convert "$1" -crop 125x18+88+133 +repage -format '%#' info:; }
# The item's caption, read as the width of the text in its row of the open menu, once that
# row looks the same twice running.
caption_width() {
  local was="" now
  xdotool windowfocus --sync "$win"
  xdotool key alt+s
  e2e_until 5 windows 2 || e2e_fail "the menu did not open"
  for _ in $(seq 1 50); do
    now=$(row "$1")
    [ "$now" = "$was" ] && break
    was=$now
  done
  xdotool key Escape
  e2e_until 5 closed || e2e_fail "the menu did not close"
  convert "$1" -crop 125x18+88+133 +repage -fuzz 25% -trim -format '%w' info:
}
running=$(caption_width "$shots/menu-running.bmp")
xdotool key ctrl+t # stop
stopped=$(caption_width "$shots/menu-stopped.bmp")
echo "caption widths: running $running, stopped $stopped"
[ "$running" -gt $((stopped + 20)) ] ||
  e2e_fail "the item did not read \"Stop Terugspelen\" while replaying"

echo "1 passed, 0 failed"
