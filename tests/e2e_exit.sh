#!/usr/bin/env bash
# Both programs end with exit code 0 through "&Afsluiten" and through closing the window.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
e2e_start_display
XCLOSE="${ZW_XCLOSE:?set ZW_XCLOSE}"

run_case() {  # program, title, how
  local prog=$1 title=$2 how=$3 dir rc
  dir="$E2E_TMP/$prog-$how"; mkdir -p "$dir"
  ( cd "$dir" && exec "$E2E_BIN/$prog" ) &
  local pid=$!
  E2E_PIDS+=($pid)
  local win; win=$(e2e_wait_window "$title")
  sleep 0.5
  if [ "$how" = menu ]; then
    xdotool windowfocus --sync "$win"
    xdotool key --window "$win" alt+b
    sleep 0.4
    xdotool key a
  else
    "$XCLOSE" "$win"
  fi
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && e2e_fail "$prog ($how) still running"
  set +e; wait "$pid"; rc=$?; set -e
  [ "$rc" -eq 0 ] || e2e_fail "$prog ($how) ended with $rc"
  echo "ok: $prog ended with 0 via $how"
}
run_case zwirlo3 "Zwirlo: Grieks" menu
run_case zwirlo3 "Zwirlo: Grieks" close
run_case zwirlo60 "Zwirlo-60" menu
run_case zwirlo60 "Zwirlo-60" close
echo "1 passed, 0 failed"
