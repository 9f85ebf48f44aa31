// The groove presets as the tool and the page read them: each one's radii reach the alignment, and each one's help
// names the standard its figures come from. The Windows program's three buttons keep the first three.
#include "geometry/groove_presets.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct PresetCase {
    std::string Name;
    double Inner;
    double Outer;
    // Each source the help must name.
    std::vector<std::string> Sources;
};

TEST(GroovePresets, EachPresetGivesItsRadiiAndNamesItsSource) {
    const PresetCase cases[] = {
        {"DIN", 57.5, 146.05, {"DIN"}},
        {"iec", 60.325, 146.05, {"IEC"}},
        {"Typical", 63, 145, {"12-inch"}},
        {"7-INCH", 53.0, 84.15, {"JIS S8502", "106 mm", "IEC 60098", "168.3 mm"}},
        {"10 inch", 57.6, 120.9, {"JIS S8502", "115.2 mm", "IEC 60098", "241.8 mm"}},
        {"JIS", 57.6, 146.3, {"JIS S8502", "115.2 mm", "IEC 60098", "292.6 mm"}},
    };
    ASSERT_EQ(std::size(GroovePresets), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const PresetCase& expected = cases[i];
        SCOPED_TRACE(expected.Name);
        // Read as the user would ask for it, in any case: the radii reach the computed alignment.
        const SettingsReport report = ReadSettings(SettingsCommand::Values, {{"preset", expected.Name}}, {});
        ASSERT_FALSE(report.Refused()) << report.Refusals.front().Message;
        EXPECT_EQ(report.Alignment.Inputs.InnerGrooveRadius, expected.Inner);
        EXPECT_EQ(report.Alignment.Inputs.OuterGrooveRadius, expected.Outer);
        // Twice the radius is the diameter a standard gives.
        const std::string help(GroovePresets[i].Help);
        for (const std::string& source : expected.Sources) {
            EXPECT_NE(help.find(source), std::string::npos) << help;
        }
    }
}

// The geometry follows the radii: the nulls of Löfgren A lie inside the single's grooves, and UNI-DIN's fixed ones
// stay as published whatever the records.
TEST(GroovePresets, TheNullPointsFollowTheChosenRadii) {
    for (const GroovePreset& preset : GroovePresets) {
        SCOPED_TRACE(std::string(preset.Name));
        const SettingsReport lofgren =
            ReadSettings(SettingsCommand::Values, {{"preset", std::string(preset.Name)}}, {});
        EXPECT_GT(lofgren.Alignment.Values.InnerNullRadius, lofgren.Alignment.Inputs.InnerGrooveRadius);
        EXPECT_LT(lofgren.Alignment.Values.OuterNullRadius, lofgren.Alignment.Inputs.OuterGrooveRadius);
        const SettingsReport uniDin =
            ReadSettings(SettingsCommand::Values, {{"preset", std::string(preset.Name)}, {"geometry", "UNI-DIN"}}, {});
        ASSERT_FALSE(uniDin.Refused());
        EXPECT_EQ(uniDin.Alignment.Values.InnerNullRadius, 63.3);
        EXPECT_EQ(uniDin.Alignment.Values.OuterNullRadius, 112.5);
        // The 7-inch single ends at 84.15 mm, well inside UNI-DIN's outer null point.
        const auto outside = std::count_if(uniDin.Warnings.begin(), uniDin.Warnings.end(),
                                           [](const SettingNotice& w) { return w.Code == "null-outside-grooves"; });
        EXPECT_EQ(outside, 112.5 > uniDin.Alignment.Inputs.OuterGrooveRadius ? 1 : 0);
    }
}

} // namespace
