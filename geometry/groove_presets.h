#pragma once

#include <string_view>

// The groove radius texts that the preset buttons put into the two radius fields.
struct GroovePreset {
    std::string_view Name;
    std::string_view Inner;
    std::string_view Outer;
};

inline constexpr GroovePreset GroovePresets[] = {
    {"din", "57.5", "146.05"},
    {"iec", "60.325", "146.05"},
    {"typical", "63", "145"},
};
