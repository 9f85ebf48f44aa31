#include "cli/page_options.h"

#include "cli/cups_print.h"
#include "cli/output_file.h"
#include "settings/page_warnings.h"

#include <algorithm>
#include <cctype>
#include <iostream>

const std::string_view PageFileNote =
    "The file is written completely or not at all: an existing file is replaced only by a complete one, and a\n"
    "full disk leaves the old file as it was (exit code 1). A symlink stays a link to the new file; a device or\n"
    "FIFO is written into. With -o - the page goes to standard output (the ten lines of arc to stderr).";

namespace {

// Writes the page through a file printer and reports a file that could not be written.
void WritePage(const FilePrinterSettings& settings, const PrintColourRecord& colours,
               const std::function<void(PrintSurface&)>& printout) {
    FilePrinterChooser chooser(settings);
    {
        PrintSurface surface(chooser, colours);
        printout(surface);
    }
    if (const Outcome written = chooser.FileWritten(); !written) {
        throw CommandFailure(written.Message());
    }
}

bool OutputGiven(const SettingsReport& report) {
    const ReadSetting* output = report.Find("output");
    return output != nullptr && output->Given;
}

} // namespace

FilePrinterSettings FilePrinterOf(const SettingsReport& report) {
    const PageRequest& page = report.Page;
    FilePrinterSettings settings;
    settings.Paper = page.Paper;
    settings.Format = page.Format == "svg" ? PageFormat::Svg : page.Format == "png" ? PageFormat::Png : PageFormat::Pdf;
    settings.Path = page.Output.value_or("");
    settings.Dpi = page.Dpi;
    settings.MarginMm = page.MarginMm;
    return settings;
}

std::string SheetFileName(const std::string& path, int number) {
    const std::size_t name = path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
    const std::size_t dot = path.find_last_of('.');
    const std::size_t at = dot != std::string::npos && dot > name && PageFormatNamedBy(path) ? dot : path.size();
    return path.substr(0, at) + "-" + std::to_string(number) + path.substr(at);
}

void WriteOrPrintPage(const SettingsReport& report, bool landscape, const std::string& title, std::string_view check,
                      const std::function<void(PrintSurface&)>& printout) {
    WriteOrPrintSheets(report, landscape, title, check, 1, printout, nullptr);
}

void WriteOrPrintSheets(const SettingsReport& report, bool landscape, const std::string& title, std::string_view check,
                        int sheets, const std::function<void(PrintSurface&)>& printout,
                        const std::function<void(PrintSurface&, int)>& sheet) {
    const FilePrinterSettings settings = FilePrinterOf(report);
    const std::string orientation = (landscape ? " landscape" : " portrait");
    const std::string page =
        sheets > 1 ? std::to_string(sheets) + " sheets of " + std::string(PaperNameOf(settings.Paper)) + orientation
                   : std::string(PaperNameOf(settings.Paper)) + orientation;
    const std::string reminder =
        (check.empty() ? std::string() : "; print at actual size (100 %), then check " + std::string(check)) +
        (sheets > 1 ? " and join the sheets as they say" : "");
    const std::optional<std::string>& queue = report.Page.PrintQueue;
    if (!queue || OutputGiven(report)) {
        std::string file = IsStandardOutput(settings.Path) ? "the page to standard output" : settings.Path;
        if (sheets > 1 && settings.Format != PageFormat::Pdf) {
            // One page per file: a file per sheet, each written whole or not at all.
            file.clear();
            for (int index = 0; index < sheets; ++index) {
                FilePrinterSettings one = settings;
                one.Path = SheetFileName(settings.Path, index + 1);
                WritePage(one, report.Page.Colours, [&](PrintSurface& surface) { sheet(surface, index); });
                file += (index == 0 ? "" : index + 1 == sheets ? " and " : ", ") + one.Path;
            }
        } else {
            WritePage(settings, report.Page.Colours, printout);
        }
        // A name whose extension names no format does not tell the user what the file holds: the line does.
        if (!IsStandardOutput(settings.Path) && !PageFormatNamedBy(settings.Path)) {
            std::string format = report.Page.Format;
            std::transform(format.begin(), format.end(), format.begin(),
                           [](unsigned char c) { return std::toupper(c); });
            file += " as " + format;
        }
        std::cerr << "quillmere: wrote " << file << " (" << page << ", " << settings.Dpi << " dpi)" << reminder << '\n';
    }
    if (queue) {
        const CupsJob job = PrintPageThroughCups(
            [&](const std::string& pdf) {
                FilePrinterSettings printed = settings;
                printed.Path = pdf;
                printed.Format = PageFormat::Pdf;
                WritePage(printed, report.Page.Colours, printout);
            },
            *queue, landscape, settings.Paper, title);
        std::cerr << "quillmere: request id is " << job.Queue << "-" << job.Id << " (queue " << job.Queue << ", "
                  << page << ")" << reminder << '\n';
    }
}
