#pragma once

#include "print/page_model.h"

#include <string>
#include <string_view>
#include <vector>

// What follows the program's own name on a command line: the name runs to its closing double quote when
// it starts with one, otherwise to the first blank or tab.
std::string_view TextAfterProgramName(std::string_view commandLine);
// Removes leading and trailing blanks (0x20 only; tabs stay).
std::string_view TrimBlanks(std::string_view text);
// Comma-separated fields; blanks at the start of a field are skipped, and a field that starts with a double
// quote runs to the closing quote (commas inside belong to it, text after the quote up to the comma is dropped).
std::vector<std::string> SplitCommandFields(std::string_view text);
// Fields 1 to 6 read as numbers, rounded to 32-bit integers; missing fields read as 0, an empty text gives
// black on white.
PrintColourRecord ColoursFromCommandText(std::string_view text);
// What a whole command line in the program's 8-bit text gives: the text after the program's name with its leading
// and trailing blanks removed (empty when there is none), and the colours it reads as.
struct CommandLineColours {
    std::string Text;
    PrintColourRecord Colours;
};
CommandLineColours ColoursFromCommandLine(std::string_view commandLine);
