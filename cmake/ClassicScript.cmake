# Writes the page's ES modules as one classic script: a page opened from disk has no origin to load modules from,
# so there the browser runs this instead. The modules import only each other, each on one line at the top, and are
# given here in an order where each comes after those it imports.
# cmake -DOUTPUT=... -DMODULES="a.js;b.js" -P ClassicScript.cmake
set(script "'use strict';\n// The page's modules as one script, for a page opened from disk; made by the build.\n(async function () {\n")
foreach(module IN LISTS MODULES)
    file(STRINGS ${module} lines ENCODING UTF-8)
    get_filename_component(name ${module} NAME)
    string(APPEND script "// ${name}\n")
    foreach(line IN LISTS lines)
        if(line MATCHES "^import ")
            continue()
        endif()
        string(REGEX REPLACE "^export " "" line "${line}")
        string(APPEND script "${line}\n")
    endforeach()
endforeach()
string(APPEND script "})();\n")
file(WRITE ${OUTPUT} "${script}")
