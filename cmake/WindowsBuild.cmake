# The Windows cross builds (cmake/toolchains/): the program, its terminal
# library and the simulator, and the tests that Windows must prove, run under
# wine.

include(${CMAKE_CURRENT_LIST_DIR}/WindowsBinaries.cmake)

# The Windows headers' min and max macros would break std::min and std::max;
# the API is the one of Windows XP, the oldest system the program is made for.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501)
enable_language(RC)

# Test programs list their tests when ctest runs, not while they are built: an
# architecture whose programs cannot run here still builds.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The frame codec the terminal library shares with terminal-sim: no I/O.
file(GLOB KVL_WIN_PROTOCOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/iae17/protocol/*.cpp)
add_library(iae17protocol STATIC ${KVL_WIN_PROTOCOL_SOURCES})
target_include_directories(iae17protocol PUBLIC ${PROJECT_SOURCE_DIR}/iae17)

add_subdirectory(${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/src)

if(KVL_BUILD_TESTS)
    enable_testing()
    include(${CMAKE_CURRENT_LIST_DIR}/GoogleTestFromSource.cmake)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/windows ${CMAKE_BINARY_DIR}/tests/windows)
endif()
