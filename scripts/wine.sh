#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in Lumora's prefix:
#   scripts/wine.sh PROGRAM.exe ARGS...
# The tests, the benchmarks and scripts/run.sh all reach Wine through here.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# Programs that Wine starts from this one use the same loader.
export WINELOADER=$LUMORA_WINE64
exec "$LUMORA_WINE64" "$@"
