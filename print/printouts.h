#pragma once

#include <cstdint>
#include <string>

inline constexpr std::size_t CaptionLength = 36;

// The arc alignment template from the parameter record: one landscape page.
void PrintArcTemplate();
// A stroboscope disk: one portrait page. Captions are 36-byte fixed texts, printed only for a custom disk.
void PrintStrobeDisk(std::int32_t outerBars, std::int32_t innerBars, const std::string& captionLine1,
                     const std::string& captionLine2);
