#include "cli/analyse_command.h"

#include "analysis/analysis_report.h"
#include "cli/command_settings.h"
#include "cli/output_file.h"
#include "cli/page_options.h"
#include "geometry/windows_1252.h"
#include "print/printouts.h"

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

namespace {

std::string Report(const SettingsReport& report) {
    if (report.ReportFormat == "json") {
        return ReportJson(report);
    }
    if (report.ReportFormat == "csv") {
        return AnalysisCsv(*report.Analysis);
    }
    return Windows1252ToUtf8(AnalysisText(*report.Analysis));
}

int RunAnalyse(const CommandSettings& settings) {
    const SettingsReport report = ReadCommandSettings(settings, true);
    const bool chart = report.Find("output") != nullptr || report.Page.PrintQueue.has_value();
    // Without a chart the JSON report is the answer whatever it holds, as for values.
    const bool jsonAlone = report.ReportFormat == "json" && !chart;
    if (AnswerWithReport(report, jsonAlone)) {
        return 2;
    }
    if (jsonAlone) {
        return std::cout ? 0 : 1;
    }
    // A chart on standard output keeps the stream clean: the report goes to stderr then, as arc's lines do.
    std::ostream& out = chart && IsStandardOutput(report.Page.Output.value_or("")) ? std::cerr : std::cout;
    out << Report(report) << std::flush;
    if (chart) {
        WriteOrPrintPage(report, false, "Alignment analysis", "",
                         [&](PrintSurface& surface) { PrintAnalysisChart(surface, *report.Analysis); });
    }
    return out ? 0 : 1;
}

} // namespace

ToolCommand AddAnalyseCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "analyse",
                                       "compare the geometries and your arm: tracking error and distortion across "
                                       "the record");
    command->alias("analyze");
    auto settings = AddSettingOptions(*command, SettingsCommand::Analyse);
    command->footer(std::string(FieldReadingNote) +
                    "\nThe chart is written completely or not at all, as the pages of arc and strobe are; with -o - it "
                    "goes to\nstandard output and the report to stderr.");
    return {command, [settings] { return RunAnalyse(*settings); }};
}
