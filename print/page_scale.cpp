#include "print/page_scale.h"

namespace {

// Millimetres to dots at extended precision, as all page arithmetic is carried.
double ToDots(double millimetres, double dotsPerMm) {
    return static_cast<double>(static_cast<long double>(millimetres) * dotsPerMm);
}

} // namespace

PageScale PageScaleOf(const PrinterResolution& resolution, const PrintCorrection& correction) {
    return {DotsPerMm(resolution.X, correction.X), DotsPerMm(resolution.Y, correction.Y)};
}

void MoveToMm(PrintSurface& surface, const PageScale& scale, double x, double y) {
    surface.PageMoveTo(ToDots(x, scale.X), ToDots(y, scale.Y));
}

void LineToMm(PrintSurface& surface, const PageScale& scale, double x, double y) {
    surface.PageLineTo(ToDots(x, scale.X), ToDots(y, scale.Y), UseLineColour);
}

void TextAtMm(PrintSurface& surface, const PageScale& scale, double x, double y, std::string_view text) {
    MoveToMm(surface, scale, x, y);
    surface.PagePrintLine(text);
}
