# Sourced by the scripts: the Wine settings every Lumora run and test uses.
# Lumora's Windows programs run under 64-bit Wine in a 64-bit prefix of their
# own; the name is new so that a 32-bit prefix from earlier set-ups is never
# picked up. Wine never offers to install Mono or Gecko, and its debug chatter
# stays off. A program that crashes ends at once instead of waiting in
# Wine's debugger (which would hold a test until ctest's timeout).
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEDEBUG=-all
export WINEARCH=win64
export WINEPREFIX="${LUMORA_WINEPREFIX:-$HOME/.wine-lumora64}"

# Debian's `wine` wrapper prefers the 32-bit loader whenever one is installed,
# so the scripts name the 64-bit loader and server themselves.
lumora_first_of() {
  local c
  for c in "$@"; do
    if [ -x "$c" ]; then echo "$c"; return 0; fi
    if command -v "$c" >/dev/null 2>&1; then command -v "$c"; return 0; fi
  done
  return 1
}
LUMORA_WINE64=$(lumora_first_of /usr/lib/wine/wine64 wine64 || echo wine64)
WINESERVER=$(lumora_first_of /usr/lib/wine/wineserver64 wineserver64 wineserver || echo wineserver)
export LUMORA_WINE64 WINESERVER
