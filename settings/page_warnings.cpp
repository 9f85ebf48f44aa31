#include "settings/page_warnings.h"

#include "geometry/numeric_text.h"
#include "print/arc_sheets.h"
#include "print/command_line_colours.h"
#include "print/page_model.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "print/text_width.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <tuple>

namespace {

constexpr double LongestArmMm = 400;
constexpr double LeastFactor = 0.9;
constexpr double MostFactor = 1.1;

// Numbers in warnings as the tool and the browser page write them elsewhere: the shortest text that reads back.
std::string Number(double value) {
    return ShortestText(value);
}

// The ink of a text whose cell starts at `at`, for a font of `em` dots: from the capital height to the baseline
// (or the descent when a letter hangs below it), as wide as Arial sets it.
void TextInk(std::string_view text, double em, double& width, double& top, double& bottom) {
    bool descends = false;
    for (const char c : text) {
        descends = descends || std::string_view("gjpqy,;()[]{}|_@$").find(c) != std::string_view::npos;
    }
    width = ArialTextWidth(text) * em;
    top = (ArialAscent - ArialCapHeight) * em;
    bottom = (ArialAscent + (descends ? ArialDescent : 0)) * em;
}

// A limit to keep within, cut to tenths of a millimetre towards the safe side.
std::string AtMost(double value) {
    return Number(std::floor(value * 10 + 1e-9) / 10);
}

DevicePoint PortraitPrintableDots(const PageSetup& setup) {
    DevicePoint printable = PaperGeometryOf(setup.Paper, setup.Dpi, setup.MarginMm, 1).Printable;
    printable.Y = std::max(printable.Y, setup.JoinedWidthDots);
    return printable;
}

ArcSheets ArcSheetsOf(const PageSetup& setup, const ArcTemplateJob& job) {
    const PageScale scale = PageScaleOf({setup.Dpi, setup.Dpi}, job.Correction);
    const int printable = PaperGeometryOf(setup.Paper, setup.Dpi, setup.MarginMm, 2).Printable.X;
    return PlanArcSheets(job, scale, setup.Dpi, printable, setup.Tile ? SheetChoice::Tiled : SheetChoice::AsNeeded);
}

// A printout of the values it was made with.
using Printout = std::function<void(PrintSurface&)>;

// "a, b or c"
std::string Listed(const std::vector<std::string>& parts, std::string_view last) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == parts.size() ? std::string(last) : ", ") + parts[i];
    }
    return text;
}

// The printout's requests on a device with the setup's resolution and printable area.
std::vector<DeviceRequest> Recorded(const PageSetup& setup, const Printout& printout) {
    RecordingDeviceSettings settings;
    settings.Resolution = {setup.Dpi, setup.Dpi};
    settings.PortraitPrintableSize = PortraitPrintableDots(setup);
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log, settings);
    PrintSurface surface(chooser);
    printout(surface);
    return log;
}

struct Extent {
    double Left, Top, Right, Bottom;
};

using MarkList = std::vector<std::pair<std::string, Extent>>;

// Where each named mark lies on the recorded page, in dots, in the order the marks are drawn.
MarkList MarkExtents(const std::vector<DeviceRequest>& log) {
    std::map<int, int> fontHeights;
    MarkList marks;
    for (const DeviceRequest& request : log) {
        Extent extent{};
        switch (request.What) {
        case DeviceRequest::Kind::MakeFont:
            fontHeights[request.Font] = std::abs(request.FontRequest.Height);
            continue;
        case DeviceRequest::Kind::Line:
            extent = {static_cast<double>(std::min(request.From.X, request.To.X)),
                      static_cast<double>(std::min(request.From.Y, request.To.Y)),
                      static_cast<double>(std::max(request.From.X, request.To.X)),
                      static_cast<double>(std::max(request.From.Y, request.To.Y))};
            break;
        case DeviceRequest::Kind::Box:
        case DeviceRequest::Kind::Arc:
            extent = {static_cast<double>(request.Rect.Left), static_cast<double>(request.Rect.Top),
                      static_cast<double>(request.Rect.Right), static_cast<double>(request.Rect.Bottom)};
            break;
        case DeviceRequest::Kind::Text: {
            double width = 0;
            double top = 0;
            double bottom = 0;
            TextInk(request.Text, fontHeights[request.Font], width, top, bottom);
            extent = {static_cast<double>(request.From.X), request.From.Y + top, request.From.X + width,
                      request.From.Y + bottom};
            break;
        }
        default:
            continue;
        }
        if (request.Mark.empty()) {
            continue;
        }
        const auto it =
            std::find_if(marks.begin(), marks.end(), [&](const auto& m) { return m.first == request.Mark; });
        if (it == marks.end()) {
            marks.emplace_back(request.Mark, extent);
        } else {
            it->second = {std::min(it->second.Left, extent.Left), std::min(it->second.Top, extent.Top),
                          std::max(it->second.Right, extent.Right), std::max(it->second.Bottom, extent.Bottom)};
        }
    }
    return marks;
}

// The part of a mark outside the printable area ("the bottom of"), or "" when it is all inside.
std::string LostPart(const Extent& mark, DevicePoint printable) {
    if (mark.Right < 0 || mark.Bottom < 0 || mark.Left > printable.X || mark.Top > printable.Y) {
        return "all of ";
    }
    std::vector<std::string> sides;
    const std::pair<bool, const char*> checks[] = {{mark.Top < 0, "the top"},
                                                   {mark.Bottom > printable.Y, "the bottom"},
                                                   {mark.Left < 0, "the left side"},
                                                   {mark.Right > printable.X, "the right side"}};
    for (const auto& [lost, side] : checks) {
        if (lost) {
            sides.emplace_back(side);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < sides.size(); ++i) {
        text += (i == 0 ? "" : " and ") + sides[i];
    }
    return text.empty() ? text : text + " of ";
}

DevicePoint PrintableIn(const PageSetup& setup, bool landscape) {
    const DevicePoint portrait = PortraitPrintableDots(setup);
    return landscape ? DevicePoint{portrait.Y, portrait.X} : portrait;
}

// Whether the mark lies wholly on the printable area when the printout is recorded with this setup (a mark that
// is not drawn at all counts as kept).
bool Keeps(const PageSetup& setup, bool landscape, const std::string& mark, const Printout& printout) {
    const MarkList marks = MarkExtents(Recorded(setup, printout));
    const auto it = std::find_if(marks.begin(), marks.end(), [&](const auto& m) { return m.first == mark; });
    return it == marks.end() || LostPart(it->second, PrintableIn(setup, landscape)).empty();
}

// The largest value from `least` up to `most` (where `keeps` fails) for which `keeps` holds, to a twentieth.
double LargestKept(double least, double most, const std::function<bool(double)>& keeps) {
    while (most - least > 0.05) {
        const double middle = (least + most) / 2;
        (keeps(middle) ? least : most) = middle;
    }
    return least;
}

// One warning per mark of the page recorded with the setup (`marks`) that falls outside the printable area, with
// what would keep it: a smaller margin or other papers. Only things the
// user can change about the printing: the arm's own distance is what the template is for. Only a mark that is cut
// makes the printout be recorded again.
std::vector<std::string> LostMarkWarnings(const PageSetup& setup, bool landscape, const MarkList& marks,
                                          const Printout& printout) {
    std::vector<std::string> warnings;
    const DevicePoint printable = PrintableIn(setup, landscape);
    for (const auto& entry : marks) {
        // Named, not bound: clang 14 (the browser build's) cannot capture a structured binding.
        const std::string& mark = entry.first;
        const std::string lost = LostPart(entry.second, printable);
        if (lost.empty()) {
            continue;
        }
        std::vector<std::string> remedies;
        const auto keepsWithMargin = [&](double margin) {
            PageSetup smaller = setup;
            smaller.MarginMm = margin;
            return Keeps(smaller, landscape, mark, printout);
        };
        if (setup.MarginMm > 0 && keepsWithMargin(0)) {
            remedies.push_back("a margin of at most " + AtMost(LargestKept(0, setup.MarginMm, keepsWithMargin)) +
                               " mm");
        }
        std::vector<std::string> papers;
        for (const PaperSize paper : AllPapers()) {
            PageSetup other = setup;
            other.Paper = paper;
            if (paper != setup.Paper && Keeps(other, landscape, mark, printout)) {
                papers.emplace_back(PaperNameOf(paper));
            }
        }
        if (!papers.empty()) {
            remedies.push_back(Listed(papers, " or ") + " paper");
        }
        const std::string remedy = Listed(remedies, ", or ");
        warnings.push_back(std::string(PaperNameOf(setup.Paper)) + (landscape ? " landscape" : " portrait") +
                           " with a " + Number(setup.MarginMm) + " mm margin cuts " + lost + mark + "; " +
                           (remedy.empty() ? "no margin or paper keeps it" : remedy + " would keep it"));
    }
    return warnings;
}

} // namespace

PageSetup LetterPage(double marginMm, int dpi) {
    return {PaperSize::Letter, marginMm, dpi};
}

PageSetup A4Page(double marginMm, int dpi) {
    return {PaperSize::A4, marginMm, dpi};
}

std::vector<SettingNotice> AlignmentWarnings(const ArmInputs& record) {
    std::vector<SettingNotice> warnings;
    const auto warn = [&](std::string code, std::string field, std::string message) {
        warnings.push_back({std::move(code), std::move(field), "warning", std::move(message)});
    };
    const std::string distance = "the spindle-to-pivot distance of " + Number(record.SpindleToPivot) + " mm";
    if (!(record.SpindleToPivot > record.OuterGrooveRadius)) {
        warn("pivot-on-record", "spindle-to-pivot",
             distance + " is not larger than the outer groove radius of " + Number(record.OuterGrooveRadius) +
                 " mm: the pivot would stand on the record");
    } else if (record.SpindleToPivot > LongestArmMm) {
        warn("arm-too-long", "spindle-to-pivot", distance + " is above 400 mm, longer than tone arms are");
    }
    for (const auto& [name, radius] :
         {std::pair{"inner", record.InnerGrooveRadius}, {"outer", record.OuterGrooveRadius}}) {
        if (!(radius > 0)) {
            warn("radius-not-positive", std::string(name) + "-radius",
                 std::string("the ") + name + " groove radius of " + Number(radius) + " mm is not larger than 0");
        }
    }
    if (!(record.InnerGrooveRadius < record.OuterGrooveRadius)) {
        warn("radii-order", "inner-radius",
             "the inner groove radius of " + Number(record.InnerGrooveRadius) +
                 " mm is not smaller than the outer groove radius of " + Number(record.OuterGrooveRadius) + " mm");
    }
    return warnings;
}

std::vector<SettingNotice> CorrectionFactorWarnings(const PrintCorrection& correction) {
    std::vector<SettingNotice> warnings;
    for (const auto& [name, field, factor] : {std::tuple{"across the page (x)", "correction-x", correction.X},
                                              {"down the page (y)", "correction-y", correction.Y}}) {
        if (!(factor >= LeastFactor && factor <= MostFactor)) {
            warnings.push_back({"correction-factor", field, "warning",
                                std::string("the correction factor ") + name + " of " + Number(factor) +
                                    " is outside 0.9 to 1.1, and a real printer is within a few per cent: the factor "
                                    "is 200 divided by the millimetres a 200 mm line measures"});
        }
    }
    return warnings;
}

std::optional<std::string> NumberReadingWarning(std::string_view text) {
    if (const std::optional<std::string> readsAs = PartlyReadNumber(text)) {
        return "\"" + std::string(text) + "\" reads as " + *readsAs;
    }
    return std::nullopt;
}

namespace {

// The share of light a colour component gives back, from its sRGB value limited to 0..255 as the page uses it.
double Linear(std::int32_t component) {
    const double c = std::clamp(component, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return 0.2126 * Linear(red) + 0.7152 * Linear(green) + 0.0722 * Linear(blue);
}

// "a, b and c"
std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return text;
}

std::string ColourText(std::int32_t red, std::int32_t green, std::int32_t blue) {
    const auto used = [](std::int32_t value) { return std::to_string(std::clamp(value, 0, 255)); };
    return used(red) + "," + used(green) + "," + used(blue);
}

} // namespace

bool LinesWouldShow(const PrintColourRecord& colours) {
    constexpr double LeastContrast = 1.5;
    const double lines = Luminance(colours.ForegroundRed, colours.ForegroundGreen, colours.ForegroundBlue);
    const double paper = Luminance(colours.BackgroundRed, colours.BackgroundGreen, colours.BackgroundBlue);
    return (std::max(lines, paper) + 0.05) >= LeastContrast * (std::min(lines, paper) + 0.05);
}

std::vector<SettingNotice> ColourWarnings(std::string_view coloursText) {
    std::vector<SettingNotice> warnings;
    const auto warn = [&](std::string code, std::string message) {
        warnings.push_back({std::move(code), "colours", "warning", "--colours: " + std::move(message)});
    };
    const std::string_view text = TrimBlanks(coloursText);
    const std::vector<std::string> fields = text.empty() ? std::vector<std::string>{} : SplitCommandFields(text);
    const PrintColourRecord colours = ColoursFromCommandText(text);
    const std::string background = ColourText(colours.BackgroundRed, colours.BackgroundGreen, colours.BackgroundBlue);
    if (!text.empty() && fields.size() < 6) {
        warn("colours-short", "the colours give " + std::to_string(fields.size()) +
                                  " of six numbers; the rest read as 0, so the background reads as " + background +
                                  (background == "0,0,0" ? " (black)" : ""));
    }
    std::vector<std::string> misread;
    for (std::size_t i = 0; i < fields.size() && i < 6; ++i) {
        const double value = TextToNumber(fields[i]);
        const std::int32_t used = std::clamp(RoundToInteger(value), 0, 255);
        if (PartlyReadNumber(fields[i]) || value != used) {
            misread.push_back("'" + fields[i] + (misread.empty() ? "' reads as " : "' as ") + std::to_string(used));
        }
    }
    if (!misread.empty()) {
        warn("colours-unread", Joined(misread) + "; a colour is three whole numbers from 0 to 255");
    }
    if (fields.size() > 6) {
        std::vector<std::string> ignored;
        for (std::size_t i = 6; i < fields.size(); ++i) {
            ignored.push_back("'" + fields[i] + "'");
        }
        warn("colours-ignored", Joined(ignored) + (ignored.size() == 1 ? " is" : " are") +
                                    " ignored: the colours are six numbers, R,G,B of the lines and of the background");
    }
    if (!text.empty() && !LinesWouldShow(colours)) {
        const std::string lines = ColourText(colours.ForegroundRed, colours.ForegroundGreen, colours.ForegroundBlue);
        warn("colours-contrast", "lines in " + lines +
                                     (lines == background ? " would not show" : " would hardly show") +
                                     " on the background " + background + " (a contrast below 1.5 to 1)");
    }
    return warnings;
}

namespace {

// A template wider than the paper comes on sheets to join; the larger papers that hold it whole say how to avoid it.
SettingNotice TiledNote(const PageSetup& setup, const ArcTemplateJob& job, int count) {
    const PageScale scale = PageScaleOf({setup.Dpi, setup.Dpi}, job.Correction);
    const double width = ArcTemplateRightDots(job, scale, setup.Dpi) / scale.X;
    const double room = PaperGeometryOf(setup.Paper, setup.Dpi, setup.MarginMm, 2).Printable.X / scale.X;
    std::vector<std::string> papers;
    for (const PaperSize paper : AllPapers()) {
        PageSetup other = setup;
        other.Paper = paper;
        if (ArcSheetsOf(other, job).Count() == 1) {
            papers.emplace_back(PaperNameOf(paper));
        }
    }
    return {"page-tiled", "paper", "note",
            "the template is " + Number(std::ceil(width * 10) / 10) + " mm wide and " +
                std::string(PaperNameOf(setup.Paper)) + " landscape prints " + AtMost(room) + " mm across at a " +
                Number(setup.MarginMm) + " mm margin: it comes on " + std::to_string(count) +
                " sheets to join (each says how); " +
                (papers.empty() ? "no paper holds it on one sheet"
                                : Listed(papers, " or ") + " paper holds it on one sheet")};
}

} // namespace

std::vector<SettingNotice> ArcTemplateWarnings(const PageSetup& setup, const ArcTemplateJob& job) {
    std::vector<SettingNotice> warnings;
    // The template as the Linux tool and the browser page print it.
    const Printout printout = [&job](PrintSurface& surface) {
        (void)PrintArcTemplate(surface, job, EdgeMarks::KeptOnPage);
    };
    PageSetup checked = setup;
    const ArcSheets sheets = ArcSheetsOf(setup, job);
    if (sheets.Count() > 1) {
        // The sheets joined are as long as the template, or as far as the most sheets printed reach.
        checked.JoinedWidthDots =
            sheets.Left.back() + PaperGeometryOf(setup.Paper, setup.Dpi, setup.MarginMm, 2).Printable.X;
        if (!setup.Tile) {
            warnings.push_back(TiledNote(setup, job, sheets.Count()));
        }
    }
    const MarkList marks = MarkExtents(Recorded(checked, printout));
    for (const auto& [grid, point] : {std::pair{InnerGridMark, "inner"}, {OuterGridMark, "outer"}}) {
        const std::string_view name = grid;
        if (std::none_of(marks.begin(), marks.end(), [&](const auto& m) { return m.first == name; })) {
            warnings.push_back({"grid-left-out", "", "warning",
                                std::string("the ") + point +
                                    " null point cannot be drawn (its circles do not meet), so " + std::string(grid) +
                                    " is left out"});
        }
    }
    for (std::string& lost : LostMarkWarnings(checked, true, marks, printout)) {
        warnings.push_back({"page-cut", "paper", "warning", std::move(lost)});
    }
    return warnings;
}

int ArcSheetCount(const PageSetup& setup, const ArcTemplateJob& job) {
    return ArcSheetsOf(setup, job).Count();
}

std::vector<SettingNotice> StrobeDiskWarnings(const PageSetup& setup, const PrintCorrection& correction,
                                              const StrobeDiskLayout& disk, bool caption1Given, bool caption2Given) {
    std::vector<SettingNotice> warnings;
    if (const std::optional<int> builtIn = BuiltInStrobeMains(disk.OuterBars, disk.InnerBars)) {
        for (const auto& [given, which, field] :
             {std::tuple{caption1Given, "first", "caption1"}, {caption2Given, "second", "caption2"}}) {
            if (given) {
                warnings.push_back({"caption-not-printed", field, "warning",
                                    std::string("the ") + which + " caption is not printed: " +
                                        std::to_string(disk.OuterBars) + " and " + std::to_string(disk.InnerBars) +
                                        " bars print the " + std::to_string(*builtIn) + " Hz disk's own captions"});
            }
        }
    }
    StrobeDiskLayout centred = disk;
    centred.Caption1 = CentreCaption(disk.Caption1);
    centred.Caption2 = CentreCaption(disk.Caption2);
    const Printout printout = [&](PrintSurface& surface) { PrintStrobeDiskLayout(surface, correction, centred); };
    const MarkList marks = MarkExtents(Recorded(setup, printout));
    for (std::string& lost : LostMarkWarnings(setup, false, marks, printout)) {
        warnings.push_back({"page-cut", "paper", "warning", std::move(lost)});
    }
    return warnings;
}
