#pragma once

#include <string>
#include <string_view>

// The program's texts are Windows-1252 bytes; these convert at the platform boundary.
std::string Windows1252ToUtf8(std::string_view text);
// Characters that Windows-1252 lacks become "?"; malformed UTF-8 bytes too.
std::string Utf8ToWindows1252(std::string_view text);
std::u16string Windows1252ToUtf16(std::string_view text);
std::string Utf16ToWindows1252(std::u16string_view text);
