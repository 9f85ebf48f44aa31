# The Linux command-line tool and its cairo print device.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-pdf cairo-svg cairo-png fontconfig)
# libcups ships no pkg-config file on Debian 12; CMake's own module finds it.
find_package(Cups REQUIRED)
# The tool's option parsing; header-only (Debian: libcli11-dev).
find_package(CLI11 2.1 REQUIRED CONFIG)

file(GLOB QUILLMERE_CAIRO_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/print/cairo/*.cpp)
if(QUILLMERE_CAIRO_SOURCES)
    add_library(quillmere_cairo STATIC ${QUILLMERE_CAIRO_SOURCES})
    target_link_libraries(quillmere_cairo PUBLIC quillmere_core PkgConfig::CAIRO)
endif()

file(GLOB QUILLMERE_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cli/*.cpp)
if(QUILLMERE_CLI_SOURCES)
    add_executable(quillmere ${QUILLMERE_CLI_SOURCES})
    target_link_libraries(quillmere PRIVATE quillmere_core Cups::Cups CLI11::CLI11)
    target_compile_definitions(quillmere PRIVATE QUILLMERE_VERSION="${PROJECT_VERSION}")
    if(TARGET quillmere_cairo)
        target_link_libraries(quillmere PRIVATE quillmere_cairo)
    endif()
    set_target_properties(quillmere PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
