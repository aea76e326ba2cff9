# GoogleTest and GoogleMock for a cross build, compiled with the build's own
# toolchain from Debian's sources (package googletest), under the names the
# installed package gives them: GTest::gtest, GTest::gtest_main, GTest::gmock,
# GTest::gmock_main.

set(KVL_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${KVL_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${KVL_GOOGLETEST_SOURCE_DIR}: "
                        "install Debian's googletest package")
endif()

set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${KVL_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

foreach(library IN ITEMS gtest gtest_main gmock gmock_main)
    # Third-party code: built with its own flags, not held to ours.
    set_property(TARGET ${library} PROPERTY COMPILE_OPTIONS "")
    add_library(GTest::${library} ALIAS ${library})
endforeach()
