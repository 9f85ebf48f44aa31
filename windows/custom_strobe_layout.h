#pragma once

#include "windows/main_window_layout.h"
#include "windows/field_reader.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::string_view CustomStrobeCaption = "Custom Strobe Parameters";
inline constexpr std::size_t CustomStrobeControlCount = 10;

// In creation order, which is also the keyboard focus order.
extern const std::array<ControlRow, CustomStrobeControlCount> CustomStrobeControls;

DialogHeader CustomStrobeHeader();
std::vector<std::uint8_t> CustomStrobeTemplate();

// The most bars a ring may have: beyond it a disk takes minutes to print and its bars are thinner than any
// printer's dot, so such counts are refused before anything is stored.
inline constexpr std::int32_t MaximumBarCount = 10000;
inline constexpr std::string_view BarCountRefusal = "The number of bars must be 10000 or less.";

// The first count field (outer, then inner) whose count, read as the dialog reads it, is beyond the limit; 0 when
// both are within it.
int BarCountBeyondLimit(const FieldReader& dialog);
// Whether both counts in the dialog are within the limit.
bool BarCountsWithinLimit(const FieldReader& dialog);
