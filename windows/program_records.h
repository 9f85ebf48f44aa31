#pragma once

// The Windows program's process-wide records: read from its fields and its command line, passed to the portable
// printouts and checks as arguments. Nothing below windows/ keeps state of its own.

#include "print/page_model.h"
#include "windows/parameter_record.h"

#include <string>
#include <string_view>

// The parameter record the main window reads its fields into; zero at start.
extern ParameterRecord Parameters;
// The colours on paper, set once from the command line; black on white until then.
extern PrintColourRecord PrintColours;
// The command-line text with its leading and trailing blanks removed; empty until a non-empty text is seen.
extern std::string CommandText;

// Sets `PrintColours` (and `CommandText` when there is one) from a whole command line in the program's 8-bit text.
void SetPrintColoursFromCommandLine(std::string_view commandLine);
