#pragma once

// Random print surface operations with any arguments, shared by the fuzz targets that drive the page model:
// coordinates mostly on or near a page, sometimes anywhere a double can be, sometimes exactly at the edges.

#include "print/page_model.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>
#include <limits>

namespace fuzz_operations {

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
inline double Coordinate(FuzzedDataProvider& input) {
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

inline PageColour Colour(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return input.ConsumeIntegralInRange<PageColour>(-3, 0xFFFFFF);
    case 1:
        return input.ConsumeIntegral<PageColour>();
    default:
        return input.ConsumeBool() ? UseLineColour : NoFill;
    }
}

inline float Angle(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        return input.ConsumeFloatingPointInRange(-20.0f, 20.0f);
    }
    return static_cast<float>(Coordinate(input));
}

// What the last PageArc was asked for, so a caller can check what reached the device.
struct ArcCall {
    float StartAngle = 0;
    float EndAngle = 0;
};

// Performs one operation other than starting a job on the surface; returns true when it was PageArc (and fills
// `arc`).
inline bool PerformPageOperation(PrintSurface& surface, FuzzedDataProvider& input, Operation operation,
                                 ArcCall& arc) {
    switch (operation) {
    case Operation::Begin:
        break;
    case Operation::Orientation:
        surface.SetPageOrientation(input.ConsumeIntegral<int>());
        break;
    case Operation::Foreground:
        surface.SetForegroundColour(Colour(input));
        break;
    case Operation::Background:
        surface.SetBackgroundColour(Colour(input));
        break;
    case Operation::PenWidth:
        surface.SetPenWidth(input.ConsumeBool() ? input.ConsumeIntegralInRange(-2, 100) : input.ConsumeIntegral<int>());
        break;
    case Operation::Font: {
        const float points = input.ConsumeBool() ? input.ConsumeFloatingPointInRange(-100.0f, 500.0f)
                                                 : static_cast<float>(Coordinate(input));
        surface.SelectPrintFont(CreatePrintFont(input.ConsumeRandomLengthString(40), points, input.ConsumeIntegral<int>()));
        break;
    }
    case Operation::MoveTo: {
        const double x = Coordinate(input);
        surface.PageMoveTo(x, Coordinate(input));
        break;
    }
    case Operation::LineTo: {
        const double x = Coordinate(input);
        const double y = Coordinate(input);
        surface.PageLineTo(x, y, Colour(input));
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
        surface.PageBox(corners[0], corners[1], corners[2], corners[3], corner, line, fill, input.ConsumeIntegral<int>());
        break;
    }
    case Operation::Arc: {
        float corners[4];
        for (float& c : corners) {
            c = static_cast<float>(Coordinate(input));
        }
        arc.StartAngle = Angle(input);
        arc.EndAngle = Angle(input);
        const PageColour line = Colour(input);
        const PageColour fill = Colour(input);
        const int style = input.ConsumeIntegral<int>();
        surface.PageArc(corners[0], corners[1], corners[2], corners[3], arc.StartAngle, arc.EndAngle, line, fill, style,
                input.ConsumeBool());
        return true;
    }
    case Operation::PrintLine:
        surface.PagePrintLine(input.ConsumeRandomLengthString(300));
        break;
    case Operation::End:
        surface.EndPrintJob();
        break;
    case Operation::Resolution:
        surface.GetPrinterResolution();
        break;
    }
    return false;
}

} // namespace fuzz_operations
