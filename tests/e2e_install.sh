#!/usr/bin/env bash
# The install as a package makes it, under a prefix whose path has a space: the layout, no
# run path that searches the current folder (installed or built), each program with only
# its own resources, the menu entries naming the installed programs and starting the game
# in its data folder from a prefix off the PATH, and the installed zwirlo60 taking its
# pictures from lib/zwirlo, never from the current folder.
set -euo pipefail
build="${ZW_BUILD_DIR:?set ZW_BUILD_DIR to the build folder}"
tmp=$(mktemp -d "/tmp/zw install.XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

root="$tmp/stage"
usr="$root/usr"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

want="bin/zwirlo3
bin/zwirlo60
lib/zwirlo/beastpix60.so
lib/zwirlo/wingpix60.so
share/applications/zwirlo3.desktop
share/applications/zwirlo60.desktop
share/icons/hicolor/64x64/apps/zwirlo3.png
share/icons/hicolor/64x64/apps/zwirlo60.png"
got=$(cd "$usr" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$got" = "$want" ] || fail "installed files differ from the layout:
$got"
echo "ok: layout bin/ lib/zwirlo/ share/"

# An empty or relative run-path entry is resolved against the current folder.
# run_path FILE: "[entries]" when FILE has a run path (even an empty one), else nothing.
run_path() { readelf -d "$1" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\(\[.*\]\)$/\2/p'; }
is_elf() { [ "$(head -c 4 "$1" | tr -d '\0')" = $'\x7fELF' ]; }
for f in "$usr"/bin/* "$usr"/lib/zwirlo/*; do
  rp=$(run_path "$f")
  [ -z "$rp" ] || fail "installed ${f#"$usr"/} carries a run path: $rp"
done
checked=0
while IFS= read -r -d '' f; do
  is_elf "$f" || continue
  checked=$((checked + 1))
  rp=$(run_path "$f")
  [ -n "$rp" ] || continue
  v=${rp#[}
  IFS=: read -r -a entries <<< "${v%]}:"
  for e in "${entries[@]}"; do
    case "$e" in
      /* | '$ORIGIN' | '$ORIGIN/'*) ;;
      *) fail "${f#"$build"/} has the run-path entry '$e' in $rp" ;;
    esac
  done
done < <(find "$build/bin" "$build/tests" "$build/tools" -type f -print0)
[ "$checked" -gt 10 ] || fail "found only $checked built binaries"
echo "ok: no run path in the install, none empty or relative in $checked built binaries"

if grep -q zwirlo3.form "$usr/bin/zwirlo60" || grep -q zwirlo60.form "$usr/bin/zwirlo3"; then
  fail "a program carries the other one's resources"
fi
echo "ok: each program carries its own resources"

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$tmp/home" "$tmp/elsewhere"

# start_game DIR CMD...: runs CMD in DIR as the game's process and waits until it runs the
# installed program (and, with LIB set, until that picture library is mapped).
start_game() {
  local dir=$1; shift
  ( cd "$dir" && exec "$@" ) &
  pid=$!
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || fail "$* ended early"
    if [[ "$(readlink "/proc/$pid/exe" || true)" == */bin/zwirlo* ]] &&
       { [ -z "${LIB:-}" ] || grep -q "/$LIB\$" "/proc/$pid/maps"; }; then
      return 0
    fi
    sleep 0.1
  done
  fail "$* did not get going (library: ${LIB:-none})"
}
stop_game() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""; }

# entry_argv FILE: the entry's Exec line as a launcher splits it, into argv. The value's own
# escapes first (only \\ occurs), then the key's quoting: the shell's double quotes, and %%.
entry_argv() {
  local line
  line=$(sed -n 's/^Exec=//p' "$1" | sed 's/\\\\/\\/g; s/%%/%/g')
  eval "argv=($line)"
}
for prog in zwirlo60 zwirlo3; do
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$usr/share/applications/$prog.desktop" || fail "$prog.desktop is not valid"
  fi
  entry_argv "$usr/share/applications/$prog.desktop"
  [[ "${argv[2]}" == *" exec '/usr/bin/$prog'" ]] || fail "the packaged $prog.desktop runs: ${argv[*]}"
done
echo "ok: the packaged menu entries name /usr/bin/zwirlo60 and /usr/bin/zwirlo3"

# The menu entries of an install off the PATH, into a prefix that shell and launcher quoting
# must both keep whole: run each Exec line as a launcher would, from a folder of its own,
# with only the system's folders on the PATH.
prefix="$tmp/odd 'name' \$1 \`x\` 100%\"q"
cmake --install "$build" --prefix "$prefix" >/dev/null
data="$tmp/home/.local/share/zwirlo"
for prog in zwirlo60 zwirlo3; do
  entry_argv "$prefix/share/applications/$prog.desktop"
  rm -rf "$tmp/home/.local"
  HOME="$tmp/home" PATH=/usr/bin:/bin start_game "$tmp/elsewhere" "${argv[@]}"
  [ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/$prog" ] || fail "$prog.desktop started $(readlink "/proc/$pid/exe")"
  [ "$(readlink "/proc/$pid/cwd")" = "$data" ] || fail "$prog.desktop runs in $(readlink "/proc/$pid/cwd")"
  stop_game
  echo "ok: $prog.desktop starts $prog in ~/.local/share/zwirlo, made when missing"
done
export PATH="$usr/bin:$PATH"

# Started by hand, the game stays in its folder; a library of the same name there (another
# program can write to the data folder) is not preferred to the installed one.
cp "$usr/lib/zwirlo/wingpix60.so" "$tmp/elsewhere/beastpix60.so"
LIB=beastpix60.so start_game "$tmp/elsewhere" zwirlo60
[ "$(readlink "/proc/$pid/cwd")" = "$tmp/elsewhere" ] || fail "zwirlo60 left the folder it was started in"
grep -qF "$usr/lib/zwirlo/beastpix60.so" "/proc/$pid/maps" || fail "zwirlo60 loaded beastpix60 from elsewhere:
$(grep beastpix60 "/proc/$pid/maps")"
stop_game
echo "ok: the installed zwirlo60 loads lib/zwirlo/beastpix60.so from another folder"
echo "1 passed, 0 failed"
