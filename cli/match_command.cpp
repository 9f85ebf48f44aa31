#include "cli/match_command.h"

#include "cli/command_settings.h"
#include "settings/match_report.h"

#include <iostream>
#include <memory>

namespace {

int RunMatch(const CommandSettings& settings) {
    const SettingsReport report = ReadCommandSettings(settings, true);
    const bool json = report.ReportFormat == "json";
    if (AnswerWithReport(report, json)) {
        return 2;
    }
    if (!json) {
        std::cout << MatchText(report);
    }
    return std::cout.flush() ? 0 : 1;
}

} // namespace

ToolCommand AddMatchCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "match",
                                       "whether a cartridge suits the arm (their resonance), and the arm's height "
                                       "for a rake change");
    auto settings = AddSettingOptions(*command, SettingsCommand::Match);
    command->footer(
        "The resonance f = 1 / (2 pi sqrt(M C)) of the arm's effective mass, the cartridge and the extras (M) on\n"
        "the stylus's compliance (C) should lie between 8 and 12 Hz: record warps lie below about 6 Hz, footfall\n"
        "and the lowest notes above about 15 Hz. A compliance given at 100 Hz is 1.5 to 2.2 times lower than at\n"
        "10 Hz, so the resonance is then a range. The pivot height for a rake change is the effective length times\n"
        "the tangent of the change (about 4 mm per degree on a 230 mm arm).\n"
        "Numbers: '.' or a decimal comma is the decimal point (\"6,5\" reads as 6.5, with a note).");
    return {command, [settings] { return RunMatch(*settings); }};
}
