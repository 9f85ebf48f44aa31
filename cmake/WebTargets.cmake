# The browser version: the portable core compiled to WebAssembly, bound to JavaScript with embind, and the static
# site around it in build/web/site.
add_executable(quillmere_web ${CMAKE_SOURCE_DIR}/web/bindings.cpp)
target_link_libraries(quillmere_web PRIVATE quillmere_core)
# One file with the WebAssembly inside: Node cannot load a separate .wasm by path with this runtime, and a page
# opened from disk cannot fetch one either.
target_link_options(quillmere_web PRIVATE --bind -sSINGLE_FILE -sMODULARIZE -sEXPORT_NAME=QuillmereCore
                    -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web,node)
set_target_properties(quillmere_web PROPERTIES OUTPUT_NAME quillmere-core SUFFIX .js)
