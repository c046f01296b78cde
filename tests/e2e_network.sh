#!/usr/bin/env bash
# Two real copies of zwirlo60, each on a display and in a folder of its own (and started
# from its own copy of the program, so the instance guard lets both run). B connects to A
# over 127.0.0.2 (127.0.0.1 on both ends would trip the same-address rule), A deals, a card
# turned on A shows the same picture at the same place on B, and once the turn has passed,
# a card turned on B shows on A. ZW_E2E_SHOTS=folder keeps the screenshots.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
DA=$DISPLAY
# A second display of our own (e2e_start_display would find the first one again).
DB=""
for n in $(seq 1 40); do
  d=":$(( 200 + ($$ + 350 + n * 11) % 700 ))"
  [ "$d" = "$DA" ] && continue
  Xvfb "$d" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  sleep 0.7
  if DISPLAY="$d" xdotool getdisplaygeometry >/dev/null 2>&1 && [ "$d" != "$DA" ]; then DB=$d; break; fi
done
[ -n "$DB" ] || e2e_fail "no second display"
shots="${ZW_E2E_SHOTS:-$E2E_TMP/shots}"
mkdir -p "$shots"

# With no window manager the window sits at (0, 0); the menu bar is 19 pixels high.
cardx() { echo $(( 8 + 111 * ($1 % 10) + 52 )); }
cardy() { echo $(( 19 + 8 + 111 * ($1 / 10) + 52 )); }
shot() { DISPLAY=$1 import -window root "$2"; }
sig() {  # a fingerprint of the pixels of card p
  convert "$1" -crop "105x105+$(( 8 + 111 * ($2 % 10) ))+$(( 19 + 8 + 111 * ($2 / 10) ))" +repage \
    -format '%#' info:
}
on() { local d=$1; shift; DISPLAY=$d "$@"; }
click() { on "$1" xdotool mousemove "$(cardx "$2")" "$(cardy "$2")" click 1; sleep 0.1; }
away() { on "$1" xdotool mousemove 1270 790; }  # no card under the mouse, so no hint shows
settle() { sleep 0.6; away "$DA"; away "$DB"; sleep 0.2; }

start_copy() {  # name display
  local dir="$E2E_TMP/$1"
  mkdir -p "$dir/bin" "$dir/run"
  cp "$E2E_BIN/zwirlo60" "$E2E_BIN"/*.so "$dir/bin/"
  ( cd "$dir/run" && DISPLAY=$2 exec "$dir/bin/zwirlo60" ) &
  E2E_PIDS+=($!)
  APPS+=($!)
}
APPS=()
stop_copies() { for p in "${APPS[@]}"; do kill "$p" 2>/dev/null || true; done; sleep 0.3; }

# A must get port 1200: a copy left running by another run would hold it.
for _ in $(seq 1 150); do
  ss -ltn 2>/dev/null | grep -q ':1200 ' || break
  sleep 0.2
done
start_copy a "$DA"
winA=$(DISPLAY=$DA e2e_wait_window "Zwirlo-60")
mkdir -p "$E2E_TMP/b/run"
printf '127.0.0.2' > "$E2E_TMP/b/run/host.txt"
start_copy b "$DB"
# A holds port 1200, so B starts with the socket error in a message box (the window then
# runs on without listening): confirm it, then find B's main window.
box=$(DISPLAY=$DB e2e_wait_window "Zwirlo-60")
sleep 0.3
# Shown before the window, it opens centred on the screen (1280 x 800).
geo=$(DISPLAY=$DB xdotool getwindowgeometry "$box")
bx=$(echo "$geo" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1/p')
by=$(echo "$geo" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\2/p')
bw=$(echo "$geo" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1/p')
bh=$(echo "$geo" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\2/p')
dx=$(( bx + bw / 2 - 640 )); dy=$(( by + bh / 2 - 400 ))
[ "${dx#-}" -le 8 ] && [ "${dy#-}" -le 8 ] || e2e_fail "B's start-up box is off-centre: $geo"
shot "$DB" "$shots/b-start.png"
on "$DB" xdotool windowfocus --sync "$box"
on "$DB" xdotool key Return
winB=""
for _ in $(seq 1 50); do
  for w in $(DISPLAY=$DB xdotool search --onlyvisible --name "Zwirlo-60" 2>/dev/null); do
    width=$(DISPLAY=$DB xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    [ "${width:-0}" -gt 1000 ] && winB=$w
  done
  [ -n "$winB" ] && break
  sleep 0.1
done
[ -n "$winB" ] || e2e_fail "B's window did not show"
sleep 0.5

# B: the connect button beside the indicator, then confirm the offered address.
on "$DB" xdotool mousemove $(( 8 + 13 )) $(( 19 + 682 + 14 )) click 1
dlg=$(DISPLAY=$DB e2e_wait_window "IP-adres")
on "$DB" xdotool windowfocus --sync "$dlg"
on "$DB" xdotool key Return
sleep 1.5
[ "$(cat "$E2E_TMP/b/run/host.txt")" = "127.0.0.2" ] || e2e_fail "host.txt changed"

# Polls for up to 15 s (the copies may be slow under load).
wait_until() { for _ in $(seq 1 75); do "$@" && return 0; sleep 0.2; done; return 1; }
card() {  # display position: the fingerprint of that card now
  local f="$E2E_TMP/now-${1#:}.png"
  shot "$1" "$f"
  sig "$f" "$2"
}
shows() { [ "$(card "$1" "$2")" = "$3" ]; }          # display position fingerprint
turned() { [ "$(card "$1" "$2")" != "$back" ]; }      # display position

# A deals; B takes the board over (also if it connects a moment later: the board waits).
on "$DA" xdotool windowfocus --sync "$winA"
on "$DA" xdotool key ctrl+s
settle
shot "$DA" "$shots/a-dealt.png"
back=$(sig "$shots/a-dealt.png" 59)
wait_until shows "$DB" 59 "$back" || {
  shot "$DB" "$shots/b-fail.png"
  e2e_fail "B does not show card backs after A's deal"
}

# A turns neighbours until a try misses; every card it turns shows the same on B.
passed=""
for a in 0 2 4 6 8 10 12 14 16 18; do
  b=$((a + 1))
  click "$DA" $a
  click "$DA" $b
  settle
  wait_until turned "$DA" $b || e2e_fail "cards $a and $b did not turn up on A"
  shot "$DA" "$shots/a-$a.png"
  for p in $a $b; do
    s=$(sig "$shots/a-$a.png" $p)
    wait_until shows "$DB" $p "$s" || e2e_fail "card $p shows differently on B"
  done
  echo "ok: cards $a and $b show the same pictures on both copies"
  # Found: A clears the pair and keeps the turn. Missed: A covers both, the turn passes.
  click "$DA" $a
  click "$DA" $b
  settle
  if [ "$(sig "$shots/a-$a.png" $a)" != "$(sig "$shots/a-$a.png" $b)" ]; then passed=$a; break; fi
done
[ -n "$passed" ] || e2e_fail "every try found a pair"
# The covers reach B before B plays.
wait_until shows "$DB" $((passed + 1)) "$back" || e2e_fail "A's covered cards still show on B"

# B's turn: a card it turns shows on A.
click "$DB" 58
settle
wait_until turned "$DB" 58 || e2e_fail "card 58 did not turn up on B"
shot "$DB" "$shots/b-final.png"
s=$(sig "$shots/b-final.png" 58)
wait_until shows "$DA" 58 "$s" || e2e_fail "B's card 58 does not show on A"
echo "ok: B's card after the turn passed shows on A"
stop_copies  # before the displays go
echo "1 passed, 0 failed"
