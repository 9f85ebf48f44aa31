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

// The same for a printout on `sheets` pages: `printout` draws them all (a PDF, a print job), `sheet` one of them
// (from 0) for a format that holds one page per file: sheet k of a PNG or SVG file goes to the file's name with
// "-k" before its extension (arc.png: arc-1.png, arc-2.png), each written as a single page file is.
void WriteOrPrintSheets(const SettingsReport& report, bool landscape, const std::string& title, std::string_view check,
                        int sheets, const std::function<void(PrintSurface&)>& printout,
                        const std::function<void(PrintSurface&, int)>& sheet);

// The file of sheet `number` (from 1) of a page file: "-number" before the extension of the file's name.
std::string SheetFileName(const std::string& path, int number);

// The page commands' note on how the file is written.
extern const std::string_view PageFileNote;
