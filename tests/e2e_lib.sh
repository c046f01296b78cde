# Shared by the end-to-end scripts: an Xvfb display of their own, a scratch folder, and
# cleanup of everything they started. Source it; then call e2e_start_display.
set -euo pipefail
E2E_BIN="${ZW_BIN_DIR:?set ZW_BIN_DIR to the bin folder of the build}"
E2E_TMP=$(mktemp -d /tmp/zwe2e.XXXXXX)
E2E_PIDS=()
# The programs' sanitizer reports (a leak found as they end, too) go to files here: the
# programs end in the background, where no one reads their exit code or output.
E2E_SAN="$E2E_TMP/sanitizer"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$E2E_SAN"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}log_path=$E2E_SAN"
# Ends what the script started; a sanitizer report fails the run. Takes the script's exit
# status (by default the status at the call).
e2e_cleanup() {
  local rc=${1:-$?}
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if compgen -G "$E2E_SAN.*" >/dev/null; then
    cat "$E2E_SAN".* >&2
    echo "FAIL: a program reported a sanitizer error" >&2
    rc=1
  fi
  rm -rf "$E2E_TMP"
  exit $rc
}
trap e2e_cleanup EXIT
# e2e_new_display VAR: starts an Xvfb of our own and sets VAR to its display.
e2e_new_display() {
  local file
  file=$(mktemp "$E2E_TMP/display.XXXXXX")
  # Xvfb picks a free display itself and writes its number once it takes clients. No reset
  # when the last client leaves: a program started just then could not connect.
  Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  e2e_until 20 test -s "$file" || return 1
  printf -v "$1" ':%s' "$(head -n 1 "$file")"
}
e2e_start_display() {
  local display
  if e2e_new_display display; then
    export DISPLAY=$display
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export SDL_AUDIODRIVER=dummy
    unset QT_QPA_PLATFORM
    return 0
  fi
  echo "e2e: could not start Xvfb" >&2
  return 1
}
e2e_now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# e2e_until SECONDS COMMAND...: runs COMMAND until it succeeds; false once SECONDS have passed.
e2e_until() {
  local end=$(( $(e2e_now_ms) + $1 * 1000 ))
  shift
  until "$@"; do
    [ "$(e2e_now_ms)" -lt "$end" ] || return 1
    sleep 0.05
  done
}
# e2e_wait_window NAME: prints the id of the first window whose title contains NAME.
e2e_wait_window() {
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "e2e: no window named $1" >&2
  return 1
}
e2e_fail() { echo "FAIL: $*" >&2; exit 1; }
