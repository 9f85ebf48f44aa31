#include "cli/page_commands.h"

#include "cli/command_settings.h"
#include "cli/output_file.h"
#include "cli/page_options.h"
#include "geometry/confirmation_text.h"
#include "geometry/windows_1252.h"
#include "print/arc_sheets.h"
#include "print/printouts.h"
#include "settings/page_aids.h"

#include <iostream>
#include <memory>
#include <string_view>

namespace {

int RunArc(const CommandSettings& settings) {
    const SettingsReport report = ReadCommandSettings(settings);
    if (ReportNotices(report)) {
        return 2;
    }
    // A page on standard output keeps the stream clean: the lines go to stderr then.
    std::ostream& lines = IsStandardOutput(report.Page.Output.value_or("")) ? std::cerr : std::cout;
    lines << Windows1252ToUtf8(ConfirmationText(report.Alignment)) << '\n' << std::flush;
    const SheetChoice choice = report.Page.Tile ? SheetChoice::Tiled : SheetChoice::AsNeeded;
    WriteOrPrintSheets(
        report, true, "Arc alignment template", PrintCheckOf(SettingsCommand::Arc), report.Page.Sheets,
        [&](PrintSurface& surface) { (void)PrintArcTemplateSheets(surface, ArcTemplateJobOf(report), choice); },
        [&](PrintSurface& surface, int sheet) {
            (void)PrintArcTemplateSheet(surface, ArcTemplateJobOf(report), choice, sheet);
        });
    return lines ? 0 : 1;
}

int RunStrobe(const CommandSettings& settings) {
    const SettingsReport report = ReadCommandSettings(settings);
    if (ReportNotices(report)) {
        return 2;
    }
    const StrobeDiskLayout& disk = *report.Disk;
    WriteOrPrintPage(report, false, "Strobe disk", PrintCheckOf(SettingsCommand::Strobe),
                     [&](PrintSurface& surface) { PrintStrobeDiskLayout(surface, report.Correction, disk); });
    return 0;
}

} // namespace

ToolCommand AddArcCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(
        tool, "arc",
        "write the arc alignment template at full scale on landscape pages: one, or sheets to join when it is wider\n"
        "than the paper (default arc-template.pdf)");
    auto settings = AddSettingOptions(*command, SettingsCommand::Arc);
    command->footer(std::string(FieldReadingNote) + "\n" + std::string(PageFileNote));
    return {command, [settings] { return RunArc(*settings); }};
}

ToolCommand AddStrobeCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(
        tool, "strobe", "write a stroboscope disk at full scale on one portrait page (default strobe-60hz.pdf)");
    auto settings = AddSettingOptions(*command, SettingsCommand::Strobe);
    command->footer("A speed whose whole count of bars cannot freeze exactly is said to drift, on the terminal and\n"
                    "on the page. A count is a whole number of bars from 0 (a ring without bars) to 10000. The\n"
                    "counts 216 and 160, and 180 and 133, print the built-in disks' captions.\n" +
                    std::string(FieldReadingNote) + "\n" + std::string(PageFileNote));
    return {command, [settings] { return RunStrobe(*settings); }};
}
