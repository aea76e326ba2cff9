# The Windows cross builds (cmake/toolchains/) while the program is ported:
# the parts that build for Windows today, and their tests run under wine. A
# folder joins here once it builds for Windows.

include(${CMAKE_CURRENT_LIST_DIR}/WindowsBinaries.cmake)

# Test programs list their tests when ctest runs, not while they are built: an
# architecture whose programs cannot run here still builds.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The frame codec the terminal library shares with terminal-sim: no I/O.
file(GLOB KVL_WIN_PROTOCOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/iae17/protocol/*.cpp)
add_library(iae17protocol STATIC ${KVL_WIN_PROTOCOL_SOURCES})
target_include_directories(iae17protocol PUBLIC ${PROJECT_SOURCE_DIR}/iae17)

# The text helpers of the data files and records.
add_library(kvltext STATIC ${PROJECT_SOURCE_DIR}/src/platform/Text.cpp)
target_include_directories(kvltext PUBLIC ${PROJECT_SOURCE_DIR}/src)

if(KVL_BUILD_TESTS)
    enable_testing()
    include(${CMAKE_CURRENT_LIST_DIR}/GoogleTestFromSource.cmake)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/windows ${CMAKE_BINARY_DIR}/tests/windows)
endif()
