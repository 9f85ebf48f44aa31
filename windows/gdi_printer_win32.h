#pragma once

#include "print/print_device.h"

// The Windows printer: the system print dialog chooses it and hands over a device context that a
// GdiDevice draws on. The owner window is passed opaquely so that this header stays free of <windows.h>.
class GdiPrinterChooser : public PrinterChooser {
public:
    explicit GdiPrinterChooser(void* ownerWindow);
    PrinterChoice ChoosePrinter() override;

private:
    void* OwnerWindow;
};
