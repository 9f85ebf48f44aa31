// What a user waits for: computing the alignment and the analysis, laying out the printouts, and writing them as PDF.

#include "analysis/alignment_analysis.h"
#include "cli/file_printer.h"
#include "geometry/alignment.h"
#include "print/command_line_colours.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "settings/settings.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string BlankCaption(CaptionLength, ' ');

// The state the tool is in before it prints: the default settings read and computed, black on white.
SettingsReport DefaultAlignment() {
    return ReadSettings(SettingsCommand::Values, {}, {});
}

const PrintColourRecord DefaultColours = ColoursFromCommandText("");

std::string BenchFile(const std::string& name) {
    std::filesystem::create_directories(QUILLMERE_BENCH_TMP);
    return std::string(QUILLMERE_BENCH_TMP) + "/" + name;
}

void PrintStrobe60(PrintSurface& surface, const SettingsReport& record) {
    PrintStrobeDisk(surface, record.Correction, 216, 160, BlankCaption, BlankCaption);
}

void PrintArc(PrintSurface& surface, const SettingsReport& record) {
    (void)PrintArcTemplate(surface, ArcTemplateJobOf(record));
}

// The analysis that `quillmere analyse` makes: IEC grooves at d = 222 mm and an arm of the user's.
AnalysisInputs AnalysisWithArm() {
    AnalysisInputs inputs;
    inputs.SpindleToPivot = 222;
    inputs.InnerGrooveRadius = 60.325;
    inputs.OuterGrooveRadius = 146.05;
    inputs.Arm = UserArmInput{240, 23.5};
    return inputs;
}

void PrintChartOfAnalysis(PrintSurface& surface, const SettingsReport&) {
    static const AlignmentAnalysis analysis = AnalyseAlignment(AnalysisWithArm()).Value();
    PrintAnalysisChart(surface, analysis);
}

void PrintCustomDisk10000(PrintSurface& surface, const SettingsReport& record) {
    PrintStrobeDisk(surface, record.Correction, 10000, 10000, "Custom disk 10000 bars              ",
                    "Custom disk 10000 bars              ");
}

// One printout laid out on the recording device: the page model's work without any drawing library.
template <void (*Printout)(PrintSurface&, const SettingsReport&)> void OnRecordingDevice(benchmark::State& state) {
    const SettingsReport record = DefaultAlignment();
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    PrintSurface surface(chooser, DefaultColours);
    for (auto _ : state) {
        log.clear();
        Printout(surface, record);
        benchmark::DoNotOptimize(log.data());
    }
    state.counters["requests"] = static_cast<double>(log.size());
}

// One printout written as a PDF file, as `quillmere arc` or `quillmere strobe` writes it.
template <void (*Printout)(PrintSurface&, const SettingsReport&)>
void ToPdf(benchmark::State& state, const std::string& name) {
    const SettingsReport record = DefaultAlignment();
    FilePrinterSettings settings;
    settings.Path = BenchFile(name);
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        FilePrinterChooser chooser(settings);
        {
            PrintSurface surface(chooser, DefaultColours);
            Printout(surface, record);
        }
        if (const Outcome written = chooser.FileWritten(); !written) {
            state.SkipWithError(("cannot write the PDF: " + written.Message()).c_str());
            break;
        }
    }
    if (std::filesystem::exists(settings.Path)) {
        bytes = std::filesystem::file_size(settings.Path);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void ComputeFromFields(benchmark::State& state) {
    const NamedSettings settings = {{"spindle-to-pivot", "222"}, {"preset", "iec"}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadSettings(SettingsCommand::Values, settings, {}));
    }
}

void ComputeOnly(benchmark::State& state) {
    const ArmInputs read = DefaultAlignment().Alignment.Inputs;
    for (auto _ : state) {
        Alignment alignment = ComputeAlignment(read);
        benchmark::DoNotOptimize(alignment);
    }
}

// All three geometries and one arm with their curves and the arm's best overhang.
void AnalyseThreeGeometriesAndArm(benchmark::State& state) {
    const AnalysisInputs inputs = AnalysisWithArm();
    for (auto _ : state) {
        Result<AlignmentAnalysis> analysis = AnalyseAlignment(inputs);
        benchmark::DoNotOptimize(analysis->Arms.data());
    }
}

void AnalysisChartRecording(benchmark::State& state) {
    OnRecordingDevice<PrintChartOfAnalysis>(state);
}
void AnalysisChartPdf(benchmark::State& state) {
    ToPdf<PrintChartOfAnalysis>(state, "analysis.pdf");
}

void ArcTemplateRecording(benchmark::State& state) {
    OnRecordingDevice<PrintArc>(state);
}
void Strobe60Recording(benchmark::State& state) {
    OnRecordingDevice<PrintStrobe60>(state);
}
void ArcTemplatePdf(benchmark::State& state) {
    ToPdf<PrintArc>(state, "arc-template.pdf");
}
void Strobe60Pdf(benchmark::State& state) {
    ToPdf<PrintStrobe60>(state, "strobe-60hz.pdf");
}
void CustomDisk10000Pdf(benchmark::State& state) {
    ToPdf<PrintCustomDisk10000>(state, "custom-10000.pdf");
}

} // namespace

BENCHMARK(ComputeFromFields);
BENCHMARK(ComputeOnly);
BENCHMARK(ArcTemplateRecording)->Unit(benchmark::kMicrosecond);
BENCHMARK(Strobe60Recording)->Unit(benchmark::kMicrosecond);
BENCHMARK(ArcTemplatePdf)->Unit(benchmark::kMillisecond);
BENCHMARK(Strobe60Pdf)->Unit(benchmark::kMillisecond);
BENCHMARK(CustomDisk10000Pdf)->Unit(benchmark::kMillisecond);
BENCHMARK(AnalyseThreeGeometriesAndArm)->Unit(benchmark::kMicrosecond);
BENCHMARK(AnalysisChartRecording)->Unit(benchmark::kMicrosecond);
BENCHMARK(AnalysisChartPdf)->Unit(benchmark::kMillisecond);
