# The Windows program: the Win32 files of windows/ on its portable half, and the resources.
file(GLOB QUILLMERE_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/windows/*_win32.cpp)
if(QUILLMERE_WIN32_SOURCES)
    enable_language(RC)
    add_executable(quillmere WIN32 ${QUILLMERE_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/resources/quillmere.rc)
    target_link_libraries(quillmere PRIVATE quillmere_windows_portable comdlg32 gdi32 user32 kernel32 winspool)
    # Fully static: the posix-thread runtime would otherwise bring libwinpthread-1.dll along.
    target_link_options(quillmere PRIVATE -municode -static-libgcc -static-libstdc++ -static -mwindows)
    set_target_properties(quillmere PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} OUTPUT_NAME quillmere)
endif()
