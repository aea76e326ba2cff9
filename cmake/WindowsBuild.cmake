# The Windows cross builds (cmake/toolchains/): the program, its terminal
# library and the simulator, and the tests that Windows must prove, run under
# wine.

include(${CMAKE_CURRENT_LIST_DIR}/WindowsBinaries.cmake)

# The Windows headers' min and max macros would break std::min and std::max;
# the API is the one of Windows XP, the oldest system the program is made for.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501)
# The thread-safe POSIX time functions (localtime_r), which the mingw-w64
# runtime gives on request.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)
enable_language(RC)

# Test programs list their tests when ctest runs, not while they are built: an
# architecture whose programs cannot run here still builds.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# Asio is header-only: the host's headers (Debian's libasio-dev) serve, seen
# through a folder that holds them alone, never the host's other headers.
find_path(KVL_ASIO_HOST_INCLUDE asio.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(KVL_ASIO_INCLUDE ${CMAKE_BINARY_DIR}/asio-include)
file(MAKE_DIRECTORY ${KVL_ASIO_INCLUDE})
foreach(entry asio asio.hpp)
    file(CREATE_LINK ${KVL_ASIO_HOST_INCLUDE}/${entry} ${KVL_ASIO_INCLUDE}/${entry} SYMBOLIC)
endforeach()
include_directories(SYSTEM ${KVL_ASIO_INCLUDE})

add_subdirectory(${PROJECT_SOURCE_DIR}/iae17 ${CMAKE_BINARY_DIR}/iae17)
add_subdirectory(${PROJECT_SOURCE_DIR}/terminal-sim ${CMAKE_BINARY_DIR}/terminal-sim)
add_subdirectory(${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/src)

# What ships is the 32-bit program: its manual, installer and portable zip.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    block()
        set(KVL_BUILD_TESTS OFF) # the manual's own check runs in the Linux build
        # On Windows the installer lays the files out; an install of the
        # build puts the manual beside the program, as the installer does.
        set(KVL_PROGRAM_INSTALL_DIR .)
        add_subdirectory(${PROJECT_SOURCE_DIR}/docs/manual ${CMAKE_BINARY_DIR}/docs/manual)
    endblock()
    add_subdirectory(${PROJECT_SOURCE_DIR}/packaging/windows ${CMAKE_BINARY_DIR}/packaging)
endif()

if(KVL_BUILD_TESTS)
    enable_testing()
    include(${CMAKE_CURRENT_LIST_DIR}/GoogleTestFromSource.cmake)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/windows ${CMAKE_BINARY_DIR}/tests/windows)
endif()
