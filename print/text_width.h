#pragma once

#include <string_view>

// The advance of a text in Arial (and the metric-compatible Liberation Sans that stands in for it), regular
// weight, in ems: what a printout needs to centre or right-align text, since the page model cannot measure.
double ArialTextWidth(std::string_view text);

// Ascent and descent of Arial in ems: the text cell is their sum, the baseline lies the ascent below its top.
inline constexpr double ArialAscent = 1854.0 / 2048.0;
inline constexpr double ArialDescent = 434.0 / 2048.0;
// The height of figures and capitals above the baseline, in ems.
inline constexpr double ArialCapHeight = 1466.0 / 2048.0;
