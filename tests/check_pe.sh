#!/bin/sh
# A Windows executable must be 32-bit x86 and need no DLL that a bare Windows
# lacks (the MinGW runtimes are linked in statically).
set -eu
for exe in "$@"; do
  file -b "$exe" | grep -q '^PE32 executable.*Intel 80386' || { echo "$exe: not PE32 i386: $(file -b "$exe")"; exit 1; }
  dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$exe imports:" $dlls
  for d in $dlls; do
    case $d in
      kernel32.dll|user32.dll|gdi32.dll|ole32.dll|oleaut32.dll|shell32.dll|comctl32.dll|winhttp.dll|\
      ws2_32.dll|msvcrt.dll|advapi32.dll|comdlg32.dll|shlwapi.dll) ;;
      *) echo "$exe needs $d, which a bare Windows does not have"; exit 1 ;;
    esac
  done
done
