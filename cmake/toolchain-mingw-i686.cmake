# Windows i686 cross build (the shipping build; its tests run on a private
# 32-bit Wine under qemu-i386, see scripts/wine32-prepare.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAV_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32-run.sh)
set(TAV_WINE_PREFIX_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32-prefix.sh)
