#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Lumora,
# and prepares the 64-bit Wine prefix once. Safe to run again: it skips what
# is there. No i386 architecture is added: 32-bit programs may not run here
# at all, and the i386 package lists are one more thing that can be broken
# on the mirror.
set -euo pipefail

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

pkgs=(cmake ninja-build g++ googletest libgtest-dev libcurl4-openssl-dev
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine64
      xvfb xauth imagemagick python3 curl bc file clang-format fp-utils
      nlohmann-json3-dev libgumbo-dev libbenchmark-dev xdotool wget x11-utils
      wixl msitools python3-cryptography fonts-wine libssl-dev)

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

need=()
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  # The package index can be in the middle of a sync; try a few times, and
  # if it never comes through, try the install with what is there.
  for attempt in 1 2 3; do
    if $sudo apt-get update -qq; then break; fi
    echo "setup: apt-get update failed (attempt $attempt of 3)" >&2
    [ "$attempt" -lt 3 ] && sleep 10
  done
  if ! $sudo env DEBIAN_FRONTEND=noninteractive \
         apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; then
    missing=()
    for p in "${need[@]}"; do have_pkg "$p" || missing+=("$p"); done
    echo "setup: could not install: ${missing[*]:-${need[*]}}" >&2
    echo "setup: the package index may be in the middle of a sync; try again in a few minutes" >&2
    exit 1
  fi
fi

# shellcheck source=env.sh
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: preparing the 64-bit Wine prefix $WINEPREFIX"
  "$(dirname "${BASH_SOURCE[0]}")/wine.sh" wineboot --init >/dev/null 2>&1 </dev/null || true
  "$WINESERVER" -w || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "setup: Wine could not prepare $WINEPREFIX" >&2; exit 1; }
fi
