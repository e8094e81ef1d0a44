#!/bin/sh
# check_pe.sh FORMAT OBJDUMP EXE...: each Windows executable is of its tree's
# format (x86-64: PE32+ for x86-64; i386: PE32 for 32-bit x86), lumora.exe is
# a GUI program, and none needs a DLL that a bare Windows lacks (the MinGW
# runtimes are linked in statically).
set -eu
format=$1 objdump=$2
shift 2
case $format in
  x86-64) want='^PE32\+ executable.*x86-64' ;;
  i386) want='^PE32 executable.*Intel 80386' ;;
  *) echo "check_pe.sh: unknown format $format"; exit 2 ;;
esac
for exe in "$@"; do
  kind=$(file -b "$exe")
  echo "$kind" | grep -Eq "$want" || { echo "$exe: not $format: $kind"; exit 1; }
  case $(basename "$exe") in
    lumora.exe) echo "$kind" | grep -q '(GUI)' || { echo "$exe: not a GUI program: $kind"; exit 1; } ;;
  esac
  echo "$exe: $kind"
  dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$exe imports:" $dlls
  for d in $dlls; do
    case $d in
      kernel32.dll|user32.dll|gdi32.dll|ole32.dll|oleaut32.dll|shell32.dll|comctl32.dll|winhttp.dll|\
      ws2_32.dll|msvcrt.dll|advapi32.dll|comdlg32.dll|shlwapi.dll) ;;
      *) echo "$exe needs $d, which a bare Windows does not have"; exit 1 ;;
    esac
  done
done
