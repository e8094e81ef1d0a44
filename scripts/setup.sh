#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Lumora,
# and prepares the Wine prefix once. Safe to run again: it skips what is there.
set -euo pipefail

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

pkgs=(cmake ninja-build g++ googletest libgtest-dev libcurl4-openssl-dev
      g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 xvfb xauth
      imagemagick python3 curl bc file clang-format nlohmann-json3-dev
      libgumbo-dev libbenchmark-dev xdotool wget)

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
need=()
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# shellcheck source=env.sh
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: preparing the Wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1 </dev/null || true
  wineserver -w || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "setup: Wine could not prepare $WINEPREFIX" >&2; exit 1; }
fi
