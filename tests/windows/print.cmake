# Printing on the Windows printer under Wine: a small program draws a test page through the page model
# into a private CUPS queue; the page is rendered with Ghostscript and measured.
add_executable(print_page
    ${CMAKE_CURRENT_LIST_DIR}/print_page_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/print_dialog_win32.cpp
    ${CMAKE_SOURCE_DIR}/windows/gdi_printer_win32.cpp
    ${CMAKE_SOURCE_DIR}/windows/system_text_win32.cpp)
target_link_libraries(print_page PRIVATE quillmere_core comdlg32 gdi32 user32 winspool)
target_link_options(print_page PRIVATE -municode -static-libgcc -static-libstdc++ -static)

add_test(NAME windows.print_page
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/print_page_test.sh $<TARGET_FILE:print_page>
                 ${CMAKE_CURRENT_BINARY_DIR}/print-page-run)
set_tests_properties(windows.print_page PROPERTIES LABELS windows TIMEOUT 300)
