# The same programs as 64-bit Windows programs, run through 64-bit Wine: for machines whose kernel
# runs no 32-bit code.
set(QB_MINGW_TRIPLET x86_64-w64-mingw32)
set(QB_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
