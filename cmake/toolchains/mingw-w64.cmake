# Shared part of the mingw-w64 toolchains. The including file sets
# KVL_MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32) first.
#
# The posix thread model variants are used because the code relies on
# std::thread and std::mutex. Every binary links the C and C++ runtimes and
# winpthread statically, so nothing but the binaries themselves has to ship.
# Windows programs run under wine through cmake/wine-run, which needs a wine
# prefix prepared by scripts/windows-setup (KVL_WINEPREFIX).

set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${KVL_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KVL_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KVL_MINGW_TRIPLET}-windres)
find_program(CMAKE_OBJDUMP NAMES ${KVL_MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KVL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# The prefix is taken from the environment when the first configure sees one,
# else the folder scripts/windows-setup prepares by default.
if(DEFINED ENV{WINEPREFIX} AND NOT "$ENV{WINEPREFIX}" STREQUAL "")
    set(kvl_default_wineprefix "$ENV{WINEPREFIX}")
else()
    get_filename_component(kvl_default_wineprefix "${CMAKE_CURRENT_LIST_DIR}/../../build-wine/prefix"
                           ABSOLUTE)
endif()
set(KVL_WINEPREFIX "${kvl_default_wineprefix}" CACHE PATH
    "Wine prefix in which the Windows test programs run")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../wine-run;${KVL_WINEPREFIX}")
