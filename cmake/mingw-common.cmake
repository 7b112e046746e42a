# Shared part of the mingw-w64 toolchain files: the posix-thread compilers,
# the target's sysroot, and Wine as the emulator that runs built programs
# (with the script that makes each test run's Wine prefix).
set(CMAKE_C_COMPILER ${TAV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAV_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
set(TAV_WINE_PREFIX_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-prefix.sh)
