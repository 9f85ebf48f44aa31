#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program's texts are Windows-1252 bytes; these convert at the platform boundary.
std::string Windows1252ToUtf8(std::string_view text);
// Characters that Windows-1252 lacks become "?"; malformed UTF-8 bytes too.
std::string Utf8ToWindows1252(std::string_view text);
std::u16string Windows1252ToUtf16(std::string_view text);
std::string Utf16ToWindows1252(std::u16string_view text);

// The code point of the UTF-8 sequence at `at` and its length in bytes; a byte that starts no valid sequence is
// itself, with length 1 and `Valid` false.
struct Utf8CodePoint {
    char32_t Value = 0;
    std::size_t Length = 1;
    bool Valid = true;
};
Utf8CodePoint Utf8CodePointAt(std::string_view text, std::size_t at);
