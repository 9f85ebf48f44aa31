#include "print/paper.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MmPerInch = 25.4;

struct PaperEntry {
    PaperSize Paper;
    std::string_view Name;
    double WidthMm; // portrait
    double HeightMm;
};

// clang-format off
constexpr PaperEntry Papers[] = {
    {PaperSize::Letter, "Letter", 215.9, 279.4},
    {PaperSize::A4, "A4", 210.0, 297.0},
    {PaperSize::Legal, "Legal", 215.9, 355.6},
    {PaperSize::A3, "A3", 297.0, 420.0},
    {PaperSize::Tabloid, "Tabloid", 279.4, 431.8},
};
constexpr PaperSize PaperOrder[] = {PaperSize::Letter, PaperSize::A4, PaperSize::Legal, PaperSize::A3,
                                    PaperSize::Tabloid};
// clang-format on

const PaperEntry& EntryOf(PaperSize paper) {
    const auto found = std::find_if(std::begin(Papers), std::end(Papers),
                                    [paper](const PaperEntry& entry) { return entry.Paper == paper; });
    return found == std::end(Papers) ? Papers[0] : *found;
}

} // namespace

std::string_view PaperNameOf(PaperSize paper) {
    return EntryOf(paper).Name;
}

std::span<const PaperSize> AllPapers() {
    return PaperOrder;
}

PaperGeometry PaperGeometryOf(PaperSize paper, int dpi, double marginMm, int orientation) {
    const PaperEntry& entry = EntryOf(paper);
    const double across = entry.WidthMm / MmPerInch * dpi;
    const double down = entry.HeightMm / MmPerInch * dpi;
    PaperGeometry geometry{across, down, std::round(marginMm / MmPerInch * dpi), {}};
    if (orientation == 2) {
        std::swap(geometry.WidthDots, geometry.HeightDots);
    }
    const double margins = 2 * geometry.MarginDots;
    geometry.Printable = DevicePoint{static_cast<int>(std::max(0.0, std::floor(geometry.WidthDots - margins))),
                                     static_cast<int>(std::max(0.0, std::floor(geometry.HeightDots - margins)))};
    return geometry;
}
