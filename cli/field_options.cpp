#include "cli/field_options.h"

#include "geometry/confirmation_text.h"
#include "settings/page_warnings.h"
#include "windows/window_alignment.h"
#include "windows/control_ids.h"
#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <memory>
#include <ostream>

namespace {

struct NumberField {
    std::string_view Option;
    std::optional<std::string> FieldOptions::*Member;
    int Control;
    std::string_view Help;
};

// clang-format off
constexpr NumberField LengthFields[] = {
    {"spindle-to-pivot", &FieldOptions::SpindleToPivot, ControlId::SpindleToPivotField,
     "distance from the platter spindle to the arm's pivot, in mm (default 209)"},
    {"inner-radius", &FieldOptions::InnerRadius, ControlId::InnerGrooveField,
     "radius of the innermost groove, in mm (default 57.5)"},
    {"outer-radius", &FieldOptions::OuterRadius, ControlId::OuterGrooveField,
     "radius of the outermost groove, in mm (default 146.05)"},
};
constexpr NumberField CorrectionFields[] = {
    {"correction-x", &FieldOptions::CorrectionX, ControlId::CorrectionXField,
     "printer correction factor across the page (default 1.0):\nthe 200 mm you ask for divided by the 200 mm "
     "you measure"},
    {"correction-y", &FieldOptions::CorrectionY, ControlId::CorrectionYField,
     "printer correction factor down the page (default 1.0);\nalso scales the lettering"},
};
// clang-format on

} // namespace

const std::string_view FieldReadingNote =
    "Numbers: '.' is the decimal point and reading stops at the first character that does not belong to the\n"
    "number (\"57,5\" reads as 57, with a warning), as the Windows program reads its fields.";

namespace {

void AddNumberFields(CLI::App& command, FieldOptions& options, std::span<const NumberField> fields,
                     std::string_view valueName) {
    for (const NumberField& field : fields) {
        command.add_option("--" + std::string(field.Option), options.*field.Member, std::string(field.Help))
            ->option_text(std::string(valueName))
            ->group("Field options");
    }
}

constexpr int GeometryButtons[] = {ControlId::LofgrenAButton, ControlId::LofgrenBButton, ControlId::StevensonAButton};
constexpr std::string_view GeometryNames[] = {"lofgren-a", "lofgren-b", "stevenson-a"};

} // namespace

void AddCorrectionOptions(CLI::App& command, FieldOptions& options) {
    AddNumberFields(command, options, CorrectionFields, "FACTOR");
    AddStrictOption(command, options.Strict);
}

void AddFieldOptions(CLI::App& command, FieldOptions& options) {
    AddNumberFields(command, options, LengthFields, "MM");
    std::vector<ChoiceName> presets;
    for (const GroovePreset& preset : GroovePresets) {
        presets.push_back({preset.Name});
    }
    command
        .add_option("--preset", options.Preset,
                    "groove radii of a standard: din 57.5/146.05 mm, iec 60.325/146.05 mm,\n"
                    "typical 63/145 mm; an explicit --inner-radius or --outer-radius wins")
        ->option_text("din|iec|typical")
        ->transform(ChoiceOf(presets))
        ->group("Field options");
    command
        .add_option("--geometry", options.Geometry,
                    "alignment geometry: lofgren-a (default; also called baerwald),\nlofgren-b or stevenson-a")
        ->option_text("NAME")
        ->transform(ChoiceOf({{"lofgren-a"}, {"lofgren-b"}, {"stevenson-a"}, {"baerwald", "lofgren-a"}}))
        ->group("Field options");
    AddCorrectionOptions(command, options);
    command.add_option("--id", options.Id, "arm or turntable name for the title (first 40 characters)")
        ->option_text("TEXT")
        ->group("Field options");
}

FieldTable FieldTableFromOptions(const FieldOptions& options, std::vector<std::string>& warnings) {
    FieldTable table;
    if (options.Preset) {
        const auto it = std::find_if(std::begin(GroovePresets), std::end(GroovePresets),
                                     [&](const GroovePreset& p) { return p.Name == *options.Preset; });
        if (it != std::end(GroovePresets)) {
            table.SetText(ControlId::InnerGrooveField, std::string(it->Inner));
            table.SetText(ControlId::OuterGrooveField, std::string(it->Outer));
        }
    }
    for (const auto& fields :
         {std::span<const NumberField>(LengthFields), std::span<const NumberField>(CorrectionFields)}) {
        for (const NumberField& field : fields) {
            if (const std::optional<std::string>& text = options.*field.Member) {
                if (const std::optional<std::string> warning = NumberReadingWarning(*text)) {
                    warnings.push_back("--" + std::string(field.Option) + " " + *warning);
                }
                table.SetText(field.Control, Utf8ToWindows1252(*text));
            }
        }
    }
    for (std::size_t i = 0; options.Geometry && i < std::size(GeometryNames); ++i) {
        if (GeometryNames[i] == *options.Geometry) {
            table.CheckOnly(GeometryButtons[i]);
        }
    }
    if (options.Id) {
        table.SetText(ControlId::ArmIdField, Utf8ToWindows1252(*options.Id));
    }
    return table;
}

ToolCommand AddValuesCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "values", "compute the alignment and print its ten values");
    auto options = std::make_shared<FieldOptions>();
    AddFieldOptions(*command, *options);
    command->footer(std::string(FieldReadingNote));
    return {command, [options] {
                std::vector<std::string> warnings;
                const FieldTable table = FieldTableFromOptions(*options, warnings);
                ParameterRecord record{};
                ReadAndComputeAlignment(table, record);
                for (const auto& more : {AlignmentWarnings(record), CorrectionFactorWarnings(record)}) {
                    warnings.insert(warnings.end(), more.begin(), more.end());
                }
                if (ReportWarnings(warnings, options->Strict)) {
                    return 2;
                }
                std::cout << Windows1252ToUtf8(ConfirmationText(record)) << '\n';
                return std::cout.flush() ? 0 : 1;
            }};
}
