# Cross-compiles Lumora for 64-bit Windows (PE32+) and runs what it builds
# under 64-bit Wine through scripts/wine.sh.
set(LUMORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(LUMORA_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
set(LUMORA_PE_FORMAT x86-64)
