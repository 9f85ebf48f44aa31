# The browser version: the portable core compiled to WebAssembly, bound to JavaScript with embind, and the static
# site around it in build/web/site.
add_executable(quillmere_web ${CMAKE_SOURCE_DIR}/web/bindings.cpp)
target_link_libraries(quillmere_web PRIVATE quillmere_settings)
# One file with the WebAssembly inside: Node cannot load a separate .wasm by path with this runtime, and a page
# opened from disk cannot fetch one either.
target_link_options(quillmere_web PRIVATE --bind -sSINGLE_FILE -sMODULARIZE -sEXPORT_NAME=QuillmereCore
                    -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web,node
                    --pre-js ${CMAKE_SOURCE_DIR}/web/core-start.js)
set_property(TARGET quillmere_web APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/core-start.js)
set_target_properties(quillmere_web PROPERTIES OUTPUT_NAME quillmere-core SUFFIX .js)

# The site: the page, its scripts, the core, pdf-lib and fontkit (their browser builds, from web/node_modules as
# `npm ci` installs them) and the Liberation Sans files, which go inside a script so the page also works from disk.
set(QUILLMERE_SITE ${CMAKE_BINARY_DIR}/site)
set(QUILLMERE_NODE_MODULES ${CMAKE_SOURCE_DIR}/web/node_modules)
set(QUILLMERE_FONT_FOLDER /usr/share/fonts/truetype/liberation)
# The page's script, as ES modules, each after those it imports.
set(QUILLMERE_MODULES ${CMAKE_SOURCE_DIR}/web/state.js ${CMAKE_SOURCE_DIR}/web/values.js
    ${CMAKE_SOURCE_DIR}/web/fields.js ${CMAKE_SOURCE_DIR}/web/analysis.js ${CMAKE_SOURCE_DIR}/web/match.js
    ${CMAKE_SOURCE_DIR}/web/downloads.js ${CMAKE_SOURCE_DIR}/web/speed.js ${CMAKE_SOURCE_DIR}/web/main.js)
set(QUILLMERE_SITE_FILES ${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_SOURCE_DIR}/web/style.css ${QUILLMERE_MODULES}
    ${CMAKE_SOURCE_DIR}/web/page-device.js ${CMAKE_SOURCE_DIR}/web/offline.js
    ${CMAKE_SOURCE_DIR}/web/manifest.webmanifest ${CMAKE_SOURCE_DIR}/web/icon.svg)
# The same modules as one classic script for a page opened from disk, where a browser loads no module.
add_custom_command(
    OUTPUT ${QUILLMERE_SITE}/page-from-disk.js
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMERE_SITE}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${QUILLMERE_SITE}/page-from-disk.js "-DMODULES=${QUILLMERE_MODULES}"
            -P ${CMAKE_SOURCE_DIR}/cmake/ClassicScript.cmake
    DEPENDS ${QUILLMERE_MODULES} ${CMAKE_SOURCE_DIR}/cmake/ClassicScript.cmake
    VERBATIM)
set(QUILLMERE_VENDOR_FILES ${QUILLMERE_NODE_MODULES}/pdf-lib/dist/pdf-lib.min.js
    ${QUILLMERE_NODE_MODULES}/@pdf-lib/fontkit/dist/fontkit.umd.min.js)
foreach(vendor IN LISTS QUILLMERE_VENDOR_FILES)
    if(NOT EXISTS ${vendor})
        message(FATAL_ERROR "${vendor} is missing: run 'npm ci' in web/ (scripts/build-web.sh does)")
    endif()
endforeach()
add_custom_command(
    OUTPUT ${QUILLMERE_SITE}/fonts.js
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMERE_SITE}
    COMMAND sh -c "printf 'window.QuillmereFonts = {regular: \"%s\", italic: \"%s\", bold: \"%s\"};\\n' \
        \"$(base64 -w0 ${QUILLMERE_FONT_FOLDER}/LiberationSans-Regular.ttf)\" \
        \"$(base64 -w0 ${QUILLMERE_FONT_FOLDER}/LiberationSans-Italic.ttf)\" \
        \"$(base64 -w0 ${QUILLMERE_FONT_FOLDER}/LiberationSans-Bold.ttf)\" > ${QUILLMERE_SITE}/fonts.js"
    DEPENDS ${QUILLMERE_FONT_FOLDER}/LiberationSans-Regular.ttf ${QUILLMERE_FONT_FOLDER}/LiberationSans-Italic.ttf
            ${QUILLMERE_FONT_FOLDER}/LiberationSans-Bold.ttf
    VERBATIM)
# The icons a phone puts on its home screen, drawn from the one icon.svg.
find_program(QUILLMERE_RSVG_CONVERT rsvg-convert REQUIRED)
set(QUILLMERE_ICONS ${QUILLMERE_SITE}/icon-192.png ${QUILLMERE_SITE}/icon-512.png)
add_custom_command(
    OUTPUT ${QUILLMERE_ICONS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMERE_SITE}
    COMMAND ${QUILLMERE_RSVG_CONVERT} -w 192 -h 192 -o ${QUILLMERE_SITE}/icon-192.png ${CMAKE_SOURCE_DIR}/web/icon.svg
    COMMAND ${QUILLMERE_RSVG_CONVERT} -w 512 -h 512 -o ${QUILLMERE_SITE}/icon-512.png ${CMAKE_SOURCE_DIR}/web/icon.svg
    DEPENDS ${CMAKE_SOURCE_DIR}/web/icon.svg
    VERBATIM)
add_custom_target(site ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLMERE_SITE}/vendor
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLMERE_SITE_FILES} $<TARGET_FILE:quillmere_web> ${QUILLMERE_SITE}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLMERE_VENDOR_FILES} ${QUILLMERE_SITE}/vendor
    # Last, so that it lists and digests the files as they now are.
    COMMAND ${CMAKE_COMMAND} -DSITE=${QUILLMERE_SITE} -DTEMPLATE=${CMAKE_SOURCE_DIR}/web/service-worker.js.in
            -P ${CMAKE_SOURCE_DIR}/cmake/ServiceWorker.cmake
    DEPENDS ${QUILLMERE_SITE_FILES} ${QUILLMERE_VENDOR_FILES} ${QUILLMERE_SITE}/fonts.js ${QUILLMERE_ICONS}
            ${QUILLMERE_SITE}/page-from-disk.js
            ${CMAKE_SOURCE_DIR}/web/service-worker.js.in ${CMAKE_SOURCE_DIR}/cmake/ServiceWorker.cmake quillmere_web
    COMMENT "Site in ${QUILLMERE_SITE}")
