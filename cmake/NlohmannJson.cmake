# nlohmann-json (Debian nlohmann-json3-dev), header-only, for the analysis's JSON. Found on the build machine even
# when cross-compiling (mingw-w64, Emscripten): only its own folder is put on the include path, through a link in
# the build folder, so no other host header can reach a cross build.
find_path(QUILLMERE_NLOHMANN_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT QUILLMERE_NLOHMANN_JSON_DIR)
    message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev (scripts/install-deps.sh build)")
endif()
set(QUILLMERE_NLOHMANN_INCLUDE ${CMAKE_BINARY_DIR}/third-party-include)
file(MAKE_DIRECTORY ${QUILLMERE_NLOHMANN_INCLUDE})
file(CREATE_LINK ${QUILLMERE_NLOHMANN_JSON_DIR}/nlohmann ${QUILLMERE_NLOHMANN_INCLUDE}/nlohmann SYMBOLIC)
target_include_directories(quillmere_analysis SYSTEM PUBLIC ${QUILLMERE_NLOHMANN_INCLUDE})
