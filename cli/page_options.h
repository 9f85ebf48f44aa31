#pragma once

#include "settings/page_warnings.h"
#include "cli/options.h"
#include "cli/file_printer.h"
#include "print/page_model.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The options of every command that makes a page: where it goes and how the emulated printer is set up.
// Choices hold their canonical names ("pdf", "a4"); `Print` holds the queue ("" for the default destination).
struct PageOptions {
    std::optional<std::string> Output, Format, Paper, Print, Colours;
    std::optional<int> Dpi;
    std::optional<double> Margin;
};

// Declares the page options on a command, in the group "Page options"; `defaultFiles` names the files written
// when -o is not given, for the help.
void AddPageOptions(CLI::App& command, PageOptions& options, std::string_view defaultFiles);

// The file and printer the options ask for; `defaultName` is the file name without extension used without -o.
// Throws UsageError for a resolution the format cannot take.
FilePrinterSettings PageSettingsFromOptions(const PageOptions& options, std::string_view defaultName);

// The paper, margin and resolution of the settings, for the checks of app/page_warnings.h.
PageSetup PageSetupOf(const FilePrinterSettings& settings);
// What the page options themselves give warnings for: a --colours text with fewer than six numbers.
std::vector<std::string> PageOptionWarnings(const PageOptions& options);

// The print colours of --colours, read as the Windows program reads its command line.
PrintColourRecord ColoursFromOptions(const PageOptions& options);

// A printout made on the surface it is given (one print job).
using PagePrintout = std::function<void(PrintSurface&)>;

// Writes the page to its file, prints it through CUPS with --print, or both when -o is given too, in the colours of
// --colours, and says on stderr what was done, with the reminder to print at actual size and then check `check` ("the
// 200 mm marks"; none when empty). Throws CommandFailure when the file cannot be written or the printer refuses.
void WriteOrPrintPage(const PageOptions& options, const FilePrinterSettings& settings, bool landscape,
                      const std::string& title, std::string_view check, const PagePrintout& printout);
