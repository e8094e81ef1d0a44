#!/usr/bin/env bash
# Runs a 32-bit Windows program of the i686 build under 32-bit Wine, in
# Lumora's prefix (a 64-bit prefix runs 32-bit programs where 32-bit Wine is
# installed): scripts/wine32.sh PROGRAM.exe ARGS...
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
wine32=${LUMORA_WINE32:-/usr/lib/wine/wine}
export WINELOADER=$wine32
exec "$wine32" "$@"
