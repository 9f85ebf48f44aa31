#include "cli/analyse_command.h"

#include "analysis/alignment_analysis.h"
#include "analysis/analysis_report.h"
#include "settings/page_warnings.h"
#include "cli/field_options.h"
#include "cli/page_options.h"
#include "windows/window_alignment.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"
#include "cli/output_file.h"
#include "print/printouts.h"

#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct AnalyseOptions {
    FieldOptions Fields;
    PageOptions Page;
    std::optional<std::string> EffectiveLength, Overhang, OffsetAngle, Rpm, Velocity;
    std::string Report = "text";
};

struct ArmOption {
    std::string_view Option;
    std::optional<std::string> AnalyseOptions::*Member;
    std::string_view ValueName;
    std::string_view Help;
};

// clang-format off
constexpr ArmOption ArmOptions[] = {
    {"effective-length", &AnalyseOptions::EffectiveLength, "MM",
     "your arm: pivot to stylus tip, in mm (from its data sheet or measured)"},
    {"overhang", &AnalyseOptions::Overhang, "MM",
     "your arm: how far the stylus reaches past the spindle, in mm\n(instead of --effective-length)"},
    {"offset-angle", &AnalyseOptions::OffsetAngle, "DEG",
     "your arm: the cartridge's offset angle, in degrees"},
    {"rpm", &AnalyseOptions::Rpm, "N", "record speed in revolutions per minute (default 33.333...)"},
    {"velocity", &AnalyseOptions::Velocity, "MM_PER_S",
     "peak recorded velocity for the distortion, in mm/s (default 100)"},
};
// clang-format on

// A number read as the window reads its fields, with a warning when the text does not read in full.
std::optional<double> ReadNumber(const AnalyseOptions& options, std::optional<std::string> AnalyseOptions::*member,
                                 std::string_view option, std::vector<std::string>& warnings) {
    const std::optional<std::string>& text = options.*member;
    if (!text) {
        return std::nullopt;
    }
    if (const std::optional<std::string> warning = NumberReadingWarning(*text)) {
        warnings.push_back("--" + std::string(option) + " " + *warning);
    }
    return TextToNumber(Utf8ToWindows1252(*text));
}

AnalysisInputs InputsFromOptions(const AnalyseOptions& options, std::vector<std::string>& warnings) {
    if (options.EffectiveLength && options.Overhang) {
        throw UsageError("give --effective-length or --overhang, not both");
    }
    const bool armLength = options.EffectiveLength || options.Overhang;
    if (armLength != options.OffsetAngle.has_value()) {
        throw UsageError(armLength ? "your arm needs --offset-angle too"
                                   : "--offset-angle needs --effective-length or --overhang");
    }
    // The fields as the window reads them: presets, decimal points, the ID and the correction factors.
    ParameterRecord record{};
    ReadAndComputeAlignment(FieldTableFromOptions(options.Fields, warnings), record);
    for (const auto& more : {AlignmentWarnings(record), CorrectionFactorWarnings(record)}) {
        warnings.insert(warnings.end(), more.begin(), more.end());
    }
    AnalysisInputs inputs = AnalysisInputsOf(record);
    inputs.Rpm = ReadNumber(options, &AnalyseOptions::Rpm, "rpm", warnings).value_or(DefaultRpm);
    inputs.Velocity = ReadNumber(options, &AnalyseOptions::Velocity, "velocity", warnings).value_or(DefaultVelocity);
    if (armLength) {
        const std::optional<double> length =
            ReadNumber(options, &AnalyseOptions::EffectiveLength, "effective-length", warnings);
        const std::optional<double> overhang = ReadNumber(options, &AnalyseOptions::Overhang, "overhang", warnings);
        const double angle = *ReadNumber(options, &AnalyseOptions::OffsetAngle, "offset-angle", warnings);
        inputs.Arm = UserArmInput{
            length ? *length : static_cast<double>(static_cast<long double>(inputs.SpindleToPivot) + *overhang), angle};
    }
    if (const std::string problem = AnalysisInputProblem(inputs); !problem.empty()) {
        throw UsageError(Windows1252ToUtf8(problem));
    }
    return inputs;
}

std::string Report(const AlignmentAnalysis& analysis, std::string_view format) {
    if (format == "json") {
        return AnalysisJson(analysis);
    }
    if (format == "csv") {
        return AnalysisCsv(analysis);
    }
    return Windows1252ToUtf8(AnalysisText(analysis));
}

int RunAnalyse(const AnalyseOptions& options) {
    std::vector<std::string> warnings;
    const AnalysisInputs inputs = InputsFromOptions(options, warnings);
    const bool chart = options.Page.Output || options.Page.Print;
    const FilePrinterSettings settings = PageSettingsFromOptions(options.Page, "analysis");
    const AlignmentAnalysis analysis = AnalyseAlignment(inputs);
    for (const std::string& warning : AnalysisWarnings(analysis)) {
        warnings.push_back(Windows1252ToUtf8(warning));
    }
    const std::vector<std::string> page = PageOptionWarnings(options.Page);
    warnings.insert(warnings.end(), page.begin(), page.end());
    if (ReportWarnings(warnings, options.Fields.Strict)) {
        return 2;
    }
    // A chart on standard output keeps the stream clean: the report goes to stderr then, as arc's lines do.
    std::ostream& report = chart && IsStandardOutput(settings.Path) ? std::cerr : std::cout;
    report << Report(analysis, options.Report) << std::flush;
    if (chart) {
        WriteOrPrintPage(options.Page, settings, false, "Alignment analysis", "",
                         [&](PrintSurface& surface) { PrintAnalysisChart(surface, analysis); });
    }
    return report ? 0 : 1;
}

} // namespace

ToolCommand AddAnalyseCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "analyse",
                                       "compare the geometries and your arm: tracking error and distortion across "
                                       "the record");
    command->alias("analyze");
    auto options = std::make_shared<AnalyseOptions>();
    AddFieldOptions(*command, options->Fields);
    // Every geometry is analysed; the chart's format follows the file name, so --format names the report's.
    command->remove_option(command->get_option("--geometry"));
    for (const ArmOption& option : ArmOptions) {
        command->add_option("--" + std::string(option.Option), (*options).*option.Member, std::string(option.Help))
            ->option_text(std::string(option.ValueName))
            ->group("Analysis options");
    }
    AddPageOptions(*command, options->Page, "");
    command->remove_option(command->get_option("--format"));
    command->get_option("--output")
        ->description("write the chart to this file: .pdf, .svg or .png by its extension\n(else pdf); without -o "
                      "and --print no chart is made");
    command->add_option("--format", options->Report, "what goes to standard output (default text)")
        ->option_text("text|json|csv")
        ->transform(ChoiceOf({{"text"}, {"json"}, {"csv"}}))
        ->group("Analysis options");
    command->footer(std::string(FieldReadingNote) +
                    "\nThe chart is written completely or not at all, as the pages of arc and strobe are; with -o - it "
                    "goes to\nstandard output and the report to stderr.");
    return {command, [options] { return RunAnalyse(*options); }};
}
