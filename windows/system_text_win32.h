#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The program's 8-bit texts are in the system code page; the platform's windows speak UTF-16.
std::wstring SystemTextToWide(std::string_view text);
std::string WideToSystemText(std::wstring_view text);
// A window's text in the program's 8-bit text.
std::string WindowSystemText(HWND window);
