#!/usr/bin/env bash
# Builds Lumora if needed and runs it.
#
# The desktop program is not built yet, so this shows a grab at work: a
# small sample gallery page with its pictures is served from a local HTTP
# server on 127.0.0.1, and lumora-grab of the x86-64 Windows build (under 64-bit Wine)
# grabs the page as a drop onto the window would: the page is fetched and
# parsed, its picture references are made absolute and queued once each, and
# five download workers save them into a new folder under build/. The saved
# files are listed. With --native the native build does the same.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
source scripts/env.sh
if [ "${1:-}" = "--native" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target lumora-grab >/dev/null
  run() { build/release/src/cli/lumora-grab "$@"; }
  folder_arg() { echo "$1"; }
else
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target lumora-grab >/dev/null
  run() { scripts/wine.sh build/windows/src/cli/lumora-grab.exe "$@"; }
  folder_arg() { local p=${1//\//\\}; echo "Z:$p"; }
fi

demo=build/demo
stamp=$(date +%Y%m%d-%H%M%S)
folder=$PWD/$demo/pictures-$stamp
site=$demo/site
mkdir -p "$site/gallery" "$site/shared" "$folder"
for sample in "gallery/sunset.jpg:gradient:orange-purple" "gallery/sea.gif:gradient:skyblue-navy" \
            "shared/forest.bmp:plasma:green-darkgreen" "gallery/desert.tif:gradient:khaki-sienna" \
            "logo.jpg:gradient:red-yellow"; do
  name=${sample%%:*}
  [ -f "$site/$name" ] || convert -size 320x200 "${sample#*:}" "$site/$name"
done
# The page: relative, "../", "./" and root-relative references, one picture
# twice (once in other letters), a picture that is missing and a type that
# Lumora does not save.
cat > "$site/gallery/index.html" <<'HTML'
<html><head><title>Sample gallery</title></head><body>
<h1>Sample gallery</h1>
<img src="sunset.jpg"> <img src='./sea.gif'> <img src="../shared/forest.bmp">
<img src="/files/logo.jpg"> <img src="desert.tif"> <img src="SUNSET.JPG">
<img src="missing.jpg"> <img src="icon.png">
</body></html>
HTML

python3 tests/http_server.py --root "$site" --port-file "$demo/port" >/dev/null &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$demo/port" ] && break; sleep 0.1; done
page="http://127.0.0.1:$(cat "$demo/port")/files/gallery/index.html"
rm -f "$demo/port"

echo "Serving a sample page at $page; lumora-grab saves its pictures into $folder"
run "$page" --folder "$(folder_arg "$folder")" || true
echo
echo "Saved in $folder:"
ls -l "$folder"
