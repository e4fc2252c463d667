#!/usr/bin/env bash
# Builds the programs (release with debug info; no tests, no benchmarks) and starts the manager.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/install-deps.sh"

build="$here/build/release"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLF_BUILD_TESTS=OFF -DLF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target programs

manager="$build/bin/quorix"
if [ ! -x "$manager" ]; then
  echo "The manager was not built: $manager is missing." >&2
  exit 1
fi
# The manager keeps its session and parameter files in the working folder.
mkdir -p "$build/work"
cd "$build/work"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is set: starting the manager under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$manager" "$@"
fi
exec "$manager" "$@"
