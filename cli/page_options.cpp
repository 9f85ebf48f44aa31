#include "cli/page_options.h"

#include "print/command_line_colours.h"
#include "cli/cups_print.h"
#include "cli/system_paper.h"
#include "geometry/windows_1252.h"
#include "cli/output_file.h"
#include "print/page_model.h"

#include <iostream>

namespace {

// Beyond these the page either cannot be resolved or would take gigabytes to rasterise.
constexpr int MinimumDpi = 72;
constexpr int MaximumDpi = 2400;
constexpr int MaximumPngDpi = 1200;
constexpr double MaximumMarginMm = 50;

std::optional<PageFormat> FormatNamed(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (lowered == "pdf") {
        return PageFormat::Pdf;
    }
    if (lowered == "svg") {
        return PageFormat::Svg;
    }
    if (lowered == "png") {
        return PageFormat::Png;
    }
    return std::nullopt;
}

std::string_view ExtensionOf(PageFormat format) {
    switch (format) {
    case PageFormat::Svg:
        return "svg";
    case PageFormat::Png:
        return "png";
    case PageFormat::Pdf:
        break;
    }
    return "pdf";
}

// The format an output name asks for by its extension, if it names one of the three.
std::optional<PageFormat> FormatOfPath(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0) {
        return std::nullopt;
    }
    return FormatNamed(name.substr(dot + 1));
}

// Writes the page through a file printer and reports a file that could not be written.
void WritePage(const FilePrinterSettings& settings, const std::function<void()>& printout) {
    FilePrinterChooser chooser(settings);
    SetPrinterChooser(&chooser);
    printout();
    SetPrinterChooser(nullptr);
    if (!chooser.Written()) {
        throw CommandFailure(chooser.Error().empty() ? "cannot write '" + settings.Path + "'" : chooser.Error());
    }
}

} // namespace

void AddPageOptions(CLI::App& command, PageOptions& options, std::string_view defaultFiles) {
    const std::string group = "Page options";
    command
        .add_option("-o,--output", options.Output,
                    "the file to write (default " + std::string(defaultFiles) +
                        ";\nthe extension follows --format); - is standard output")
        ->option_text("FILE")
        ->group(group);
    command.add_option("--format", options.Format, "file format (default: from the file's extension, else pdf)")
        ->option_text("pdf|svg|png")
        ->transform(ChoiceOf({{"pdf"}, {"svg"}, {"png"}}))
        ->group(group);
    command
        .add_option("--paper", options.Paper,
                    "paper size (default: the system's paper setting, as paperconf\nand the locale say; else letter)")
        ->option_text("letter|a4")
        ->transform(ChoiceOf({{"letter"}, {"a4"}}))
        ->group(group);
    command
        .add_flag("--print{}", options.Print,
                  "print through CUPS at full scale on the named queue, or on the\ndefault printer when none is named "
                  "(with -o the file is written too)")
        ->option_text("[=QUEUE]")
        ->group(group);
    command
        .add_option("--dpi", options.Dpi,
                    "resolution of the emulated printer in dots per inch\n(default 600; png at most 1200)")
        ->option_text("N")
        ->check(WholeNumberFrom(MinimumDpi, MaximumDpi))
        ->group(group);
    command
        .add_option("--margin", options.Margin,
                    "margin in mm from the paper edge that the emulated printer\ncannot print on (default 4.23)")
        ->option_text("MM")
        ->check(NumberFrom(0, MaximumMarginMm, "mm"))
        ->group(group);
    command
        .add_option("--colours", options.Colours,
                    "colours on paper as the Windows program's command line takes them:\nup to six numbers R,G,B of "
                    "the foreground, then of the background")
        ->option_text("R,G,B,R,G,B")
        ->group(group);
}

FilePrinterSettings PageSettingsFromOptions(const PageOptions& options, std::string_view defaultName) {
    FilePrinterSettings settings;
    settings.Paper = options.Paper ? (*options.Paper == "a4" ? PaperSize::A4 : PaperSize::Letter) : SystemPaperSize();
    const std::optional<PageFormat> ofPath = options.Output ? FormatOfPath(*options.Output) : std::nullopt;
    settings.Format = FormatNamed(options.Format.value_or("")).value_or(ofPath.value_or(PageFormat::Pdf));
    if (options.Output) {
        if (options.Output->empty()) {
            throw UsageError("--output needs a file name");
        }
        settings.Path = *options.Output;
        if (const Outcome allowed = CheckOutputPath(settings.Path); !allowed) {
            throw CommandFailure(allowed.Message());
        }
    } else {
        settings.Path = std::string(defaultName) + "." + std::string(ExtensionOf(settings.Format));
    }
    if (options.Dpi) {
        settings.Dpi = *options.Dpi;
        if (settings.Format == PageFormat::Png && settings.Dpi > MaximumPngDpi) {
            throw UsageError("--dpi must be from " + std::to_string(MinimumDpi) + " to " +
                             std::to_string(MaximumPngDpi) + " for png, not '" + std::to_string(settings.Dpi) + "'");
        }
    }
    if (options.Margin) {
        settings.MarginMm = *options.Margin;
    }
    return settings;
}

PageSetup PageSetupOf(const FilePrinterSettings& settings) {
    return settings.Paper == PaperSize::A4 ? A4Page(settings.MarginMm, settings.Dpi)
                                           : LetterPage(settings.MarginMm, settings.Dpi);
}

std::vector<std::string> PageOptionWarnings(const PageOptions& options) {
    std::vector<std::string> warnings;
    if (options.Colours) {
        if (const std::optional<std::string> warning = ColoursWarning(Utf8ToWindows1252(*options.Colours))) {
            warnings.push_back("--colours: " + *warning);
        }
    }
    return warnings;
}

void SetColoursFromOptions(const PageOptions& options) {
    PrintColours =
        ColoursFromCommandText(TrimBlanks(options.Colours ? Utf8ToWindows1252(*options.Colours) : std::string()));
}

void WriteOrPrintPage(const PageOptions& options, const FilePrinterSettings& settings, bool landscape,
                      const std::string& title, std::string_view check, const std::function<void()>& printout) {
    const PageSetup setup = PageSetupOf(settings);
    const std::string page = setup.PaperName + (landscape ? " landscape" : " portrait");
    const std::string reminder =
        check.empty() ? std::string() : "; print at actual size (100 %), then check " + std::string(check);
    if (!options.Print || options.Output) {
        WritePage(settings, printout);
        const std::string file = IsStandardOutput(settings.Path) ? "the page to standard output" : settings.Path;
        std::cerr << "quillmere: wrote " << file << " (" << page << ", " << settings.Dpi << " dpi)" << reminder << '\n';
    }
    if (options.Print) {
        const CupsJob job = PrintPageThroughCups(
            [&](const std::string& pdf) {
                FilePrinterSettings printed = settings;
                printed.Path = pdf;
                printed.Format = PageFormat::Pdf;
                WritePage(printed, printout);
            },
            *options.Print, landscape, settings.Paper, title);
        std::cerr << "quillmere: request id is " << job.Queue << "-" << job.Id << " (queue " << job.Queue << ", "
                  << page << ")" << reminder << '\n';
    }
}
