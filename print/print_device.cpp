#include "print/print_device.h"

#include <cmath>

DeviceFontMetrics ScalableFontMetrics(const FontDesign& design, double emSize) {
    return DeviceFontMetrics{static_cast<int>(std::lround(design.Ascent * emSize + design.Descent * emSize)),
                             static_cast<int>(std::lround(design.LineGap * emSize))};
}
