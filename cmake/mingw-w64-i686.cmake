# 32-bit Windows (x86). This machine cannot run 32-bit code: the tests run under Wine in an
# emulated machine (scripts/x86-machine.sh).
set(KORVANE_MINGW_PROCESSOR i686)
set(KORVANE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
