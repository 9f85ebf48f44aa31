#pragma once

#include "cli/file_printer.h"
#include "cli/options.h"
#include "print/page_model.h"
#include "settings/settings.h"

#include <functional>
#include <string>
#include <string_view>

// The file printer the settings' page asks for.
FilePrinterSettings FilePrinterOf(const SettingsReport& report);

// Writes the page to its file, prints it through CUPS with --print, or both when -o is given too, and says on
// stderr what was done, with the reminder to print at actual size and then check `check` ("the 200 mm marks"; none
// when empty). `printout` draws the page on the surface it is given, in the settings' colours.
// Throws CommandFailure when the file cannot be written or the printer refuses.
void WriteOrPrintPage(const SettingsReport& report, bool landscape, const std::string& title, std::string_view check,
                      const std::function<void(PrintSurface&)>& printout);

// The page commands' note on how the file is written.
extern const std::string_view PageFileNote;
