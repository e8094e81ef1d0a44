# Sourced by the scripts: the Wine settings every Lumora run and test uses.
# Wine never offers to install Mono or Gecko, and its debug chatter stays off.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-lumora}"
