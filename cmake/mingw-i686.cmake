# Cross-compiles 32-bit Windows programs with mingw-w64 (posix thread model: the win32 model cannot
# build GoogleTest with GCC 12) and runs them through 32-bit Wine.
set(QB_MINGW_TRIPLET i686-w64-mingw32)
set(QB_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
