#pragma once

#include "geometry/result.h"
#include "print/paper.h"
#include "print/print_device.h"

#include <memory>
#include <string>

enum class PageFormat { Pdf, Svg, Png };

// A printer emulated in a file: its resolution, the unprintable margin all round and the paper.
struct FilePrinterSettings {
    std::string Path; // output file
    PageFormat Format = PageFormat::Pdf;
    PaperSize Paper = PaperSize::Letter;
    int Dpi = 600;          // emulated printer resolution (both axes)
    double MarginMm = 4.23; // printable-area margin from the paper edge
};

// What became of the file a device was writing; shared between the chooser and the device it handed out.
struct FilePrinterOutcome {
    bool Written = false;
    std::string Error;
};

// Answers the printer choice with a device writing the named file. The file appears only complete: the device
// writes a temporary file beside it and renames it into place when the document has ended without error.
class FilePrinterChooser : public PrinterChooser {
public:
    explicit FilePrinterChooser(FilePrinterSettings settings);
    PrinterChoice ChoosePrinter() override; // returns Chosen with a cairo device (name = the path)
    // After EndPrintJob: done when the file is complete and in place, else the one-line reason.
    ::Outcome FileWritten() const;

private:
    FilePrinterSettings Settings;
    std::shared_ptr<FilePrinterOutcome> Outcome;
};

// The device itself, for callers that drive a PrintDevice directly.
std::unique_ptr<PrintDevice> MakeFilePrinterDevice(const FilePrinterSettings& settings,
                                                   std::shared_ptr<FilePrinterOutcome> outcome);
