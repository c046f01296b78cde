#!/usr/bin/env bash
# A player looks at the hall of fame of zwirlo60: "Beste Spelers" -> "aantal klikken" and
# "tijd" show the lists, the names and the scores row for row, and a click hides them.
# ZW_E2E_SHOTS=folder keeps the screenshots (BMP) for a look.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
shots="${ZW_E2E_SHOTS:-$E2E_TMP/shots}"
run="$E2E_TMP/run"
mkdir -p "$shots" "$run"

# Twelve entries (two beyond the ten shown), one of them below 100 so the others pad it.
{
  printf '9 klikken Ann\r\n'
  for s in 101 102 103 104 105 106 107 108 109 110; do printf '%s klikken speler %s\r\n' $s $s; done
} >"$run/hof14.dat"

# The dark text rows inside a rectangle of a screenshot, one "first-last" band per line.
bands() {  # png x y w h
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -threshold 50% -scale "1x${5}!" \
    -depth 8 gray:- | od -An -tu1 -v |
    awk '{for (i = 1; i <= NF; i++) v[n++] = $i}
         END {s = -1; for (i = 0; i < n; i++) {
                if (v[i] < 255 && s < 0) s = i;
                if (v[i] == 255 && s >= 0) {print s "-" i - 1; s = -1}}
              if (s >= 0) print s "-" n - 1}'
}
# The rows (of 25 pixels) of zwirlo60's list boxes that hold text; the boxes sit 19 pixels
# lower for the menu bar.
rows() { bands "$@" | awk -F- '{print int(($1 + $2) / 2 / 25)}'; }
names_box() { rows "$1" 341 249 269 250; }
numbers_box() { rows "$1" 607 249 134 250; }

# Every copy listens on 1200; one left running elsewhere would greet us with an error box.
free_port() { ! ss -ltn 2>/dev/null | grep -q ':1200 '; }
e2e_until 60 free_port || true

( cd "$run" && exec "$E2E_BIN/zwirlo60" ) &
pid=$!
E2E_PIDS+=($pid)
win=$(e2e_wait_window "Zwirlo-60")

# Menus are windows of their own: wait until the program shows that many.
windows() { [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -ge "$1" ]; }
# look NAME ROWS: the screen now, as NAME.bmp, shows ROWS in the names list ("" for none).
look() { import -window root "$shots/$1.bmp"; [ "$(echo $(names_box "$shots/$1.bmp"))" = "$2" ]; }

# "&Spelen", up past the two card-set items to "Beste Spelers", into its submenu.
open_hof() {  # how many Downs inside the submenu
  xdotool windowfocus --sync "$win"
  xdotool key alt+s
  e2e_until 5 windows 2 || e2e_fail "the menu did not open"
  xdotool key Up Up Up Right
  e2e_until 5 windows 3 || e2e_fail "the hall-of-fame submenu did not open"
  for ((i = 0; i < $1; i++)); do xdotool key Down; done
  xdotool key Return
}

open_hof 0
e2e_until 5 look clicks "0 1 2 3 4 5 6 7 8 9" || true
grep -q $'^134 klikken Zandor Quibbe\r$' "$run/hof14.dat" || e2e_fail "seeded line not added"
[ "$(wc -l <"$run/hof14.dat")" -eq 12 ] || e2e_fail "hof14.dat should keep all 12 entries"
a=$(names_box "$shots/clicks.bmp"); b=$(numbers_box "$shots/clicks.bmp")
[ "$(echo $a)" = "0 1 2 3 4 5 6 7 8 9" ] || e2e_fail "expected 10 rows of names, got: $a"
[ "$a" = "$b" ] || e2e_fail "names and scores are not row for row: [$a] vs [$b]"
# The scores stay inside their column: the far right strip of the numbers list stays blank.
[ -z "$(bands "$shots/clicks.bmp" 737 249 3 250)" ] || e2e_fail "scores run over their column"
echo "ok: clicks list shows 10 aligned rows"

open_hof 1
e2e_until 5 look time "0" || true
[ "$(cat "$run/hof14b.dat")" = $'303 seconden Zandor Quibbe\r' ] || e2e_fail "hof14b.dat not seeded"
a=$(names_box "$shots/time.bmp"); b=$(numbers_box "$shots/time.bmp")
[ "$(echo $a)" = "0" ] || e2e_fail "expected 1 row in the time list, got: $a"
[ "$a" = "$b" ] || e2e_fail "time list not row for row: [$a] vs [$b]"
echo "ok: time list shows its seeded row"

# A click on the list hides both lists.
xdotool mousemove 400 300 click 1
e2e_until 5 look hidden "" || e2e_fail "lists still showing after a click"
echo "ok: a click hides the lists"
echo "1 passed, 0 failed"
