#include "cli/field_options.h"

#include "app/confirmation_text.h"
#include "geometry/alignment.h"
#include "geometry/control_ids.h"
#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <ostream>

namespace {

void WarnIfNotReadInFull(std::string_view option, const std::string& text, std::ostream& warnings) {
    if (const std::optional<std::string> readsAs = PartlyReadNumber(text)) {
        warnings << "warning: --" << option << " \"" << text << "\" reads as " << *readsAs << '\n';
    }
}

} // namespace

void AddCorrectionOptionSpecs(std::vector<OptionSpec>& specs) {
    specs.push_back({"correction-x"});
    specs.push_back({"correction-y"});
}

void AddFieldOptionSpecs(std::vector<OptionSpec>& specs) {
    for (std::string_view name : {"spindle-to-pivot", "inner-radius", "outer-radius", "preset", "geometry", "id"}) {
        specs.push_back({name});
    }
    AddCorrectionOptionSpecs(specs);
}

FieldTable FieldTableFromOptions(const ParsedOptions& options, std::ostream& warnings) {
    FieldTable table;
    if (const std::string* preset = options.Find("preset")) {
        const auto it = std::find_if(std::begin(GroovePresets), std::end(GroovePresets),
                                     [&](const GroovePreset& p) { return p.Name == *preset; });
        if (it == std::end(GroovePresets)) {
            throw UsageError("--preset must be din, iec or typical, not '" + *preset + "'");
        }
        table.SetText(ControlId::InnerGrooveField, std::string(it->Inner));
        table.SetText(ControlId::OuterGrooveField, std::string(it->Outer));
    }
    for (const NamedControl& field : NamedNumberFields) {
        if (const std::string* text = options.Find(field.Name)) {
            WarnIfNotReadInFull(field.Name, *text, warnings);
            table.SetText(field.Control, Utf8ToWindows1252(*text));
        }
    }
    if (const std::string* geometry = options.Find("geometry")) {
        const int button = ControlNamed(NamedGeometries, *geometry);
        if (button == 0) {
            throw UsageError("--geometry must be lofgren-a, lofgren-b or stevenson-a, not '" + *geometry + "'");
        }
        table.CheckOnly(button);
    }
    if (const std::string* id = options.Find("id")) {
        table.SetText(ControlId::ArmIdField, Utf8ToWindows1252(*id));
    }
    return table;
}

std::string CorrectionOptionsHelp() {
    return "  --correction-x TEXT       printer correction factor across (default 1.0)\n"
           "  --correction-y TEXT       printer correction factor down, also scales the lettering (default 1.0)\n";
}

std::string FieldOptionsHelp() {
    return "  --spindle-to-pivot TEXT   spindle to pivot distance in mm (default 209)\n"
           "  --inner-radius TEXT       inner groove radius in mm (default 57.5)\n"
           "  --outer-radius TEXT       outer groove radius in mm (default 146.05)\n"
           "  --preset din|iec|typical  groove radii 57.5/146.05, 60.325/146.05 or 63/145; an explicit radius wins\n"
           "  --geometry NAME           lofgren-a (default, also known as Baerwald), lofgren-b or stevenson-a\n" +
           CorrectionOptionsHelp() +
           "  --id TEXT                 arm or turntable ID for the title (first 40 characters)\n"
           "Numbers are read as the window reads them: '.' is the decimal point and reading stops at the first\n"
           "character that does not belong to the number (\"57,5\" reads as 57, with a warning).\n";
}

int RunValuesCommand(std::span<const std::string> args) {
    std::vector<OptionSpec> specs;
    AddFieldOptionSpecs(specs);
    const ParsedOptions options = ParseOptions(args, specs);
    if (options.Has("help")) {
        std::cout << "Usage: quillmere values [FIELD OPTIONS]\n"
                     "Computes the alignment and prints the ten confirmation lines.\n\n"
                     "Field options:\n"
                  << FieldOptionsHelp();
        return 0;
    }
    const FieldTable table = FieldTableFromOptions(options, std::cerr);
    ReadAndComputeAlignment(table);
    const std::string text = Windows1252ToUtf8(ConfirmationText(Parameters));
    std::cout << text << '\n';
    return std::cout.flush() ? 0 : 1;
}
