# The main window under Wine: a driver program starts quillmere.exe on a private display and checks it.
if(TARGET quillmere)
    add_executable(main_window_driver ${CMAKE_CURRENT_LIST_DIR}/main_window_driver_win32.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/print_dialog_win32.cpp)
    target_link_libraries(main_window_driver PRIVATE quillmere_core user32 gdi32)
    target_link_options(main_window_driver PRIVATE -municode -static-libgcc -static-libstdc++ -static)

    set(QUILLMERE_E2E_RUN ${CMAKE_BINARY_DIR}/e2e/main_window)
    set(QUILLMERE_E2E_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/e2e-run.sh)
    add_test(NAME windows.main_window.prefix COMMAND ${QUILLMERE_E2E_SCRIPT} prepare ${QUILLMERE_E2E_RUN})
    set_tests_properties(windows.main_window.prefix PROPERTIES
        LABELS windows FIXTURES_SETUP main_window_prefix RESOURCE_LOCK wineprefix TIMEOUT 180)
    foreach(check layout tab_order fresh_start presets help confirmation closing custom_strobe print_without_printer focus)
        add_test(NAME windows.main_window.${check}
                 COMMAND ${QUILLMERE_E2E_SCRIPT} run ${QUILLMERE_E2E_RUN}
                         $<TARGET_FILE:main_window_driver> $<TARGET_FILE:quillmere> ${check})
        set_tests_properties(windows.main_window.${check} PROPERTIES
            LABELS windows FIXTURES_REQUIRED main_window_prefix RESOURCE_LOCK wineprefix TIMEOUT 300)
    endforeach()
endif()

# Every print command through Wine's print dialog into a private CUPS queue, each page measured.
if(TARGET quillmere)
    add_test(NAME windows.main_window.printing
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/main_window_print_test.sh $<TARGET_FILE:main_window_driver>
                     $<TARGET_FILE:quillmere> ${CMAKE_BINARY_DIR}/e2e/main_window_printing)
    set_tests_properties(windows.main_window.printing PROPERTIES LABELS windows RESOURCE_LOCK wineprefix TIMEOUT 600)
endif()

# Unreasonable input typed into the window, through the print dialog to pages that must render; the window
# still answers afterwards and ends normally. One prefix and one cupsd for the whole group.
if(TARGET quillmere)
    add_test(NAME windows.main_window.bad_input_printing
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/main_window_print_test.sh $<TARGET_FILE:main_window_driver>
                     $<TARGET_FILE:quillmere> ${CMAKE_BINARY_DIR}/e2e/main_window_bad_input bad_input)
    set_tests_properties(windows.main_window.bad_input_printing PROPERTIES
        LABELS windows RESOURCE_LOCK wineprefix TIMEOUT 400)
endif()
