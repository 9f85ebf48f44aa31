#include "cli/page_commands.h"

#include "app/command_line_colours.h"
#include "app/confirmation_text.h"
#include "cli/field_options.h"
#include "cli/options.h"
#include "geometry/alignment.h"
#include "geometry/windows_1252.h"
#include "print/cairo/file_printer.h"
#include "print/page_model.h"
#include "print/printouts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// Beyond these the page either cannot be resolved or would take gigabytes to rasterise.
constexpr int MinimumDpi = 72;
constexpr int MaximumDpi = 2400;
constexpr int MaximumPngDpi = 1200;
constexpr double MaximumMarginMm = 50;

void AddPageOptionSpecs(std::vector<OptionSpec>& specs) {
    specs.push_back({"output", 'o'});
    specs.push_back({"format"});
    specs.push_back({"paper"});
    specs.push_back({"dpi"});
    specs.push_back({"margin"});
    specs.push_back({"colours"});
}

std::string PageOptionsHelp(std::string_view defaultFiles) {
    return "  --colours TEXT            colours on paper as the Windows program's command line takes them:\n"
           "                            up to six numbers R,G,B of the foreground, then of the background\n"
           "  -o, --output FILE         the file to write (default " +
           std::string(defaultFiles) +
           "; the extension follows --format)\n"
           "  --format pdf|svg|png      default from the file's extension, else pdf\n"
           "  --paper letter|a4         paper size (default letter)\n"
           "  --dpi N                   resolution of the emulated printer (default 600; png at most 1200)\n"
           "  --margin MM               printable-area margin from the paper edge (default 4.23)\n"
           "The file is written completely or not at all; an existing file is replaced only by a complete one.\n";
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

std::optional<PageFormat> FormatNamed(std::string_view name) {
    const std::string lowered = Lowered(name);
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

// A whole option value as a number, or a usage error: the page options are the tool's own and are not read
// with the window's forgiving number rules.
template <typename Number> Number WholeNumber(std::string_view option, const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        throw UsageError("--" + std::string(option) + " needs a number, not '" + text + "'");
    }
    return value;
}

FilePrinterSettings PageSettingsFromOptions(const ParsedOptions& options, std::string_view defaultName) {
    FilePrinterSettings settings;
    std::optional<PageFormat> format;
    if (const std::string* name = options.Find("format")) {
        format = FormatNamed(*name);
        if (!format) {
            throw UsageError("--format must be pdf, svg or png, not '" + *name + "'");
        }
    }
    if (const std::string* output = options.Find("output")) {
        if (output->empty()) {
            throw UsageError("--output needs a file name");
        }
        settings.Path = *output;
        settings.Format = format.value_or(FormatOfPath(*output).value_or(PageFormat::Pdf));
    } else {
        settings.Format = format.value_or(PageFormat::Pdf);
        settings.Path = std::string(defaultName) + "." + std::string(ExtensionOf(settings.Format));
    }
    if (const std::string* paper = options.Find("paper")) {
        const std::string lowered = Lowered(*paper);
        if (lowered == "letter") {
            settings.Paper = PaperSize::Letter;
        } else if (lowered == "a4") {
            settings.Paper = PaperSize::A4;
        } else {
            throw UsageError("--paper must be letter or a4, not '" + *paper + "'");
        }
    }
    if (const std::string* dpi = options.Find("dpi")) {
        settings.Dpi = WholeNumber<int>("dpi", *dpi);
        const int most = settings.Format == PageFormat::Png ? MaximumPngDpi : MaximumDpi;
        if (settings.Dpi < MinimumDpi || settings.Dpi > most) {
            throw UsageError("--dpi must be from " + std::to_string(MinimumDpi) + " to " + std::to_string(most) +
                             ", not '" + *dpi + "'");
        }
    }
    if (const std::string* margin = options.Find("margin")) {
        settings.MarginMm = WholeNumber<double>("margin", *margin);
        if (!(settings.MarginMm >= 0 && settings.MarginMm <= MaximumMarginMm)) {
            throw UsageError("--margin must be from 0 to 50 mm, not '" + *margin + "'");
        }
    }
    return settings;
}

void SetColoursFromOptions(const ParsedOptions& options) {
    const std::string* text = options.Find("colours");
    PrintColours = ColoursFromCommandText(TrimBlanks(text ? Utf8ToWindows1252(*text) : std::string()));
}

// Runs the printout against a file printer and reports a file that could not be written.
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

int RunArcCommand(std::span<const std::string> args) {
    std::vector<OptionSpec> specs;
    AddFieldOptionSpecs(specs);
    AddPageOptionSpecs(specs);
    const ParsedOptions options = ParseOptions(args, specs);
    if (options.Has("help")) {
        std::cout << "Usage: quillmere arc [FIELD OPTIONS] [PAGE OPTIONS]\n"
                     "Computes the alignment, prints the ten confirmation lines and writes the arc alignment\n"
                     "template at full scale on one landscape page.\n\n"
                     "Field options:\n"
                  << FieldOptionsHelp() << "\nPage options:\n"
                  << PageOptionsHelp("arc-template.pdf");
        return 0;
    }
    const FieldTable table = FieldTableFromOptions(options, std::cerr);
    const FilePrinterSettings settings = PageSettingsFromOptions(options, "arc-template");
    SetColoursFromOptions(options);
    ReadAndComputeAlignment(table);
    std::cout << Windows1252ToUtf8(ConfirmationText(Parameters)) << '\n' << std::flush;
    WritePage(settings, PrintArcTemplate);
    return std::cout ? 0 : 1;
}

int RunStrobeCommand(std::span<const std::string> args) {
    std::vector<OptionSpec> specs;
    specs.push_back({"mains"});
    AddCorrectionOptionSpecs(specs);
    AddPageOptionSpecs(specs);
    const ParsedOptions options = ParseOptions(args, specs);
    if (options.Has("help")) {
        std::cout << "Usage: quillmere strobe [--mains 60|50] [--correction-x TEXT] [--correction-y TEXT]\n"
                     "                        [PAGE OPTIONS]\n"
                     "Writes a stroboscope disk at full scale on one portrait page: 216 and 160 bars for 60 Hz\n"
                     "mains lighting (default), 180 and 133 bars for 50 Hz.\n\n"
                     "Options:\n"
                     "  --mains 60|50             mains frequency of the lighting (default 60)\n"
                  << CorrectionOptionsHelp() << PageOptionsHelp("strobe-60hz.pdf or strobe-50hz.pdf");
        return 0;
    }
    const std::string* mains = options.Find("mains");
    const bool fifty = mains != nullptr && *mains == "50";
    if (mains != nullptr && !fifty && *mains != "60") {
        throw UsageError("--mains must be 60 or 50, not '" + *mains + "'");
    }
    const FieldTable table = FieldTableFromOptions(options, std::cerr);
    const FilePrinterSettings settings = PageSettingsFromOptions(options, fifty ? "strobe-50hz" : "strobe-60hz");
    SetColoursFromOptions(options);
    // Only the correction factors matter to the disk; the rest of the table keeps the window's defaults.
    ReadAndComputeAlignment(table);
    const std::string blank(CaptionLength, ' ');
    WritePage(settings, [&] {
        if (fifty) {
            PrintStrobeDisk(180, 133, blank, blank);
        } else {
            PrintStrobeDisk(216, 160, blank, blank);
        }
    });
    return 0;
}
