#!/usr/bin/env bash
# Registers the editor with the desktop once: a desktop entry that opens JPEG images
# with build/<configuration>/bin/pixoro, for the current user. Run it again only when
# the program moves.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
config="${1:-asan}"
program="$here/build/$config/bin/pixoro"
if [ ! -x "$program" ]; then
  echo "no editor at $program: build it first" >&2
  exit 1
fi
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$apps"
sed "s|@PIXORO@|$program|" "$here/resources/editor/desktop/pixoro.desktop.in" > "$apps/lanternfolio-pixoro.desktop"
if command -v update-desktop-database >/dev/null; then update-desktop-database "$apps" || true; fi
if command -v xdg-mime >/dev/null; then xdg-mime default lanternfolio-pixoro.desktop image/jpeg || true; fi
echo "registered $apps/lanternfolio-pixoro.desktop for image/jpeg"
