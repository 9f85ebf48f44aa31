#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view LengthMask = "###.000";
inline constexpr std::string_view AngleMask = "###.000\\\xB0";

// Reads a number from field text; never fails (text that is not a number reads as 0).
double TextToNumber(std::string_view text);
// The same reading; `consumed` receives how many characters of the text took part in it (0 when none did).
double TextToNumber(std::string_view text, std::size_t& consumed);
// Where reading a number text stops before its end or finds no number at all: what the text reads as (the
// shortest text of the value). Nothing when the whole text is the number (trailing blanks allowed).
std::optional<std::string> PartlyReadNumber(std::string_view text);
// The Linux tool's and the page's reading of a decimal comma: where a text's number has a comma in the place of
// its decimal point ("57,5", ",5", "-3,25e1": after the blanks, the sign and the digits, with a digit after it), the
// same text with a point there; nothing for any other text. The Windows program's fields do not use it, so "57,5"
// reads as 57 there.
std::optional<std::string> DecimalCommaAsPoint(std::string_view text);
// Writes a number through a mask such as "###.000" or "###.000\°" (the degree sign as the byte 0xB0).
std::string FormatNumber(double value, std::string_view mask);
// The shortest text that reads back as the same double ("57", "0.1", "1e+20"), as std::to_chars writes it.
std::string ShortestText(double value);
// Square root of zero and positive values; a negative argument or NaN comes back unchanged.
long double SquareRoot(long double value);
// Nearest 32-bit integer, ties to even; out of range and NaN give -2147483648.
std::int32_t RoundToInteger(double value);
