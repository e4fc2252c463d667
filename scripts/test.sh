#!/usr/bin/env bash
# Builds a Debug configuration with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test. Window tests (label "gui") run on a private Xvfb started here.
# Tests never see the user's display or home folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/install-deps.sh"

build="$here/build/asan"
jobs="$(nproc)"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DLF_SANITIZE=ON -DLF_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"

scratch="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display number of our own. Several test runs share this machine and Xvfb does not
# always leave a lock file, so two servers could take the same number and one would
# lose its socket: take a number that no server listens on, from a spread-out range,
# and try another when the server does not come up on it.
display_in_use() { grep -q "/tmp/.X11-unix/X$1\$" /proc/net/unix; }
display=""
for _ in $(seq 1 20); do
  n=$(( 100 + (RANDOM + $$) % 800 ))
  display_in_use "$n" && continue
  # -noreset: by default the server resets whenever its last client leaves, and a
  # window test that connects during that reset cannot open the display.
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$scratch/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    display_in_use "$n" && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$xvfb_pid" 2>/dev/null && display_in_use "$n"; then
    display="$n"
    break
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
if [ -z "$display" ]; then
  echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1
fi

mkdir -p "$scratch/home" "$scratch/config" "$scratch/data" "$scratch/cache" "$scratch/runtime"
chmod 700 "$scratch/runtime"
export DISPLAY=":$display"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
export XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime"
export NO_AT_BRIDGE=1 GTK_OVERLAY_SCROLLING=0
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

cd "$build"
ctest -j "$jobs" --output-on-failure --timeout 300 "$@"

# The tests labelled "threads" (loader threads, their events, decoders on several
# threads, the sockets' name look-up worker) once more under ThreadSanitizer, which
# cannot be combined with the sanitizers above; only the programs that hold them are
# built.
tsan="$here/build/tsan"
cmake -S "$here" -B "$tsan" -DCMAKE_BUILD_TYPE=Debug -DLF_TSAN=ON -DLF_WERROR=ON -DLF_BUILD_BENCH=OFF >/dev/null
cmake --build "$tsan" -j "$jobs" --target thread_tests
cd "$tsan"
TSAN_OPTIONS="halt_on_error=1" ctest -j "$jobs" --output-on-failure --timeout 300 -L threads

# A Release build of the programs with warnings as errors: the optimiser finds faults
# of its own (-Wrestrict, -Wstringop-overflow, -Wmaybe-uninitialized) that the Debug
# builds above never show. Only the programs, and not run once more, to keep CI
# within its time.
release="$here/build/release"
cmake -S "$here" -B "$release" -DCMAKE_BUILD_TYPE=Release -DLF_WERROR=ON -DLF_BUILD_BENCH=OFF >/dev/null
cmake --build "$release" -j "$jobs" --target programs
