#pragma once

#include "geometry/parameter_record.h"
#include "print/page_model.h"

#include <string_view>

// Dots per millimetre across and down, correction factors included: how the printouts place page millimetres.
struct PageScale {
    double X;
    double Y;
};

// The scale of the printer just chosen, with the correction factors of the record.
PageScale PageScaleOf(const PrinterResolution& resolution, const ParameterRecord& record);
void MoveToMm(PrintSurface& surface, const PageScale& scale, double x, double y);
void LineToMm(PrintSurface& surface, const PageScale& scale, double x, double y);
// Prints a text with its top-left corner at the point.
void TextAtMm(PrintSurface& surface, const PageScale& scale, double x, double y, std::string_view text);
