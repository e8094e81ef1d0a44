#!/usr/bin/env bash
# Builds Lumora if needed and runs it.
#
# The desktop program is not built yet, so this runs the picture download on
# a demonstration: a few sample pictures are served from a local HTTP server
# on 127.0.0.1, their addresses are queued, five download workers of the
# Windows build (under Wine) save them into a new folder under build/, and
# the saved files are listed. With --native the native build does the same.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
source scripts/env.sh
if [ "${1:-}" = "--native" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target lumora-download >/dev/null
  run() { build/release/src/cli/lumora-download "$@"; }
  folder_arg() { echo "$1"; }
else
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target lumora-download >/dev/null
  run() { wine build/windows/src/cli/lumora-download.exe "$@"; }
  folder_arg() { winepath -w "$1" 2>/dev/null; }
fi

demo=build/demo
stamp=$(date +%Y%m%d-%H%M%S)
folder=$PWD/$demo/pictures-$stamp
mkdir -p "$demo/samples" "$folder"
for spec in "sunset.jpg:gradient:orange-purple" "sea.gif:gradient:skyblue-navy" \
            "forest.bmp:plasma:green-darkgreen" "desert.tif:gradient:khaki-sienna" \
            "myphoto.jpg:gradient:red-yellow"; do
  name=${spec%%:*}
  [ -f "$demo/samples/$name" ] || convert -size 320x200 "${spec#*:}" "$demo/samples/$name"
done

python3 tests/http_server.py --root "$demo/samples" --port-file "$demo/port" >/dev/null &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$demo/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$demo/port")"
rm -f "$demo/port"

echo "Serving sample pictures at $base; five workers save them into $folder"
run --folder "$(folder_arg "$folder")" \
  "$base/files/sunset.jpg" "$base/files/sea.gif" "$base/files/forest.bmp" \
  "$base/files/desert.tif" "$base/files/my photo.jpg" "$base/files/sunset.jpg" \
  "$base/files/missing.jpg" "$base/files/readme.txt" || true
echo
echo "Saved in $folder:"
ls -l "$folder"
