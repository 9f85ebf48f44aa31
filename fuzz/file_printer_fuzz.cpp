// Random sequences of print surface operations on the file printer of the Linux tool (PDF, SVG or a small PNG):
// whatever the page model lets through, the device draws it without crashing, without undefined behaviour and in
// bounded time and memory, and a job that ran to its end leaves a complete file.
#include "cli/file_printer.h"
#include "page_operations.h"
#include "print/page_model.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string OutputPath(PageFormat format) {
    static const std::string folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("quillmere-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    const char* extension = format == PageFormat::Pdf ? "pdf" : format == PageFormat::Svg ? "svg" : "png";
    return folder + "/page." + extension;
}

FilePrinterSettings PrinterSettings(FuzzedDataProvider& input) {
    FilePrinterSettings settings;
    settings.Format = input.PickValueInArray({PageFormat::Pdf, PageFormat::Svg, PageFormat::Png});
    settings.Paper = input.ConsumeBool() ? PaperSize::Letter : PaperSize::A4;
    // The resolutions and margins the Linux tool accepts. A raster page costs width x height x 4 bytes, so PNG pages
    // stay at low resolutions to fuzz quickly.
    settings.Dpi = settings.Format == PageFormat::Png ? input.ConsumeIntegralInRange(72, 100)
                                                      : input.ConsumeIntegralInRange(72, 2400);
    settings.MarginMm = input.ConsumeFloatingPointInRange(0.0, 50.0);
    settings.Path = OutputPath(settings.Format);
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_operations::Operation;
    FuzzedDataProvider input(data, size);
    // Each job gets its own surface and chooser; until the first one, operations go to a surface without a printer.
    auto chooser = std::make_unique<FilePrinterChooser>(FilePrinterSettings{});
    auto surface = std::make_unique<PrintSurface>(*chooser);
    bool jobOpen = false;
    int operations = 0;
    auto endJob = [&] {
        surface->EndPrintJob();
        if (const Outcome written = chooser->FileWritten(); jobOpen && !written) {
            std::fprintf(stderr, "a finished job left no complete file: %s\n", written.Message().c_str());
            std::abort();
        }
        jobOpen = false;
    };
    while (input.remaining_bytes() > 0 && ++operations < 200) {
        const auto operation = input.ConsumeEnum<Operation>();
        if (operation == Operation::Begin) {
            endJob();
            surface.reset();
            chooser = std::make_unique<FilePrinterChooser>(PrinterSettings(input));
            surface = std::make_unique<PrintSurface>(*chooser);
            jobOpen = surface->BeginPrintJob().Ok() && surface->PrinterAttached();
            continue;
        }
        if (operation == Operation::End) {
            endJob();
            continue;
        }
        fuzz_operations::ArcCall arc;
        fuzz_operations::PerformPageOperation(*surface, input, operation, arc);
    }
    endJob();
    return 0;
}
