#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The arm or turntable ID as the template's title holds it: exactly this many bytes.
inline constexpr std::size_t ArmIdLength = 40;

// Cut to `length` bytes or fill with blanks (0x20) to exactly `length` bytes.
std::string FixedLengthText(std::string_view text, std::size_t length);
