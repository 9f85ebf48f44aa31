#pragma once

#include "geometry/control_ids.h"

#include <string_view>

// The groove radius texts that the preset buttons put into the two radius fields.
struct GroovePreset {
    int Button;
    std::string_view Name;
    std::string_view Inner;
    std::string_view Outer;
};

inline constexpr GroovePreset GroovePresets[] = {
    {ControlId::DinButton, "din", "57.5", "146.05"},
    {ControlId::IecButton, "iec", "60.325", "146.05"},
    {ControlId::TypicalButton, "typical", "63", "145"},
};
