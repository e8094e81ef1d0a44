#!/usr/bin/env bash
# Builds Lumora if needed and runs it.
#
#   scripts/run.sh                   lumora.exe under 64-bit Wine
#   scripts/run.sh --demo [--native] a grab at work from the command line
#
# lumora.exe shows its tray icon and drop window (the main window opens from
# either) on the user's display when there is one, and otherwise on a virtual
# display of its own, of which a screenshot is saved. Pictures dropped on it
# go into build/windows/pictures, the folder of the settings file the build
# supplies (build/windows/src/app/task/shuxing.txt).
#
# --demo serves a small sample gallery page with its pictures from a local
# HTTP server on 127.0.0.1, and lumora-grab of the x86-64 Windows build
# (under 64-bit Wine) grabs the page as a drop onto the window would: the
# page is fetched and parsed, its picture references are made absolute and
# queued once each, and five download workers save them into a new folder
# under build/. The saved files are listed. With --native the native build
# does the same.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
source scripts/env.sh

if [ "${1:-}" != "--demo" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target lumora >/dev/null
  app=build/windows/src/app
  pictures=$PWD/build/windows/pictures
  mkdir -p "$pictures"
  xvfb_pid=""
  cleanup() {
    [ -n "${lumora_pid:-}" ] && kill "$lumora_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  }
  trap cleanup EXIT
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    echo "No display found: Lumora runs on the virtual display $DISPLAY."
  fi
  scripts/wine.sh "$app/lumora.exe" &
  lumora_pid=$!
  echo "Lumora is running: its icon is in the notification area (Wine's tray), its"
  echo "drop window near the top of the screen, at 669, 124."
  echo "Pictures go into $pictures"
  echo "  (the save folder of $app/task/shuxing.txt)."
  echo "Drop a link on the window: drag one from a web browser. The same grab runs from a"
  echo "terminal: scripts/wine.sh build/windows/src/cli/lumora-grab.exe ADDRESS (see README.md)."
  echo "Click the window or Lumora's tray icon for the main window and its settings;"
  echo "right-click either for the menu, and pick Exit to end Lumora."
  if [ -n "$xvfb_pid" ]; then
    sleep 5
    shot=$PWD/build/windows/lumora-screen.png
    import -window root "$shot" && echo "A screenshot of the display: $shot"
    echo "Press Ctrl+C to stop."
  fi
  wait "$lumora_pid" || true
  lumora_pid=""
  exit 0
fi
shift
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
