#include "cli/page_commands.h"

#include "geometry/confirmation_text.h"
#include "windows/custom_strobe_layout.h"
#include "settings/page_warnings.h"
#include "cli/field_options.h"
#include "cli/page_options.h"
#include "windows/window_alignment.h"
#include "windows/control_ids.h"
#include "geometry/windows_1252.h"
#include "cli/output_file.h"
#include "windows/custom_strobe_fields.h"
#include "print/printouts.h"
#include "print/strobe_speeds.h"

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
    std::optional<std::string> Mains, Speeds;
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
     "first caption line, for the outer ring, centred in 36\ncharacters (default: made from the ring's "
     "speed or count)"},
    {"caption2", &StrobeOptions::Caption2, ControlId::Caption2Field,
     "second caption line (default: made from the inner ring's speed or\ncount)"},
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
    return options.OuterBars || options.InnerBars;
}

int RunArc(const ArcOptions& options) {
    std::vector<std::string> warnings;
    const FieldTable table = FieldTableFromOptions(options.Fields, warnings);
    const FilePrinterSettings settings = PageSettingsFromOptions(options.Page, "arc-template");
    ParameterRecord record{};
    ReadAndComputeAlignment(table, record);
    for (const auto& more : {AlignmentWarnings(record), CorrectionFactorWarnings(record),
                             PageOptionWarnings(options.Page), ArcTemplateWarnings(PageSetupOf(settings), record)}) {
        warnings.insert(warnings.end(), more.begin(), more.end());
    }
    if (ReportWarnings(warnings, options.Fields.Strict)) {
        return 2;
    }
    // A page on standard output keeps the stream clean: the lines go to stderr then.
    std::ostream& lines = IsStandardOutput(settings.Path) ? std::cerr : std::cout;
    lines << Windows1252ToUtf8(ConfirmationText(record)) << '\n' << std::flush;
    WriteOrPrintPage(options.Page, settings, true, "Arc alignment template", "the 200 mm marks",
                     [&](PrintSurface& surface) { PrintArcTemplate(surface, record); });
    return lines ? 0 : 1;
}

// The disk the options ask for: by speeds, by counts (read as the custom strobe dialog reads them) or built in.
StrobeDiskLayout StrobeDiskOf(const StrobeOptions& options) {
    const int mains = options.Mains == "50" ? 50 : 60;
    if (options.Speeds) {
        return StrobeDiskForSpeeds(ReadPlatterSpeeds(*options.Speeds).Speeds, mains);
    }
    if (AsksForCustomDisk(options)) {
        const CustomStrobeFieldTable customFields(options);
        if (!BarCountsWithinLimit(customFields)) {
            throw UsageError(std::string(BarCountRefusal));
        }
        ReadCustomStrobeFields(customFields);
        return StrobeDiskForCounts(CustomOuterBars, CustomInnerBars);
    }
    return mains == 50 ? StrobeDiskLayout{180, 133, "", "", {}, {}} : StrobeDiskLayout{216, 160, "", "", {}, {}};
}

int RunStrobe(const StrobeOptions& options) {
    const bool custom = AsksForCustomDisk(options);
    if (custom && options.Mains && !options.Speeds) {
        throw UsageError("--mains cannot be combined with a custom disk's counts (use --speeds with --mains)");
    }
    std::vector<std::string> warnings;
    const FieldTable table = FieldTableFromOptions(options.Fields, warnings);
    StrobeDiskLayout disk = StrobeDiskOf(options);
    for (const auto& [given, caption] :
         {std::pair{&options.Caption1, &disk.Caption1}, {&options.Caption2, &disk.Caption2}}) {
        if (*given) {
            *caption = Utf8ToWindows1252(**given);
        }
    }
    const std::string_view name = options.Speeds || custom ? "strobe-custom"
                                  : options.Mains == "50"  ? "strobe-50hz"
                                                           : "strobe-60hz";
    const FilePrinterSettings settings = PageSettingsFromOptions(options.Page, name);
    // Only the correction factors matter to the disk; the rest of the table keeps the window's defaults.
    ParameterRecord record{};
    ReadAndComputeAlignment(table, record);
    for (const auto& more : {CorrectionFactorWarnings(record), PageOptionWarnings(options.Page),
                             StrobeDiskWarnings(PageSetupOf(settings), record, disk, options.Caption1.has_value(),
                                                options.Caption2.has_value())}) {
        warnings.insert(warnings.end(), more.begin(), more.end());
    }
    if (ReportWarnings(warnings, options.Fields.Strict)) {
        return 2;
    }
    for (const std::string& report : disk.DriftReports) {
        std::cerr << "quillmere: " << report << '\n';
    }
    WriteOrPrintPage(options.Page, settings, false, "Strobe disk", "that the disk's edge measures 180 mm",
                     [&](PrintSurface& surface) {
                         PrintStrobeDiskWithNotes(surface, record, disk.OuterBars, disk.InnerBars,
                                                  CentreCaption(disk.Caption1), CentreCaption(disk.Caption2),
                                                  disk.Notes);
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
    CLI::Option* speeds =
        command
            ->add_option(
                "--speeds", options->Speeds,
                "one ring for each of one or two platter speeds in rpm, the first\noutside: 33 1/3 (or 33.33), "
                "45, 78, 16 2/3 ...; bars = 120 x mains / rpm")
            ->option_text("RPM[,RPM]")
            ->check(CLI::Validator([](std::string& value) { return ReadPlatterSpeeds(value).Error; }, ""))
            ->group("Disk options");
    command->add_option("--mains", options->Mains, "mains frequency of the lighting, in Hz (default 60)")
        ->option_text("60|50")
        ->transform(ChoiceOf({{"60"}, {"50"}, {"60hz", "60"}, {"50hz", "50"}}))
        ->group("Disk options");
    for (const CustomOption& option : CustomOptions) {
        CLI::Option* added =
            command->add_option("--" + std::string(option.Option), (*options).*option.Member, std::string(option.Help))
                ->option_text(option.Option.starts_with("caption") ? "TEXT" : "N")
                ->group("Disk options");
        if (!option.Option.starts_with("caption")) {
            speeds->excludes(added);
        }
    }
    AddCorrectionOptions(*command, options->Fields);
    AddPageOptions(*command, options->Page, "strobe-60hz.pdf, strobe-50hz.pdf or strobe-custom.pdf");
    command->footer("A speed whose whole count of bars cannot freeze exactly is said to drift, on the terminal and\n"
                    "on the page. Counts are read like the other numbers and rounded; 0 or less leaves a ring\n"
                    "without bars. The counts 216 and 160, and 180 and 133, print the built-in disks' captions.\n" +
                    std::string(FieldReadingNote) + "\n" + std::string(PageFileNote));
    return {command, [options] { return RunStrobe(*options); }};
}
