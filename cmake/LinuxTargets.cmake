# The Linux command-line tool and its cairo print device.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-pdf cairo-svg cairo-png fontconfig)
# libcups ships no pkg-config file on Debian 12; CMake's own module finds it. The tool takes only its headers and
# loads the library at run time when it prints (cli/cups_print.cpp); the printing tests link it for their own use.
find_package(Cups REQUIRED)
# Recordings for the speed command: WAV, FLAC and Ogg, read in blocks (Debian: libsndfile1-dev).
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
# The tool's option parsing; header-only (Debian: libcli11-dev).
find_package(CLI11 2.1 REQUIRED CONFIG)

# Everything of the tool but its main(), so that the tests can link its parts (the cairo device, the file writer).
quillmere_layer(quillmere_cli cli quillmere_settings quillmere_print quillmere_analysis quillmere_geometry)
target_sources(quillmere_cli PRIVATE ${CMAKE_SOURCE_DIR}/cli/file_printer_cairo.cpp)
get_target_property(cli_sources quillmere_cli SOURCES)
list(FILTER cli_sources EXCLUDE REGEX "/main\\.cpp$")
set_target_properties(quillmere_cli PROPERTIES SOURCES "${cli_sources}")
target_link_libraries(quillmere_cli PUBLIC PkgConfig::CAIRO PkgConfig::SNDFILE CLI11::CLI11 ${CMAKE_DL_LIBS})
target_include_directories(quillmere_cli PRIVATE ${CUPS_INCLUDE_DIRS})
target_compile_definitions(quillmere_cli PUBLIC QUILLMERE_VERSION="${PROJECT_VERSION}")

add_executable(quillmere ${CMAKE_SOURCE_DIR}/cli/main.cpp)
target_link_libraries(quillmere PRIVATE quillmere_cli)
set_target_properties(quillmere PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
