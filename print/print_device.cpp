#include "print/print_device.h"

#include <cmath>

namespace {
PrinterChooser* Chooser = nullptr;
}

void SetPrinterChooser(PrinterChooser* chooser) {
    Chooser = chooser;
}

PrinterChooser* CurrentPrinterChooser() {
    return Chooser;
}

DeviceFontMetrics ScalableFontMetrics(const FontDesign& design, double emSize) {
    return DeviceFontMetrics{static_cast<int>(std::lround(design.Ascent * emSize + design.Descent * emSize)),
                             static_cast<int>(std::lround(design.LineGap * emSize))};
}
