// Random sequences of print surface operations, with any arguments, on recording printers of any resolution:
// nothing crashes or overflows, jobs and pages stay well formed, no coordinate beyond the limit reaches the device,
// and an arc that is drawn still points where it was asked to.
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

enum class Operation {
    Begin,
    Orientation,
    Foreground,
    Background,
    PenWidth,
    Font,
    MoveTo,
    LineTo,
    Box,
    Arc,
    PrintLine,
    End,
    Resolution,
    kMaxValue = Resolution
};

// Coordinates mostly on or near a page, sometimes anywhere a double can be, sometimes at the edges that matter.
double Coordinate(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return input.ConsumeFloatingPointInRange(-20000.0, 20000.0);
    case 1:
        return input.ConsumeFloatingPoint<double>();
    case 2: {
        constexpr double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                                       std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity(),
                                       PageCoordinateLimit,
                                       -PageCoordinateLimit,
                                       PageCoordinateLimit + 0.5,
                                       PageCoordinateLimit - 0.5,
                                       -PageCoordinateLimit - 0.5,
                                       2147483647.5,
                                       -2147483648.5,
                                       0.5,
                                       -0.5,
                                       1.5};
        return specials[input.ConsumeIntegralInRange<std::size_t>(0, std::size(specials) - 1)];
    }
    default:
        return input.ConsumeFloatingPointInRange(-PageCoordinateLimit * 2, PageCoordinateLimit * 2);
    }
}

PageColour Colour(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return input.ConsumeIntegralInRange<PageColour>(-3, 0xFFFFFF);
    case 1:
        return input.ConsumeIntegral<PageColour>();
    default:
        return input.ConsumeBool() ? UseLineColour : NoFill;
    }
}

float Angle(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        return input.ConsumeFloatingPointInRange(-20.0f, 20.0f);
    }
    return static_cast<float>(Coordinate(input));
}

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
        return std::fabs(std::remainder(ray - static_cast<double>(angle), 2 * 3.141592653589793)) <=
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
    FuzzedDataProvider input(data, size);
    std::vector<DeviceRequest> log;
    std::unique_ptr<RecordingPrinterChooser> chooser;
    int operations = 0;
    while (input.remaining_bytes() > 0 && ++operations < 400) {
        switch (input.ConsumeEnum<Operation>()) {
        case Operation::Begin:
            chooser = std::make_unique<RecordingPrinterChooser>(log, PrinterSettings(input), Answer(input));
            SetPrinterChooser(chooser.get());
            if (!BeginPrintJob() && PrintJobFailed() && !log.empty() &&
                log.back().What == DeviceRequest::Kind::StartDocument) {
                log.pop_back(); // the printer refused the document: nothing was opened
            }
            break;
        case Operation::Orientation:
            SetPageOrientation(input.ConsumeIntegral<int>());
            break;
        case Operation::Foreground:
            SetForegroundColour(Colour(input));
            break;
        case Operation::Background:
            SetBackgroundColour(Colour(input));
            break;
        case Operation::PenWidth:
            SetPenWidth(input.ConsumeBool() ? input.ConsumeIntegralInRange(-2, 100) : input.ConsumeIntegral<int>());
            break;
        case Operation::Font: {
            const float points = input.ConsumeBool() ? input.ConsumeFloatingPointInRange(-100.0f, 500.0f)
                                                     : static_cast<float>(Coordinate(input));
            SelectPrintFont(CreatePrintFont(input.ConsumeRandomLengthString(40), points, input.ConsumeIntegral<int>()));
            break;
        }
        case Operation::MoveTo: {
            const double x = Coordinate(input);
            PageMoveTo(x, Coordinate(input));
            break;
        }
        case Operation::LineTo: {
            const double x = Coordinate(input);
            const double y = Coordinate(input);
            PageLineTo(x, y, Colour(input));
            break;
        }
        case Operation::Box: {
            float corners[4];
            for (float& c : corners) {
                c = static_cast<float>(Coordinate(input));
            }
            BoxCorner corner = EllipseCorner;
            if (input.ConsumeBool()) {
                corner = input.ConsumeBool() ? input.ConsumeFloatingPointInRange(-10.0f, 200.0f)
                                             : static_cast<float>(Coordinate(input));
            }
            const PageColour line = Colour(input);
            const PageColour fill = Colour(input);
            PageBox(corners[0], corners[1], corners[2], corners[3], corner, line, fill, input.ConsumeIntegral<int>());
            break;
        }
        case Operation::Arc: {
            float corners[4];
            for (float& c : corners) {
                c = static_cast<float>(Coordinate(input));
            }
            const float start = Angle(input);
            const float end = Angle(input);
            const PageColour line = Colour(input);
            const PageColour fill = Colour(input);
            const int style = input.ConsumeIntegral<int>();
            const std::size_t before = log.size();
            PageArc(corners[0], corners[1], corners[2], corners[3], start, end, line, fill, style, input.ConsumeBool());
            if (log.size() > before && log.back().What == DeviceRequest::Kind::Arc) {
                CheckArcDirection(log.back(), start, end, log.size() - 1);
            }
            break;
        }
        case Operation::PrintLine:
            PagePrintLine(input.ConsumeRandomLengthString(300));
            break;
        case Operation::End:
            EndPrintJob();
            break;
        case Operation::Resolution:
            GetPrinterResolution();
            break;
        }
    }
    EndPrintJob();
    SetPrinterChooser(nullptr);
    fuzz_checks::CheckRecordedJobs(log);
    return 0;
}
