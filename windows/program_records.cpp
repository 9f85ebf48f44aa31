#include "windows/program_records.h"

#include "print/command_line_colours.h"

#include <utility>

ParameterRecord Parameters{};
PrintColourRecord PrintColours = BlackOnWhite;
std::string CommandText;

void SetPrintColoursFromCommandLine(std::string_view commandLine) {
    CommandLineColours read = ColoursFromCommandLine(commandLine);
    if (!read.Text.empty()) {
        CommandText = std::move(read.Text);
    }
    PrintColours = read.Colours;
}
