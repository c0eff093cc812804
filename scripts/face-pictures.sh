#!/usr/bin/env bash
# Makes the README's pair of pictures of one configuration: the program's
# main window (docs/main-window.png) and the face of the pylon emulator after
# the program sent that configuration to it (docs/face.png).
#   scripts/face-pictures.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target pylon-emulator LumarqPylonScreenshot >/dev/null

out=$(mktemp)
trap 'kill "$emulator" 2>/dev/null || true; rm -f "$out"' EXIT
"$build/bin/pylon-emulator" --tcp 0 --face-png docs/face.png >"$out" &
emulator=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/^TCP: listening on 127.0.0.1 port \([0-9]*\) .*/\1/p' "$out")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the emulator did not start" >&2; exit 1; }

QT_QPA_PLATFORM=offscreen "$build/bin/LumarqPylonScreenshot" docs/main-window.png EN --send "$port"
# The emulator draws the last change before it ends.
kill -TERM "$emulator"
wait "$emulator"
echo "docs/main-window.png and docs/face.png written"
