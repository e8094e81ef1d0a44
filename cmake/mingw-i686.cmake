# Cross-compiles Lumora for 32-bit Windows (PE32), the program Lumora is for.
# Its tests need a machine that executes 32-bit x86 code and a 32-bit Wine:
# each one is started through scripts/gate32.sh, which tries that first and
# reports the test as not run where it cannot be done.
set(LUMORA_MINGW_TRIPLE i686-w64-mingw32)
set(LUMORA_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32.sh)
set(LUMORA_TEST_GATE ${CMAKE_CURRENT_LIST_DIR}/../scripts/gate32.sh)
set(LUMORA_PE_FORMAT i386)
