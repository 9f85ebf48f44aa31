// Random sequences of print surface operations, with any arguments, on recording printers of any resolution:
// nothing crashes or overflows, jobs and pages stay well formed, no coordinate beyond the limit reaches the device,
// and an arc that is drawn still points where it was asked to.
#include "geometry/angles.h"
#include "page_operations.h"
#include "print/page_model.h"
#include "print/recording_device.h"
#include "recorded_job_checks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

namespace {

RecordingDeviceSettings PrinterSettings(FuzzedDataProvider& input) {
    RecordingDeviceSettings settings;
    if (input.ConsumeBool()) {
        settings.Resolution =
            DevicePoint{input.ConsumeIntegralInRange(-600, 10000), input.ConsumeIntegralInRange(-600, 10000)};
        settings.PortraitPrintableSize =
            DevicePoint{input.ConsumeIntegralInRange(0, 200000), input.ConsumeIntegralInRange(0, 200000)};
    }
    settings.FailStartDocument = input.ConsumeIntegralInRange(0, 15) == 0;
    if (input.ConsumeIntegralInRange(0, 15) == 0) {
        settings.PrinterName.clear();
    }
    return settings;
}

PrinterChoiceResult Answer(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0:
        return PrinterChoiceResult::Cancelled;
    case 1:
        return PrinterChoiceResult::Failed;
    default:
        return PrinterChoiceResult::Chosen;
    }
}

// The ray from the box centre through each recorded point points at the angle asked for (y up on the page), to
// within what rounding the point to whole dots can turn it.
void CheckArcDirection(const DeviceRequest& arc, float startAngle, float endAngle, std::size_t index) {
    const double cx = (static_cast<double>(arc.Rect.Left) + arc.Rect.Right) / 2.0;
    const double cy = (static_cast<double>(arc.Rect.Top) + arc.Rect.Bottom) / 2.0;
    auto onRay = [&](DevicePoint through, float angle) {
        const double ray = std::atan2(-(through.Y - cy), through.X - cx);
        const double turn = std::asin(std::min(1.0, 0.75 / std::hypot(through.X - cx, through.Y - cy)));
        return std::fabs(std::remainder(ray - static_cast<double>(angle), 2 * static_cast<double>(Pi))) <=
               std::max(0.002, turn);
    };
    if (!onRay(arc.From, startAngle) || !onRay(arc.To, endAngle)) {
        std::fprintf(stderr, "box %d %d %d %d, start %.9g through %d %d, end %.9g through %d %d\n", arc.Rect.Left,
                     arc.Rect.Top, arc.Rect.Right, arc.Rect.Bottom, static_cast<double>(startAngle), arc.From.X,
                     arc.From.Y, static_cast<double>(endAngle), arc.To.X, arc.To.Y);
        fuzz_checks::Fail("an arc's radial point does not lie on the ray of its angle", index);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_operations::Operation;
    FuzzedDataProvider input(data, size);
    std::vector<DeviceRequest> log;
    // Each job gets its own surface and chooser; until the first one, operations go to a surface without a printer.
    auto chooser =
        std::make_unique<RecordingPrinterChooser>(log, RecordingDeviceSettings{}, PrinterChoiceResult::Cancelled);
    auto surface = std::make_unique<PrintSurface>(*chooser);
    int operations = 0;
    while (input.remaining_bytes() > 0 && ++operations < 400) {
        const auto operation = input.ConsumeEnum<Operation>();
        if (operation == Operation::Begin) {
            surface.reset(); // ends what the last job left open, as a new job on the same surface would
            chooser = std::make_unique<RecordingPrinterChooser>(log, PrinterSettings(input), Answer(input));
            surface = std::make_unique<PrintSurface>(*chooser);
            if (!surface->BeginPrintJob().Ok() && !log.empty() &&
                log.back().What == DeviceRequest::Kind::StartDocument) {
                log.pop_back(); // the printer refused the document: nothing was opened
            }
            continue;
        }
        fuzz_operations::ArcCall arc;
        const std::size_t before = log.size();
        if (fuzz_operations::PerformPageOperation(*surface, input, operation, arc) && log.size() > before &&
            log.back().What == DeviceRequest::Kind::Arc) {
            CheckArcDirection(log.back(), arc.StartAngle, arc.EndAngle, log.size() - 1);
        }
    }
    surface->EndPrintJob();
    fuzz_checks::CheckRecordedJobs(log);
    return 0;
}
