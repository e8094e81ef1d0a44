#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Lumora,
# and prepares the Wine prefix once. Safe to run again: it skips what is there.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

pkgs=(cmake ninja-build g++ googletest libgtest-dev libcurl4-openssl-dev
      g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 xvfb xauth
      imagemagick python3 curl clang-format)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt_update=1
fi
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "setup: installing ${need[*]}"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine: never offer Mono or Gecko, keep its chatter out of test output.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-lumora}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: preparing Wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi
