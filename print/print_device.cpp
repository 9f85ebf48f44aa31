#include "print/print_device.h"

namespace {
PrinterChooser* Chooser = nullptr;
}

void SetPrinterChooser(PrinterChooser* chooser) {
    Chooser = chooser;
}

PrinterChooser* CurrentPrinterChooser() {
    return Chooser;
}
