# Writes the page's ES modules as one classic script: a page opened from disk has no origin to load modules from,
# so there the browser runs this instead. The modules import only each other, each import on a line of its own, and
# are given here in an order where each comes after those it imports.
# cmake -DOUTPUT=... -DMODULES="a.js;b.js" -P ClassicScript.cmake
set(script "'use strict';\n// The page's modules as one script, for a page opened from disk; made by the build.\n(async function () {\n")
foreach(module IN LISTS MODULES)
    file(READ ${module} text)
    get_filename_component(name ${module} NAME)
    string(REGEX REPLACE "\nimport [^\n]*" "" text "\n${text}")
    string(REPLACE "\nexport " "\n" text "${text}")
    string(APPEND script "// ${name}${text}")
endforeach()
string(APPEND script "})();\n")
file(WRITE ${OUTPUT} "${script}")
