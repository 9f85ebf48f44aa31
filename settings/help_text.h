#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr std::size_t HelpAboutLineCount = 26;
inline constexpr std::string_view HelpAboutTitle = "Help/About";

// The lines of the help box, as the program's 8-bit text (Windows-1252).
extern const std::array<std::string_view, HelpAboutLineCount> HelpAboutLines;

// The lines joined by a single line feed, none after the last.
std::string HelpAboutText();
