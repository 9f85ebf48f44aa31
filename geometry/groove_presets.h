#pragma once

#include <string_view>

// The groove radius texts that the preset buttons put into the two radius fields. The Windows program's three
// buttons take the first three; the others are for the Linux tool and the page, whose records are not all 12-inch
// LPs.
struct GroovePreset {
    std::string_view Name;
    std::string_view Inner;
    std::string_view Outer;
    // How a chart's title names the records ("DIN", "7-inch").
    std::string_view Title = "";
    // What records the radii are for and where they come from.
    std::string_view Help = "";
};

// clang-format off
inline constexpr GroovePreset GroovePresets[] = {
    {"din", "57.5", "146.05", "DIN", "12-inch LPs, the DIN standard's groove radii"},
    {"iec", "60.325", "146.05", "IEC", "12-inch LPs, the IEC standard's groove radii"},
    {"typical", "63", "145", "typical", "12-inch LPs as most are cut: music from 145 to 63 mm"},
    // IEC 60098 (1987) gives the outer diameter of the recorded surface (168.3, 241.8 and 292.6 mm), JIS S8502 the
    // least diameter of the end of the music (106 mm on 17 cm, 115.2 mm on 25 and 30 cm records).
    {"7-inch", "53.0", "84.15", "7-inch",
     "7-inch singles (17 cm): inner 53.0 mm from JIS S8502 (music ends at 106 mm across or more), outer 84.15 mm "
     "from IEC 60098 (168.3 mm across)"},
    {"10-inch", "57.6", "120.9", "10-inch",
     "10-inch records (25 cm): inner 57.6 mm from JIS S8502 (115.2 mm across), outer 120.9 mm from IEC 60098 "
     "(241.8 mm across)"},
    {"jis", "57.6", "146.3", "JIS",
     "12-inch LPs (30 cm) to the Japanese standard: inner 57.6 mm from JIS S8502 (115.2 mm across), outer 146.3 mm "
     "from IEC 60098 (292.6 mm, inside JIS S8502's 293 mm)"},
};
// clang-format on
