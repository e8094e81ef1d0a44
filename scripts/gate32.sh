#!/usr/bin/env bash
# Starts a test of the i686 build: gate32.sh COMMAND ARGS...
# Where this machine cannot run 32-bit Windows programs, it prints why in one
# line and exits 77, which ctest counts as "not run" (never as passed).
here=$(dirname "${BASH_SOURCE[0]}")
if ! reason=$("$here/can-run-32bit.sh"); then
  echo "i686 test not run: $reason"
  exit 77
fi
exec "$@"
