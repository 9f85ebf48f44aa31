#include "print/page_scale.h"

#include "geometry/parameter_record.h"

namespace {

// Millimetres to dots at extended precision, as all page arithmetic is carried.
double ToDots(double millimetres, double dotsPerMm) {
    return static_cast<double>(static_cast<long double>(millimetres) * dotsPerMm);
}

} // namespace

PageScale PageScaleOf(const PrinterResolution& resolution) {
    return {DotsPerMm(resolution.X, Parameters.CorrectionFactorX),
            DotsPerMm(resolution.Y, Parameters.CorrectionFactorY)};
}

void MoveToMm(const PageScale& scale, double x, double y) {
    PageMoveTo(ToDots(x, scale.X), ToDots(y, scale.Y));
}

void LineToMm(const PageScale& scale, double x, double y) {
    PageLineTo(ToDots(x, scale.X), ToDots(y, scale.Y), UseLineColour);
}

void TextAtMm(const PageScale& scale, double x, double y, std::string_view text) {
    MoveToMm(scale, x, y);
    PagePrintLine(text);
}
