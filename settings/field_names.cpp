#include "settings/field_names.h"

#include <array>

namespace {

// clang-format off
constexpr std::array<FieldLabel, 31> Labels = {{
    {"spindle-to-pivot", "Spindle to pivot distance"},
    {"inner-radius", "Inner groove radius"},
    {"outer-radius", "Outer groove radius"},
    {"preset", "Groove radius presets"},
    {"geometry", "Alignment geometry"},
    {"nulls", "Custom null points"},
    {"inner-null", "Inner null point"},
    {"outer-null", "Outer null point"},
    {"exact", "Solved exactly"},
    {"id", "Arm or turntable ID"},
    {"correction-x", "Printer correction factor X"},
    {"correction-y", "Printer correction factor Y"},
    {"paper", "Paper"},
    {"margin", "Printer margin"},
    {"speeds", "Speeds"},
    {"mains", "Mains frequency"},
    {"outer-bars", "Number of outer bars"},
    {"inner-bars", "Number of inner bars"},
    {"caption1", "Caption line 1"},
    {"caption2", "Caption line 2"},
    {"effective-length", "Effective length"},
    {"overhang", "Overhang"},
    {"offset-angle", "Offset angle"},
    {"rpm", "Record speed"},
    {"velocity", "Peak groove velocity"},
    {"effective-mass", "Arm's effective mass"},
    {"cartridge-mass", "Cartridge mass"},
    {"extra-mass", "Screws and extras"},
    {"compliance", "Compliance"},
    {"compliance-at", "Compliance given at"},
    {"rake-change", "Rake angle change"},
}};
// clang-format on

} // namespace

std::span<const FieldLabel> PageFieldLabels() {
    return Labels;
}

std::string FieldNameIn(SettingsForm form, std::string_view field) {
    if (form == SettingsForm::Page) {
        for (const FieldLabel& label : Labels) {
            if (label.Field == field) {
                return std::string(label.Label);
            }
        }
    }
    return "--" + std::string(field);
}
