#pragma once

#include "print/print_device.h"

#include <span>
#include <string_view>

enum class PaperSize { Letter, A4, A3, Tabloid, Legal };

// A sheet as an emulated printer sees it, in dots at its resolution: the paper in the page's orientation, the
// unprintable margin all round (a printer's printable area starts on a whole dot) and the printable area inside.
struct PaperGeometry {
    double WidthDots;
    double HeightDots;
    double MarginDots;
    DevicePoint Printable;
};

// "Letter", "A4", "A3", "Tabloid" or "Legal", as the tool and the warnings name the paper.
std::string_view PaperNameOf(PaperSize paper);

// Every paper, smallest first (by area), so that the first one that holds a page is the cheapest.
std::span<const PaperSize> AllPapers();

// Orientation 2 is landscape, anything else portrait.
PaperGeometry PaperGeometryOf(PaperSize paper, int dpi, double marginMm, int orientation);
