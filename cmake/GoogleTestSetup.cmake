# GoogleTest: the system package natively; built from Debian's source package when cross-compiling.
if(CMAKE_CROSSCOMPILING)
    if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
        message(FATAL_ERROR "googletest sources not found in /usr/src/googletest (apt install googletest)")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # googletest's own CMake already defines the GTest:: aliases.
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)
