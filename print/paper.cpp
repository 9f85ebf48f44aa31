#include "print/paper.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double MmPerInch = 25.4;
}

std::string_view PaperNameOf(PaperSize paper) {
    return paper == PaperSize::A4 ? "A4" : "Letter";
}

PaperGeometry PaperGeometryOf(PaperSize paper, int dpi, double marginMm, int orientation) {
    const double widthMm = paper == PaperSize::A4 ? 210.0 : 215.9;
    const double heightMm = paper == PaperSize::A4 ? 297.0 : 279.4;
    const double across = widthMm / MmPerInch * dpi;
    const double down = heightMm / MmPerInch * dpi;
    PaperGeometry geometry{across, down, std::round(marginMm / MmPerInch * dpi), {}};
    if (orientation == 2) {
        std::swap(geometry.WidthDots, geometry.HeightDots);
    }
    const double margins = 2 * geometry.MarginDots;
    geometry.Printable = DevicePoint{static_cast<int>(std::max(0.0, std::floor(geometry.WidthDots - margins))),
                                     static_cast<int>(std::max(0.0, std::floor(geometry.HeightDots - margins)))};
    return geometry;
}
