#include "print/vector_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double PenOffset(int penWidth) {
    return penWidth % 2 == 1 ? 0.5 : 0.0;
}

double StrokeWidth(int penWidth) {
    return std::max(penWidth, 1);
}

double EmSize(const DeviceFontRequest& request, const FontDesign& design, int dotsPerInch) {
    if (request.Height < 0) {
        return -static_cast<double>(request.Height);
    }
    if (request.Height > 0 && design.Ascent + design.Descent > 0) {
        return request.Height / (design.Ascent + design.Descent);
    }
    return 10.0 * dotsPerInch / 72.0;
}

bool SweepOf(DeviceRect box, DevicePoint start, DevicePoint end, EllipseSweep& sweep) {
    sweep.CentreX = (static_cast<double>(box.Left) + box.Right) / 2;
    sweep.CentreY = (static_cast<double>(box.Top) + box.Bottom) / 2;
    sweep.RadiusX = (static_cast<double>(box.Right) - box.Left) / 2;
    sweep.RadiusY = (static_cast<double>(box.Bottom) - box.Top) / 2;
    if (sweep.RadiusX <= 0 || sweep.RadiusY <= 0) {
        return false;
    }
    // Where each ray meets the ellipse, as the ellipse's own parameter; angles count with y up.
    auto parameterOf = [&](DevicePoint p) {
        const double rayAngle = std::atan2(sweep.CentreY - p.Y, p.X - sweep.CentreX);
        return std::atan2(sweep.RadiusX * std::sin(rayAngle), sweep.RadiusY * std::cos(rayAngle));
    };
    sweep.From = parameterOf(start);
    sweep.To = parameterOf(end);
    if (sweep.To <= sweep.From) {
        sweep.To += 2 * std::numbers::pi;
    }
    return true;
}
