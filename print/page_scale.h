#pragma once

#include "print/page_model.h"

#include <string_view>

// A point on the page, in millimetres.
struct PagePosition {
    double X;
    double Y;
};

// Dots per millimetre across and down, correction factors included: how the printouts place page millimetres.
struct PageScale {
    double X;
    double Y;
};

// The printer correction factors the user measured: the 200 mm asked for over the 200 mm printed, across and
// down. They scale every position, and the lettering by Y.
struct PrintCorrection {
    double X = 1;
    double Y = 1;
};

// The scale of the printer just chosen, with the correction factors.
PageScale PageScaleOf(const PrinterResolution& resolution, const PrintCorrection& correction);
void MoveToMm(PrintSurface& surface, const PageScale& scale, double x, double y);
void LineToMm(PrintSurface& surface, const PageScale& scale, double x, double y);
// Prints a text with its top-left corner at the point.
void TextAtMm(PrintSurface& surface, const PageScale& scale, double x, double y, std::string_view text);
