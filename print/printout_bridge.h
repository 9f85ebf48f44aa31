#pragma once
// Bridge to the printouts until they take their inputs as arguments.
#include "print/page_model.h"
#include "print/printouts.h"
#include "geometry/parameter_record.h"

inline void PrintArcTemplate(PrinterChooser& chooser, ParameterRecord& record, const PrintColourRecord& colours) {
    Parameters = record;
    PrintColours = colours;
    SetPrinterChooser(&chooser);
    PrintArcTemplate();
    SetPrinterChooser(nullptr);
}
inline void PrintStrobeDiskWithNotes(PrinterChooser& chooser, const ParameterRecord& record,
                                     const PrintColourRecord& colours, std::int32_t outer, std::int32_t inner,
                                     const std::string& c1, const std::string& c2, const std::vector<std::string>& notes) {
    Parameters = record;
    PrintColours = colours;
    SetPrinterChooser(&chooser);
    PrintStrobeDiskWithNotes(outer, inner, c1, c2, notes);
    SetPrinterChooser(nullptr);
}
inline void PrintAnalysisChart(PrinterChooser& chooser, const AlignmentAnalysis& analysis,
                               const PrintColourRecord& colours) {
    PrintColours = colours;
    SetPrinterChooser(&chooser);
    PrintAnalysisChart(analysis);
    SetPrinterChooser(nullptr);
}
