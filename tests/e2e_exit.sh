#!/usr/bin/env bash
# Both programs end with exit code 0 through "&Afsluiten", through closing the window and
# on a terminate or interrupt signal.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
XCLOSE="${ZW_XCLOSE:?set ZW_XCLOSE}"

windows_of() { [ "$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l)" -ge "$2" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }

run_case() {  # program, title, how
  local prog=$1 title=$2 how=$3 dir rc
  dir="$E2E_TMP/$prog-$how"; mkdir -p "$dir"
  ( cd "$dir" && exec "$E2E_BIN/$prog" ) &
  local pid=$!
  E2E_PIDS+=($pid)
  local win; win=$(e2e_wait_window "$title")
  if [ "$how" = menu ]; then
    xdotool windowfocus --sync "$win"
    xdotool key --window "$win" alt+b
    # The menu is open once the program shows a second window.
    e2e_until 5 windows_of "$pid" 2 || e2e_fail "$prog: the menu did not open"
    xdotool key a
  else
    "$XCLOSE" "$win"
  fi
  e2e_until 5 ended "$pid" || e2e_fail "$prog ($how) still running"
  set +e; wait "$pid"; rc=$?; set -e
  [ "$rc" -eq 0 ] || e2e_fail "$prog ($how) ended with $rc"
  echo "ok: $prog ended with 0 via $how"
}
run_case zwirlo3 "Zwirlo: Grieks" menu
run_case zwirlo3 "Zwirlo: Grieks" close
run_case zwirlo60 "Zwirlo-60" menu
run_case zwirlo60 "Zwirlo-60" close

# SIGTERM and SIGINT end a program as closing its window does, also once a sound has played
# (the sound library would otherwise take both signals over). A peer connecting plays one.
signal_case() {  # program, title, signal
  local prog=$1 title=$2 sig=$3 dir rc
  dir="$E2E_TMP/$prog-$sig"; mkdir -p "$dir"
  # Started with default signal actions: a shell's background job would ignore SIGINT.
  ( cd "$dir" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/heard.raw" \
      exec env --default-signal=INT,TERM "$E2E_BIN/$prog" ) &
  local pid=$!
  E2E_PIDS+=($pid)
  e2e_wait_window "$title" >/dev/null
  for _ in $(seq 1 50); do ss -ltn 2>/dev/null | grep -q ':1200 ' && break; sleep 0.1; done
  exec 3<>/dev/tcp/127.0.0.2/1200
  for _ in $(seq 1 50); do [ -s "$dir/heard.raw" ] && break; sleep 0.1; done
  [ -s "$dir/heard.raw" ] || e2e_fail "$prog played no sound for the peer"
  kill -s "$sig" "$pid"
  # Ends, not how fast: the sanitizers' leak check at exit takes over a second on a busy machine.
  e2e_until 10 ended "$pid" || e2e_fail "$prog still running 10 s after $sig"
  exec 3>&-
  set +e; wait "$pid"; rc=$?; set -e
  [ "$rc" -eq 0 ] || e2e_fail "$prog ended with $rc on $sig"
  echo "ok: $prog ended with 0 on $sig after a sound"
}
for sig in TERM INT; do
  signal_case zwirlo3 "Zwirlo: Grieks" $sig
  signal_case zwirlo60 "Zwirlo-60" $sig
done
echo "1 passed, 0 failed"
