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
e2e_new_display DB || e2e_fail "no second display"
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
# The connection indicator beside the connect button.
indicator() {
  shot "$1" "$E2E_TMP/ind-${1#:}.png"
  convert "$E2E_TMP/ind-${1#:}.png" -crop "115x25+39+$(( 19 + 682 ))" +repage -format '%#' info:
}

start_copy() {  # name display
  local dir="$E2E_TMP/$1"
  mkdir -p "$dir/bin" "$dir/run"
  cp "$E2E_BIN/zwirlo60" "$E2E_BIN"/*.so "$dir/bin/"
  ( cd "$dir/run" && DISPLAY=$2 exec "$dir/bin/zwirlo60" ) &
  E2E_PIDS+=($!)
  APPS+=($!)
}
APPS=()
ended() { [ ! -e "/proc/$1" ] || [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" = Z ]; }
stop_copies() {
  for p in "${APPS[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${APPS[@]}"; do e2e_until 10 ended "$p" || e2e_fail "copy $p did not end"; done
}

# A must get port 1200: a copy left running by another run would hold it.
for _ in $(seq 1 150); do
  ss -ltn 2>/dev/null | grep -q ':1200 ' || break
  sleep 0.2
done
start_copy a "$DA"
winA=$(DISPLAY=$DA e2e_wait_window "Zwirlo-60")
away "$DA"
shot "$DA" "$shots/a-start.png"
empty=$(sig "$shots/a-start.png" 59)
alone=$(indicator "$DA")
mkdir -p "$E2E_TMP/b/run"
printf '127.0.0.2' > "$E2E_TMP/b/run/host.txt"
start_copy b "$DB"
# A holds port 1200, so B starts with the socket error in a message box (the window then
# runs on without listening): confirm it, then find B's main window.
box=$(DISPLAY=$DB e2e_wait_window "Zwirlo-60")
# Shown before the window, it opens centred on the screen (1280 x 800), once it is placed.
centred() {
  geo=$(DISPLAY=$DB xdotool getwindowgeometry "$box")
  local bx by bw bh dx dy
  bx=$(echo "$geo" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1/p')
  by=$(echo "$geo" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\2/p')
  bw=$(echo "$geo" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1/p')
  bh=$(echo "$geo" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\2/p')
  dx=$(( bx + bw / 2 - 640 )); dy=$(( by + bh / 2 - 400 ))
  [ "${dx#-}" -le 8 ] && [ "${dy#-}" -le 8 ]
}
e2e_until 5 centred || e2e_fail "B's start-up box is off-centre: $geo"
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

# B: the connect button beside the indicator (again while a window just shown takes no
# click yet), then confirm the offered address.
asks() { DISPLAY=$DB xdotool search --onlyvisible --name "IP-adres" >/dev/null 2>&1; }
for _ in 1 2 3 4 5; do
  on "$DB" xdotool mousemove $(( 8 + 13 )) $(( 19 + 682 + 14 )) click 1
  e2e_until 2 asks && break
done
away "$DB"
dlg=$(DISPLAY=$DB e2e_wait_window "IP-adres")
on "$DB" xdotool windowfocus --sync "$dlg"
on "$DB" xdotool key Return
# Both indicators show the same, and no longer what A showed alone, once both copies have
# taken the connection in.
linked() {
  local a
  a=$(indicator "$DA")
  [ "$a" != "$alone" ] && [ "$(indicator "$DB")" = "$a" ]
}
e2e_until 20 linked || e2e_fail "the copies did not show the connection"
[ "$(cat "$E2E_TMP/b/run/host.txt")" = "127.0.0.2" ] || e2e_fail "host.txt changed"

# Polls for up to 15 s (the copies may be slow under load).
wait_until() { for _ in $(seq 1 75); do "$@" && return 0; sleep 0.2; done; return 1; }
card() {  # display position: the fingerprint of that card now
  local f="$E2E_TMP/now-${1#:}.png"
  shot "$1" "$f"
  sig "$f" "$2"
}
shows() { [ "$(card "$1" "$2")" = "$3" ]; }          # display position fingerprint
# up DISPLAY SHOT P...: cards P... show pictures, the same in two screenshots running; the
# second is kept as SHOT.
up() {
  local d=$1 f=$2 before="$E2E_TMP/before-${1#:}.png" p
  shift 2
  shot "$d" "$before"
  shot "$d" "$f"
  for p in "$@"; do
    [ "$(sig "$f" "$p")" != "$back" ] && [ "$(sig "$f" "$p")" = "$(sig "$before" "$p")" ] || return 1
  done
}
dealt() {  # A's cards show one face, and not the empty board's
  shot "$DA" "$shots/a-dealt.png"
  back=$(sig "$shots/a-dealt.png" 59)
  [ "$back" != "$empty" ] || return 1
  for p in 0 1 58; do [ "$(sig "$shots/a-dealt.png" $p)" = "$back" ] || return 1; done
}

# A deals; B takes the board over (also if it connects a moment later: the board waits).
on "$DA" xdotool windowfocus --sync "$winA"
on "$DA" xdotool key ctrl+s
e2e_until 10 dealt || e2e_fail "A's cards are not face down after the deal"
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
  away "$DA"
  wait_until up "$DA" "$shots/a-$a.png" $a $b || e2e_fail "cards $a and $b did not turn up on A"
  for p in $a $b; do
    s=$(sig "$shots/a-$a.png" $p)
    wait_until shows "$DB" $p "$s" || e2e_fail "card $p shows differently on B"
  done
  echo "ok: cards $a and $b show the same pictures on both copies"
  # Found: A clears the pair and keeps the turn. Missed: A covers both, the turn passes.
  click "$DA" $a
  click "$DA" $b
  away "$DA"
  if [ "$(sig "$shots/a-$a.png" $a)" != "$(sig "$shots/a-$a.png" $b)" ]; then passed=$a; break; fi
done
[ -n "$passed" ] || e2e_fail "every try found a pair"
# The covers reach B before B plays.
wait_until shows "$DB" $((passed + 1)) "$back" || e2e_fail "A's covered cards still show on B"

# B's turn: a card it turns shows on A.
click "$DB" 58
away "$DB"
wait_until up "$DB" "$shots/b-final.png" 58 || e2e_fail "card 58 did not turn up on B"
s=$(sig "$shots/b-final.png" 58)
wait_until shows "$DA" 58 "$s" || e2e_fail "B's card 58 does not show on A"
echo "ok: B's card after the turn passed shows on A"
stop_copies  # before the displays go
echo "1 passed, 0 failed"
