# 32-bit Windows with mingw-w64: the platform the program and its terminal
# library are made for.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KVL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
