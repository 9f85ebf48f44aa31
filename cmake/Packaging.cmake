# Installing and packing: `cmake --install` and `cpack` give a Debian package of the Linux tool, and a ZIP of
# the Windows program with its README.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tone-arm alignment: computes an alignment and prints full-scale templates")
set(CPACK_PACKAGE_CONTACT "Quillmere developers <quillmere@invalid.invalid>")
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# RelWithDebInfo builds carry debug information; users need none of it.
set(CPACK_STRIP_FILES ON)

if(WIN32)
    # The ZIP holds the program and its README side by side, nothing to install.
    if(TARGET quillmere)
        install(TARGETS quillmere RUNTIME DESTINATION .)
    endif()
    install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "*.png")
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "quillmere-${PROJECT_VERSION}-windows-x86_64")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    if(QUILLMERE_TESTS AND TARGET quillmere)
        add_test(NAME windows.zip_package
                 COMMAND ${CMAKE_SOURCE_DIR}/tests/cli/zip-package-test.sh ${CMAKE_BINARY_DIR})
        set_tests_properties(windows.zip_package PROPERTIES LABELS windows TIMEOUT 300)
    endif()
else()
    if(TARGET quillmere)
        install(TARGETS quillmere RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()

    # man finds pages compressed; Debian wants them so and reproducible (-n: no name or time stamp inside).
    set(QUILLMERE_MAN_PAGE ${CMAKE_BINARY_DIR}/quillmere.1.gz)
    add_custom_command(OUTPUT ${QUILLMERE_MAN_PAGE}
        COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/docs/quillmere.1 > ${QUILLMERE_MAN_PAGE}
        DEPENDS ${CMAKE_SOURCE_DIR}/docs/quillmere.1
        COMMENT "Compressing the man page"
        VERBATIM)
    add_custom_target(quillmere_man_page ALL DEPENDS ${QUILLMERE_MAN_PAGE})
    install(FILES ${QUILLMERE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    # The README shows the pages through pictures kept beside it in docs/.
    # Debian's place is named after the package, not after the project.
    set(QUILLMERE_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillmere)
    install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${QUILLMERE_DOC_DIR})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${QUILLMERE_DOC_DIR}/docs FILES_MATCHING PATTERN "*.png")

    # Debian's copyright file (machine-readable format) carries the licence text of LICENSE, and the changelog
    # of a native package is changelog.gz beside it, compressed like the man page.
    file(READ ${CMAKE_SOURCE_DIR}/LICENSE QUILLMERE_LICENSE_TEXT)
    string(REGEX REPLACE "^MIT License\n\nCopyright \\(c\\) [^\n]*\n\n" "" QUILLMERE_LICENSE_TEXT
                         "${QUILLMERE_LICENSE_TEXT}")
    string(REGEX REPLACE "\n$" "" QUILLMERE_LICENSE_TEXT "${QUILLMERE_LICENSE_TEXT}")
    string(REGEX REPLACE "\n\n" "\n.\n" QUILLMERE_LICENSE_TEXT "${QUILLMERE_LICENSE_TEXT}")
    string(REGEX REPLACE "\n" "\n " QUILLMERE_LICENSE_TEXT "${QUILLMERE_LICENSE_TEXT}")
    file(WRITE ${CMAKE_BINARY_DIR}/copyright
         "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
         "Upstream-Name: quillmere\n"
         "Upstream-Contact: ${CPACK_PACKAGE_CONTACT}\n\n"
         "Files: *\n"
         "Copyright: 2026 The Quillmere developers\n"
         "License: Expat\n"
         " ${QUILLMERE_LICENSE_TEXT}\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
    install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${QUILLMERE_DOC_DIR})
    set(QUILLMERE_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${QUILLMERE_CHANGELOG}
        COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${QUILLMERE_CHANGELOG}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
        COMMENT "Compressing the changelog"
        VERBATIM)
    add_custom_target(quillmere_changelog ALL DEPENDS ${QUILLMERE_CHANGELOG})
    install(FILES ${QUILLMERE_CHANGELOG} DESTINATION ${QUILLMERE_DOC_DIR})

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_PACKAGE_DESCRIPTION "Quillmere computes the null radii, effective length, overhang and offset\n\
angle of a tone arm for Loefgren A, Loefgren B or Stevenson A alignment and writes\n\
an arc alignment template and stroboscope disks at exact full scale as PDF, SVG\n\
or PNG, or prints them through CUPS without scaling.")
    # The linked libraries (cairo, fontconfig, libstdc++) come from dpkg-shlibdeps. It cannot see the two things
    # found at run time: the fonts, by name through fontconfig, and CUPS's library, loaded when a page is printed
    # (1.7 brought httpConnect2, the newest function the tool uses).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libcups2 (>= 1.7.0), libsndfile1 (>= 1.0.31)")
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, poppler-utils")
endif()

include(CPack)
