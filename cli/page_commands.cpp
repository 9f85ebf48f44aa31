#include "cli/page_commands.h"

#include "app/command_line_colours.h"
#include "app/confirmation_text.h"
#include "app/custom_strobe_layout.h"
#include "cli/cups_print.h"
#include "cli/field_options.h"
#include "cli/options.h"
#include "cli/system_paper.h"
#include "geometry/alignment.h"
#include "geometry/control_ids.h"
#include "geometry/windows_1252.h"
#include "print/cairo/file_printer.h"
#include "print/custom_strobe_fields.h"
#include "print/page_model.h"
#include "print/printouts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <iostream>
#include <map>
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
    specs.push_back({"print", 0, OptionValue::Optional});
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
           "  --print[=QUEUE]           print through CUPS at full scale (default queue when none is named)\n"
           "  --paper letter|a4         paper size (default: the system's paper setting, else letter)\n"
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
    settings.Paper = SystemPaperSize();
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

// Writes the page to its file, prints it through CUPS with --print, or both when -o is given too.
void WriteOrPrintPage(const ParsedOptions& options, const FilePrinterSettings& settings, bool landscape,
                      const std::string& title, const std::function<void()>& printout) {
    const std::string* queue = options.Find("print");
    if (queue == nullptr || options.Has("output")) {
        WritePage(settings, printout);
    }
    if (queue != nullptr) {
        const CupsJob job = PrintPageThroughCups(
            [&](const std::string& pdf) {
                FilePrinterSettings printed = settings;
                printed.Path = pdf;
                printed.Format = PageFormat::Pdf;
                WritePage(printed, printout);
            },
            *queue, landscape, settings.Paper, title);
        std::cerr << "quillmere: request id is " << job.Queue << "-" << job.Id << '\n';
    }
}

// The custom strobe dialog's four fields as typed on the command line; its initial texts as defaults.
class CustomStrobeFieldTable : public FieldTextTable {
public:
    explicit CustomStrobeFieldTable(const ParsedOptions& options) : FieldTextTable(InitialCustomStrobeFields()) {
        for (const auto& [option, control] : NamedCustomStrobeFields) {
            if (const std::string* text = options.Find(option)) {
                Texts[control] = Utf8ToWindows1252(*text);
            }
        }
    }
};

bool AsksForCustomDisk(const ParsedOptions& options) {
    return std::any_of(std::begin(NamedCustomStrobeFields), std::end(NamedCustomStrobeFields),
                       [&](const NamedControl& entry) { return options.Has(entry.Name); });
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
    WriteOrPrintPage(options, settings, true, "Arc alignment template", PrintArcTemplate);
    return std::cout ? 0 : 1;
}

int RunStrobeCommand(std::span<const std::string> args) {
    std::vector<OptionSpec> specs;
    specs.push_back({"mains"});
    for (const auto& [option, control] : NamedCustomStrobeFields) {
        specs.push_back({option});
    }
    AddCorrectionOptionSpecs(specs);
    AddPageOptionSpecs(specs);
    const ParsedOptions options = ParseOptions(args, specs);
    if (options.Has("help")) {
        std::cout
            << "Usage: quillmere strobe [--mains 60|50] [--correction-x TEXT] [--correction-y TEXT]\n"
               "                        [PAGE OPTIONS]\n"
               "       quillmere strobe --outer-bars TEXT --inner-bars TEXT [--caption1 TEXT] [--caption2 TEXT]\n"
               "                        [--correction-x TEXT] [--correction-y TEXT] [PAGE OPTIONS]\n"
               "Writes a stroboscope disk at full scale on one portrait page: 216 and 160 bars for 60 Hz\n"
               "mains lighting (default), 180 and 133 bars for 50 Hz, or a custom disk.\n\n"
               "Options:\n"
               "  --mains 60|50             mains frequency of the lighting (default 60)\n"
               "  --outer-bars TEXT         custom disk: bars in the outer ring (default 216, at most 10000)\n"
               "  --inner-bars TEXT         custom disk: bars in the inner ring (default 160, at most 10000)\n"
               "  --caption1 TEXT           custom disk: first caption line, centred in 36 characters\n"
               "                            (default \"33 1/3 RPM - 60 HZ - 216 BARS\")\n"
               "  --caption2 TEXT           custom disk: second caption line (default \"45 RPM - 60 HZ - 160 BARS\")\n"
               "Counts are read like the window's fields and rounded; 0 or less leaves a ring without bars.\n"
            << CorrectionOptionsHelp() << PageOptionsHelp("strobe-60hz.pdf, strobe-50hz.pdf or strobe-custom.pdf");
        return 0;
    }
    const std::string* mains = options.Find("mains");
    const bool fifty = mains != nullptr && *mains == "50";
    if (mains != nullptr && !fifty && *mains != "60") {
        throw UsageError("--mains must be 60 or 50, not '" + *mains + "'");
    }
    const bool custom = AsksForCustomDisk(options);
    if (custom && mains != nullptr) {
        throw UsageError("--mains cannot be combined with a custom disk's options");
    }
    const FieldTable table = FieldTableFromOptions(options, std::cerr);
    const CustomStrobeFieldTable customFields(options);
    if (custom && !BarCountsWithinLimit(customFields)) {
        throw UsageError(std::string(BarCountRefusal));
    }
    const std::string_view name = custom ? "strobe-custom" : fifty ? "strobe-50hz" : "strobe-60hz";
    const FilePrinterSettings settings = PageSettingsFromOptions(options, name);
    SetColoursFromOptions(options);
    // Only the correction factors matter to the disk; the rest of the table keeps the window's defaults.
    ReadAndComputeAlignment(table);
    const std::string blank(CaptionLength, ' ');
    WriteOrPrintPage(options, settings, false, "Strobe disk", [&] {
        if (custom) {
            ReadCustomStrobeFields(customFields);
            PrintStrobeDisk(CustomOuterBars, CustomInnerBars, CustomCaption1, CustomCaption2);
        } else if (fifty) {
            PrintStrobeDisk(180, 133, blank, blank);
        } else {
            PrintStrobeDisk(216, 160, blank, blank);
        }
    });
    return 0;
}
