# Cross-compiles for Windows with Debian's MinGW-w64; the tests run under Wine. Included by
# the toolchain file of each architecture, which sets KORVANE_MINGW_PROCESSOR and the
# compilers' prefix, KORVANE_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KORVANE_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${KORVANE_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${KORVANE_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${KORVANE_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
