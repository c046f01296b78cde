#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threaded network tests under
# ThreadSanitizer, the unit tests of plain GCC and clang builds with warnings as errors,
# and the fuzz targets for a bounded time; first of all, the format of the sources.
set -euo pipefail
top=$(CDPATH= cd "$(dirname "$0")/.." && pwd)  # CDPATH could send cd to another checkout
"$top/scripts/deps.sh"
jobs=$(nproc)
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/zwirlo-runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# The sanitizers split their options at spaces and colons: the path goes in quotes.
supp="$top/tests/lsan.supp"
q="'"
case "$supp" in *"'"*) q='"' ;; esac
export LSAN_OPTIONS="suppressions=$q$supp$q:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The format check comes first: it takes a second and needs no build.
echo "== Format check"
( cd "$top" && git ls-files -z -- '*.cpp' '*.h' | grep -zE \
    '^(app|game|network|instance|platform|pictures|tests|bench|fuzz|tools)/' |
    xargs -0 clang-format --dry-run -Werror )

echo "== Build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
asan="$top/build/asan"
cmake -S "$top" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZW_SANITIZE=address,undefined >/dev/null
ninja -C "$asan" -j "$jobs"
ctest --test-dir "$asan" -j "$jobs" --output-on-failure

echo "== Threaded tests under ThreadSanitizer"
tsan="$top/build/tsan"
cmake -S "$top" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZW_SANITIZE=thread >/dev/null
ninja -C "$tsan" -j "$jobs"
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir "$tsan" -j "$jobs" -L tsan --output-on-failure

# Plain builds as a user makes them, where a warning of either compiler fails the build.
for cc in gcc clang; do
  echo "== Unit tests of a plain $cc build, warnings as errors"
  plain="$top/build/plain-$cc"
  cxx=g++
  [ "$cc" = clang ] && cxx=clang++
  CC=$cc CXX=$cxx cmake -S "$top" -B "$plain" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZW_WERROR=ON >/dev/null
  ninja -C "$plain" -j "$jobs"
  ctest --test-dir "$plain" -j "$jobs" -L unit --output-on-failure
done

if [ -d "$top/fuzz" ]; then
  echo "== Fuzz targets (bounded)"
  fuzz="$top/build/fuzz"
  CC=clang CXX=clang++ cmake -S "$top" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZW_FUZZ=ON -DZW_TESTS=OFF -DZW_SANITIZE=address,undefined >/dev/null
  ninja -C "$fuzz" -j "$jobs" fuzz_lines fuzz_savefiles
  for f in "$fuzz"/bin/fuzz_*; do
    [ -x "$f" ] || continue
    work=$(mktemp -d)
    # Each target works in a scratch folder: the loader reads and writes files there.
    mkdir "$work/corpus"
    ( cd "$work" && QT_QPA_PLATFORM=offscreen "$f" -max_total_time="${ZW_FUZZ_SECONDS:-30}" \
        -rss_limit_mb=4096 "$work/corpus" 2>&1 | tail -n 2 ) || { rm -rf "$work"; exit 1; }
    rm -rf "$work"
  done
fi
echo "All tests passed."
