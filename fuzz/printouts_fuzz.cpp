// Any texts in the main window's fields, any option states and colours, then the arc template, a strobe disk and the
// analysis chart (with any arm, speed and velocity) on a recording printer: nothing crashes, each printout is one
// well-formed job whose one page always ends, and no coordinate beyond the device limit is drawn; the analysis's
// text, JSON and CSV are made whatever the numbers.
#include "analysis/alignment_analysis.h"
#include "analysis/analysis_report.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "recorded_job_checks.h"
#include "windows/control_ids.h"
#include "windows/program_records.h"
#include "windows/record_adaptor.h"
#include "windows/window_alignment.h"

#include <fuzzer/FuzzedDataProvider.h>

#include "windows/field_table.h"
#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Field texts: the values the table of bad inputs names, numbers of any size, or any bytes at all.
std::string FieldText(FuzzedDataProvider& input) {
    static const char* const specials[] = {"",
                                           "   ",
                                           "abc",
                                           "-0",
                                           "0",
                                           "1e9999",
                                           "-1e9999",
                                           "1e-9999",
                                           "&HFFFFFFFFFFFFFFFF",
                                           "&H10000000000000000",
                                           "&H7FFFFFFFFFFFFFFF",
                                           "57.5",
                                           "146.05",
                                           "209",
                                           "1.0",
                                           "-1.0",
                                           "1e-300",
                                           "1e300",
                                           "0.001"};
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return specials[input.ConsumeIntegralInRange<std::size_t>(0, std::size(specials) - 1)];
    case 1: {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", input.ConsumeFloatingPointInRange(-1000.0, 1000.0));
        return text;
    }
    case 2: {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", input.ConsumeFloatingPoint<double>());
        return text;
    }
    default:
        return input.ConsumeRandomLengthString(120);
    }
}

std::int32_t BarCount(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
        return 216;
    case 1:
        return 180;
    case 2:
        return input.ConsumeBool() ? 160 : 133;
    case 3:
        // Counts beyond a few thousand only make the page slower; the fields take them all the same.
        return input.ConsumeIntegralInRange<std::int32_t>(-3, 2000);
    default:
        return input.ConsumeBool() ? std::int32_t{-2147483647 - 1} : 0;
    }
}

// The confirmation box's ten lines, whatever the record holds: the ID first at its full 40 bytes (which may hold any
// byte, line feeds included), then nine lines of values.
void CheckConfirmationText() {
    const std::string text = ConfirmationText(Parameters);
    const std::string idLine = "ID = " + ArmIdText(Parameters) + "\n";
    const bool idFirst = text.size() > idLine.size() && text.compare(0, idLine.size(), idLine) == 0;
    if (!idFirst || std::count(text.begin() + static_cast<std::ptrdiff_t>(idLine.size()), text.end(), '\n') != 8) {
        std::fprintf(stderr, "the confirmation text is not a 40-byte ID line and nine value lines\n");
        std::abort();
    }
}

// The analysis of what the window holds, as `quillmere analyse` makes it, with the rest from the input.
void AnalyseAndChart(FuzzedDataProvider& input, const RecordingDeviceSettings& settings,
                     const PrintColourRecord& colours) {
    AnalysisInputs inputs = AnalysisInputsOf(ArmInputsOf(Parameters));
    inputs.CorrectionFactorX = Parameters.CorrectionFactorX;
    inputs.CorrectionFactorY = Parameters.CorrectionFactorY;
    const auto number = [&input] {
        return input.ConsumeBool() ? input.ConsumeFloatingPointInRange(-400.0, 400.0)
                                   : input.ConsumeFloatingPoint<double>();
    };
    if (input.ConsumeBool()) {
        inputs.Rpm = number();
        inputs.Velocity = number();
    }
    if (input.ConsumeBool()) {
        inputs.Arm = UserArmInput{number(), number()};
    }
    const Result<AlignmentAnalysis> analysed = AnalyseAlignment(inputs);
    if (analysed ? analysed->Arms.empty() : analysed.Message().empty()) {
        std::fprintf(stderr, "an analysis has no arms, or a failed one says not why\n");
        std::abort();
    }
    if (!analysed) {
        return;
    }
    const AlignmentAnalysis& analysis = *analysed;
    // nlohmann-json throws on text that is no UTF-8: every text in the JSON must have been converted.
    const std::string json = AnalysisJson(analysis);
    const std::string text = AnalysisText(analysis) + AnalysisCsv(analysis);
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser printer(log, settings);
    PrintSurface surface(printer, colours);
    PrintAnalysisChart(surface, analysis);
    fuzz_checks::CheckOnePageJob(log, "analysis chart");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FieldTextTable window;
    for (const int control : {ControlId::SpindleToPivotField, ControlId::InnerGrooveField, ControlId::OuterGrooveField,
                              ControlId::CorrectionXField, ControlId::CorrectionYField, ControlId::ArmIdField}) {
        window.Texts[control] = FieldText(input);
    }
    for (const int control : {ControlId::LofgrenAButton, ControlId::LofgrenBButton, ControlId::StevensonAButton}) {
        window.Checks[control] = input.ConsumeIntegralInRange<long long>(-1, 2);
    }
    const PrintColourRecord colours{input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>(),
                                    input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>(),
                                    input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>()};
    RecordingDeviceSettings settings;
    if (input.ConsumeBool()) {
        const int dpi = input.ConsumeIntegralInRange(1, 2400);
        settings.Resolution = DevicePoint{dpi, input.ConsumeBool() ? dpi : input.ConsumeIntegralInRange(1, 2400)};
    }
    const std::int32_t outerBars = BarCount(input);
    const std::int32_t innerBars = BarCount(input);
    const std::string caption1 = input.ConsumeBytesAsString(CaptionLength);
    const std::string caption2 = input.ConsumeBytesAsString(CaptionLength);

    // Each printout reads the window afresh into the Windows program's record, as the window's commands do; the
    // geometry option left over from the previous input stays, as it does in the window.
    ReadAndComputeAlignment(window);
    CheckConfirmationText();
    std::vector<DeviceRequest> arcLog;
    RecordingPrinterChooser arcPrinter(arcLog, settings);
    PrintSurface arcSurface(arcPrinter, colours);
    PrintArcTemplate(arcSurface, Parameters);
    fuzz_checks::CheckOnePageJob(arcLog, "arc template");

    ReadAndComputeAlignment(window);
    std::vector<DeviceRequest> strobeLog;
    RecordingPrinterChooser strobePrinter(strobeLog, settings);
    PrintSurface strobeSurface(strobePrinter, colours);
    PrintStrobeDisk(strobeSurface, Parameters, outerBars, innerBars,
                    caption1 + std::string(CaptionLength - caption1.size(), ' '),
                    caption2 + std::string(CaptionLength - caption2.size(), ' '));
    fuzz_checks::CheckOnePageJob(strobeLog, "strobe disk");

    AnalyseAndChart(input, settings, colours);
    return 0;
}
