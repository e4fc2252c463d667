#!/usr/bin/env bash
# Time from starting the editor on a 24-megapixel JPEG until its window shows the
# picture, beside djpeg decoding the same file; runs interleaved, median of each.
#   bench/pixoro-open-vs-djpeg.sh <pixoro binary> [runs=5] [picture.jpg]
# Needs Xvfb, imagemagick (to make the picture) and djpeg (libjpeg-turbo-progs).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
pixoro="$(realpath "$1")"
runs="${2:-5}"
work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

picture="${3:-}"
if [ -z "$picture" ]; then
  picture="$work/photo24mp.jpg"
  # Coloured everywhere (red to blue), with grain so the decoder has work to do.
  convert -size 6000x4000 gradient:red-blue -attenuate 0.4 +noise Gaussian -quality 90 "$picture"
fi
g++ -O2 -std=c++20 -o "$work/show-time" "$here/PixoroShowTime.cpp" -lX11

n=$(( 100 + (RANDOM + $$) % 800 ))
while grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix; do n=$(( n + 1 )); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix && break; sleep 0.1; done
mkdir -p "$work/home" "$work/config" "$work/runtime"; chmod 700 "$work/runtime"
export DISPLAY=":$n" HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" NO_AT_BRIDGE=1

djpeg_ms() {
  local t0 t1
  t0=$(date +%s%N); djpeg -outfile /dev/null "$picture"; t1=$(date +%s%N)
  echo "scale=1; ($t1 - $t0) / 1000000" | bc
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# One warm-up of each: the file and the libraries in the page cache.
"$work/show-time" "$pixoro" "$picture" >/dev/null; djpeg_ms >/dev/null
: >"$work/pixoro.txt"; : >"$work/djpeg.txt"
for i in $(seq 1 "$runs"); do
  "$work/show-time" "$pixoro" "$picture" >>"$work/pixoro.txt"
  djpeg_ms >>"$work/djpeg.txt"
done
p=$(median <"$work/pixoro.txt"); d=$(median <"$work/djpeg.txt")
echo "pixoro until shown (ms): $(tr '\n' ' ' <"$work/pixoro.txt")median $p"
echo "djpeg decode (ms):       $(tr '\n' ' ' <"$work/djpeg.txt")median $d"
echo "ratio of medians: $(echo "scale=2; $p / $d" | bc)"
