#include "cli/page_commands.h"

#include "app/confirmation_text.h"
#include "app/custom_strobe_layout.h"
#include "cli/field_options.h"
#include "cli/page_options.h"
#include "geometry/alignment.h"
#include "geometry/control_ids.h"
#include "geometry/windows_1252.h"
#include "print/cairo/output_file.h"
#include "print/custom_strobe_fields.h"
#include "print/printouts.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string_view>

namespace {

constexpr std::string_view PageFileNote =
    "The file is written completely or not at all: an existing file is replaced only by a complete one, and a\n"
    "full disk leaves the old file as it was (exit code 1). A symlink stays a link to the new file; a device or\n"
    "FIFO is written into. With -o - the page goes to standard output (the ten lines of arc to stderr).";

struct ArcOptions {
    FieldOptions Fields;
    PageOptions Page;
};

struct StrobeOptions {
    FieldOptions Fields;
    PageOptions Page;
    std::optional<std::string> Mains;
    std::optional<std::string> OuterBars, InnerBars, Caption1, Caption2;
};

struct CustomOption {
    std::string_view Option;
    std::optional<std::string> StrobeOptions::*Member;
    int Control;
    std::string_view Help;
};

// The custom strobe dialog's four fields as options; the dialog's initial texts are the defaults.
// clang-format off
constexpr CustomOption CustomOptions[] = {
    {"outer-bars", &StrobeOptions::OuterBars, ControlId::OuterBarsField,
     "custom disk: bars in the outer ring (default 216, at most 10000)"},
    {"inner-bars", &StrobeOptions::InnerBars, ControlId::InnerBarsField,
     "custom disk: bars in the inner ring (default 160, at most 10000)"},
    {"caption1", &StrobeOptions::Caption1, ControlId::Caption1Field,
     "custom disk: first caption line, centred in 36 characters\n(default \"33 1/3 RPM - 60 HZ - 216 BARS\")"},
    {"caption2", &StrobeOptions::Caption2, ControlId::Caption2Field,
     "custom disk: second caption line (default \"45 RPM - 60 HZ - 160 BARS\")"},
};
// clang-format on

class CustomStrobeFieldTable : public FieldTextTable {
public:
    // The dialog's initial texts where an option is left out.
    explicit CustomStrobeFieldTable(const StrobeOptions& options) : FieldTextTable(InitialCustomStrobeFields()) {
        for (const CustomOption& option : CustomOptions) {
            if (const std::optional<std::string>& text = options.*option.Member) {
                Texts[option.Control] = Utf8ToWindows1252(*text);
            }
        }
    }
};

bool AsksForCustomDisk(const StrobeOptions& options) {
    return std::any_of(std::begin(CustomOptions), std::end(CustomOptions),
                       [&](const CustomOption& option) { return (options.*option.Member).has_value(); });
}

int RunArc(const ArcOptions& options) {
    const FieldTable table = FieldTableFromOptions(options.Fields, std::cerr);
    const FilePrinterSettings settings = PageSettingsFromOptions(options.Page, "arc-template");
    SetColoursFromOptions(options.Page);
    ReadAndComputeAlignment(table);
    // A page on standard output keeps the stream clean: the lines go to stderr then.
    std::ostream& lines = IsStandardOutput(settings.Path) ? std::cerr : std::cout;
    lines << Windows1252ToUtf8(ConfirmationText(Parameters)) << '\n' << std::flush;
    WriteOrPrintPage(options.Page, settings, true, "Arc alignment template", PrintArcTemplate);
    return lines ? 0 : 1;
}

int RunStrobe(const StrobeOptions& options) {
    const bool fifty = options.Mains == "50";
    const bool custom = AsksForCustomDisk(options);
    if (custom && options.Mains) {
        throw UsageError("--mains cannot be combined with a custom disk's options");
    }
    const FieldTable table = FieldTableFromOptions(options.Fields, std::cerr);
    const CustomStrobeFieldTable customFields(options);
    if (custom && !BarCountsWithinLimit(customFields)) {
        throw UsageError(std::string(BarCountRefusal));
    }
    const std::string_view name = custom ? "strobe-custom" : fifty ? "strobe-50hz" : "strobe-60hz";
    const FilePrinterSettings settings = PageSettingsFromOptions(options.Page, name);
    SetColoursFromOptions(options.Page);
    // Only the correction factors matter to the disk; the rest of the table keeps the window's defaults.
    ReadAndComputeAlignment(table);
    const std::string blank(CaptionLength, ' ');
    WriteOrPrintPage(options.Page, settings, false, "Strobe disk", [&] {
        if (custom) {
            ReadCustomStrobeFields(customFields);
            PrintStrobeDisk(CustomOuterBars, CustomInnerBars, CustomCaption1, CustomCaption2);
        } else if (fifty) {
            PrintStrobeDisk(180, 133, blank, blank);
        } else {
            PrintStrobeDisk(216, 160, blank, blank);
        }
    });
    return 0;
}

} // namespace

ToolCommand AddArcCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(
        tool, "arc", "write the arc alignment template at full scale on one landscape page (default arc-template.pdf)");
    auto options = std::make_shared<ArcOptions>();
    AddFieldOptions(*command, options->Fields);
    AddPageOptions(*command, options->Page, "arc-template.pdf");
    command->footer(std::string(FieldReadingNote) + "\n" + std::string(PageFileNote));
    return {command, [options] { return RunArc(*options); }};
}

ToolCommand AddStrobeCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(
        tool, "strobe", "write a stroboscope disk at full scale on one portrait page (default strobe-60hz.pdf)");
    auto options = std::make_shared<StrobeOptions>();
    command->add_option("--mains", options->Mains, "mains frequency of the lighting, in Hz (default 60)")
        ->option_text("60|50")
        ->transform(ChoiceOf({{"60"}, {"50"}, {"60hz", "60"}, {"50hz", "50"}}))
        ->group("Disk options");
    for (const CustomOption& option : CustomOptions) {
        command->add_option("--" + std::string(option.Option), (*options).*option.Member, std::string(option.Help))
            ->option_text(option.Option.starts_with("caption") ? "TEXT" : "N")
            ->group("Disk options");
    }
    AddCorrectionOptions(*command, options->Fields);
    AddPageOptions(*command, options->Page, "strobe-60hz.pdf, strobe-50hz.pdf or strobe-custom.pdf");
    command->footer("Counts are read like the other numbers and rounded; 0 or less leaves a ring without bars.\n" +
                    std::string(FieldReadingNote) + "\n" + std::string(PageFileNote));
    return {command, [options] { return RunStrobe(*options); }};
}
