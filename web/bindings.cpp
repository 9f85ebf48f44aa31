// The browser version's door into the core: settings named as the Linux tool's options in, the settings layer's
// reports and the page operations of a printout out, as plain JavaScript data. The only Emscripten-specific C++ of
// the project.
#include "analysis/analysis_report.h"
#include "geometry/confirmation_text.h"
#include "geometry/groove_presets.h"
#include "geometry/windows_1252.h"
#include "print/arc_sheets.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "print/screen_chart.h"
#include "print/speed_screen_chart.h"
#include "print/vector_drawing.h"
#include "settings/default_paper.h"
#include "settings/match_report.h"
#include "settings/null_points.h"
#include "settings/page_aids.h"
#include "settings/page_link.h"
#include "settings/page_printouts.h"
#include "settings/settings.h"
#include "settings/speed_view.h"
#include "speed/recording_header.h"
#include "speed/speed_meter.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

using emscripten::val;

namespace {

// The settings the page gives, an object of texts keyed by option name; null and undefined count as not given.
NamedSettings SettingsFrom(const val& settings) {
    NamedSettings named;
    const val names = val::global("Object").call<val>("keys", settings);
    const int count = names["length"].as<int>();
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i].as<std::string>();
        const val value = settings[name];
        if (!value.isUndefined() && !value.isNull()) {
            named[name] = value.as<std::string>();
        }
    }
    return named;
}

// The page always names its paper (its own default follows the browser's language), so the context's is unused.
SettingsReport ReportOf(SettingsCommand command, const val& settings, bool checkPages) {
    return ReadSettings(command, SettingsFrom(settings), {PaperSize::Letter, checkPages});
}

// The report of what the page's fields give a printout or a command ("values", "analyse"), in the page's words.
SettingsReport PageReportOf(std::string_view printoutOrCommand, const val& fields, bool checkPages) {
    const PagePrintout* printout = PagePrintoutNamed(printoutOrCommand);
    const SettingsCommand command = printout ? printout->Command : *CommandNamed(printoutOrCommand);
    SettingsContext context{PaperSize::Letter, checkPages};
    context.Form = SettingsForm::Page;
    return ReadSettings(command, PageSettingsFor(printoutOrCommand, SettingsFrom(fields)), context);
}

val Strings(const std::vector<std::string>& texts) {
    val list = val::array();
    for (const std::string& text : texts) {
        list.call<void>("push", text);
    }
    return list;
}

// `quillmere values --format json` for the settings: the same JSON text.
std::string Report(const val& settings) {
    return ReportJson(ReportOf(SettingsCommand::Values, settings, false));
}

// `quillmere analyse --format json` for the settings: the same JSON text.
std::string Analysis(const val& settings) {
    return ReportJson(ReportOf(SettingsCommand::Analyse, settings, false));
}

// `quillmere match --format json` for the settings: the same JSON text.
std::string Match(const val& settings) {
    return ReportJson(ReportOf(SettingsCommand::Match, settings, false));
}

// The report of `quillmere arc` or `quillmere strobe` for the settings, with the marks the paper would cut.
std::string PageReport(const std::string& command, const val& settings) {
    const std::optional<SettingsCommand> which = CommandNamed(command);
    return which ? ReportJson(ReportOf(*which, settings, true)) : std::string();
}

val Colour(DeviceColour colour) {
    val rgb = val::array();
    rgb.call<void>("push", static_cast<int>(colour & 0xFF));
    rgb.call<void>("push", static_cast<int>((colour >> 8) & 0xFF));
    rgb.call<void>("push", static_cast<int>((colour >> 16) & 0xFF));
    return rgb;
}

val Fill(const DeviceFill& fill) {
    if (!fill.Filled) {
        return val::null();
    }
    val result = val::object();
    result.set("colour", Colour(fill.Colour));
    result.set("hatch", fill.Hatched ? fill.HatchStyle : -1);
    return result;
}

val Numbers(std::initializer_list<double> values) {
    val list = val::array();
    for (const double value : values) {
        list.call<void>("push", value);
    }
    return list;
}

const char* ShapeName(BoxShape shape) {
    switch (shape) {
    case BoxShape::Rounded:
        return "rounded";
    case BoxShape::Ellipse:
        return "ellipse";
    case BoxShape::Square:
        break;
    }
    return "square";
}

// One recorded request as a drawing instruction in dots, the pen already placed as the vector devices place it.
val Operation(const DeviceRequest& request, const std::vector<double>& ascents) {
    val op = val::object();
    const double offset = PenOffset(request.PenWidth);
    op.set("colour", Colour(request.Colour));
    op.set("width", StrokeWidth(request.PenWidth));
    switch (request.What) {
    case DeviceRequest::Kind::Line: {
        const double lineOffset = LineOffset(request.PenWidth);
        op.set("op", "line");
        op.set("points", Numbers({request.From.X + lineOffset, request.From.Y + lineOffset, request.To.X + lineOffset,
                                  request.To.Y + lineOffset}));
        break;
    }
    case DeviceRequest::Kind::Box: {
        const DeviceRect& box = request.Rect;
        op.set("op", "box");
        op.set("shape", ShapeName(request.Shape));
        op.set("rect", Numbers({box.Left + offset, box.Top + offset, static_cast<double>(box.Right) - box.Left,
                                static_cast<double>(box.Bottom) - box.Top}));
        op.set("corner", Numbers({request.CornerSize.X / 2.0, request.CornerSize.Y / 2.0}));
        op.set("fill", Fill(request.Fill));
        break;
    }
    case DeviceRequest::Kind::Arc: {
        EllipseSweep sweep{};
        if (!SweepOf(request.Rect, request.From, request.To, sweep)) {
            return val::null();
        }
        op.set("op", "arc");
        op.set("centre", Numbers({sweep.CentreX + offset, sweep.CentreY + offset}));
        op.set("radii", Numbers({sweep.RadiusX, sweep.RadiusY}));
        op.set("sweep", Numbers({sweep.From, sweep.To}));
        op.set("pie", request.Pie);
        op.set("fill", request.Pie ? Fill(request.Fill) : val::null());
        break;
    }
    case DeviceRequest::Kind::Text: {
        const auto font = static_cast<std::size_t>(request.Font);
        if (font < 1 || font > ascents.size()) {
            return val::null();
        }
        op.set("op", "text");
        op.set("text", Windows1252ToUtf8(request.Text));
        op.set("font", static_cast<int>(font) - 1);
        op.set("at", Numbers({static_cast<double>(request.From.X), static_cast<double>(request.From.Y)}));
        op.set("baseline", request.From.Y + ascents[font - 1]);
        op.set("opaque", request.Opaque);
        op.set("background", Colour(request.Background));
        const DeviceRect& clip = request.Rect;
        op.set("clip",
               Numbers({static_cast<double>(clip.Left), static_cast<double>(clip.Top),
                        static_cast<double>(clip.Right) - clip.Left, static_cast<double>(clip.Bottom) - clip.Top}));
        break;
    }
    default:
        return val::null();
    }
    return op;
}

val Refusal(const std::string& message) {
    val result = val::object();
    result.set("error", message);
    return result;
}

// The command that makes one of the page's printouts ("arc", "chart", "strobe-60", "strobe-50", "strobe-custom").
SettingsCommand PrintoutCommand(const std::string& printout) {
    const PagePrintout* found = PagePrintoutNamed(printout);
    return found ? found->Command : SettingsCommand::Strobe;
}

// The report of one of the page's printouts for the page's fields.
SettingsReport PrintoutReport(const std::string& printout, const val& fields) {
    return PageReportOf(PagePrintoutNamed(printout) ? printout : "strobe-custom", fields, false);
}

// The page operations of one printout ("arc", "chart", "strobe-60", "strobe-50", "strobe-custom") for the settings,
// on the emulated printer of their page settings, its fonts designed as `design` ({ascent, descent, lineGap} per
// em, from the font files the page embeds). Returns {page, fonts, operations, sheets} or {error} with the first
// refusal: `sheets` holds the operations of each sheet of a tiled template (one entry for any other page, the same
// as `operations`), with `joins`, where each join lies on the sheet before it (in dots from its printable area).
// The page operations of one drawing on the emulated printer of a page request, its fonts designed as `design`:
// {page, fonts, operations, sheets}, one entry of `sheets` for each page the drawing started. `orientation` is that
// of the last page.
val RecordedOperations(const PageRequest& pageRequest, const val& design,
                       const std::function<void(PrintSurface&)>& draw, int& orientation) {
    const int dpi = pageRequest.Dpi;
    const FontDesign fontDesign{design["ascent"].as<double>(), design["descent"].as<double>(),
                                design["lineGap"].as<double>()};

    std::vector<DeviceRequest> log;
    RecordingDeviceSettings device;
    device.Resolution = DevicePoint{dpi, dpi};
    device.PortraitPrintableSize = PaperGeometryOf(pageRequest.Paper, dpi, pageRequest.MarginMm, 1).Printable;
    device.PrinterName = "Browser";
    device.Metrics = [&](const DeviceFontRequest& wanted) {
        return ScalableFontMetrics(fontDesign, EmSize(wanted, fontDesign, dpi));
    };
    RecordingPrinterChooser chooser(log, device);
    {
        PrintSurface surface(chooser, pageRequest.Colours);
        draw(surface);
    }

    orientation = 1;
    val fonts = val::array();
    std::vector<double> ascents;
    val operations = val::array();
    val sheets = val::array();
    PolylinePath polyline;
    for (const DeviceRequest& request : log) {
        if (request.What == DeviceRequest::Kind::StartPage) {
            orientation = request.Orientation;
            operations = val::array();
            sheets.call<void>("push", operations);
            polyline.Open = false;
        } else if (request.What == DeviceRequest::Kind::MakeFont) {
            const DeviceFontRequest& wanted = request.FontRequest;
            const double em = EmSize(wanted, fontDesign, dpi);
            ascents.push_back(fontDesign.Ascent * em);
            val font = val::object();
            font.set("face", Windows1252ToUtf8(wanted.Face));
            font.set("size", em);
            font.set("ascent", fontDesign.Ascent * em);
            font.set("descent", fontDesign.Descent * em);
            font.set("italic", wanted.Italic);
            font.set("bold", wanted.Weight >= 600);
            font.set("underline", wanted.Underline);
            font.set("strikeOut", wanted.StrikeOut);
            fonts.call<void>("push", font);
        } else if (request.What == DeviceRequest::Kind::Line &&
                   polyline.RunsOn(request.From, request.Colour, request.PenWidth)) {
            // A line that runs on from the last one extends its path, as the file printer draws it.
            const double lineOffset = LineOffset(request.PenWidth);
            val points = operations[operations["length"].as<int>() - 1]["points"];
            points.call<void>("push", request.To.X + lineOffset);
            points.call<void>("push", request.To.Y + lineOffset);
            polyline.Extend(request.To);
        } else if (const val op = Operation(request, ascents); !op.isNull()) {
            operations.call<void>("push", op);
            if (request.What == DeviceRequest::Kind::Line) {
                polyline.Begin(request.To, request.Colour, request.PenWidth);
            } else {
                polyline.Open = false;
            }
        } else if (request.What != DeviceRequest::Kind::MakeFont && request.What != DeviceRequest::Kind::ReleaseFont) {
            polyline.Open = false;
        }
    }
    const PaperGeometry sheet = PaperGeometryOf(pageRequest.Paper, dpi, pageRequest.MarginMm, orientation);
    val pageData = val::object();
    pageData.set("dpi", dpi);
    pageData.set("landscape", orientation == 2);
    pageData.set("size", Numbers({sheet.WidthDots, sheet.HeightDots}));
    pageData.set("margin", sheet.MarginDots);
    pageData.set("printable",
                 Numbers({static_cast<double>(sheet.Printable.X), static_cast<double>(sheet.Printable.Y)}));
    val result = val::object();
    result.set("page", pageData);
    result.set("fonts", fonts);
    result.set("operations", sheets["length"].as<int>() > 0 ? sheets[0] : operations);
    result.set("sheets", sheets);
    return result;
}

// The page operations of one printout ("arc", "chart", "strobe-60", "strobe-50", "strobe-custom") for the settings,
// on the emulated printer of their page settings, its fonts designed as `design` ({ascent, descent, lineGap} per
// em, from the font files the page embeds). Returns {page, fonts, operations, sheets} or {error} with the first
// refusal: `sheets` holds the operations of each sheet of a tiled template (one entry for any other page, the same
// as `operations`), with `joins`, where each join lies on the sheet before it (in dots from its printable area).
val PageOperations(const std::string& printout, const val& settings, const val& design) {
    const SettingsCommand command = PrintoutCommand(printout);
    const SettingsReport report = PrintoutReport(printout, settings);
    if (report.Refused()) {
        return Refusal(report.Refusals.front().Message);
    }
    const PageRequest& pageRequest = report.Page;
    int orientation = 1;
    val result = RecordedOperations(
        pageRequest, design,
        [&](PrintSurface& surface) {
            if (command == SettingsCommand::Arc) {
                (void)PrintArcTemplateSheets(surface, ArcTemplateJobOf(report),
                                             pageRequest.Tile ? SheetChoice::Tiled : SheetChoice::AsNeeded);
            } else if (command == SettingsCommand::Analyse) {
                PrintAnalysisChart(surface, *report.Analysis);
            } else {
                PrintStrobeDiskLayout(surface, report.Correction, *report.Disk);
            }
        },
        orientation);

    val joins = val::array();
    if (command == SettingsCommand::Arc) {
        const int dpi = pageRequest.Dpi;
        const PaperGeometry sheet = PaperGeometryOf(pageRequest.Paper, dpi, pageRequest.MarginMm, orientation);
        const ArcTemplateJob job = ArcTemplateJobOf(report);
        const ArcSheets plan = PlanArcSheets(job, PageScaleOf({dpi, dpi}, job.Correction), dpi, sheet.Printable.X,
                                             pageRequest.Tile ? SheetChoice::Tiled : SheetChoice::AsNeeded);
        for (int index = 0; index + 1 < plan.Count(); ++index) {
            joins.call<void>("push", plan.JoinDots(index) - plan.Left[static_cast<std::size_t>(index)]);
        }
    }
    result.set("joins", joins);
    return result;
}

val RowsOf(const AlignedArm& arm) {
    val rows = val::array();
    for (const ValueRow& row : ValueRowsOf(arm)) {
        val entry = val::object();
        entry.set("key", row.Key);
        entry.set("label", row.Label);
        entry.set("value", row.Value);
        entry.set("setsTheArm", row.SetsTheArm);
        rows.call<void>("push", entry);
    }
    return rows;
}

// {refusals: [messages]}: a refused report's refusals in the page's words.
val RefusalsOf(const SettingsReport& report) {
    std::vector<std::string> messages;
    for (const SettingNotice& refusal : report.Refusals) {
        messages.push_back(refusal.Message);
    }
    val result = val::object();
    result.set("refusals", Strings(messages));
    return result;
}

// The values of the page's fields alone, {rows: [{key, label, value, setsTheArm}]} or {refusals: [messages]}: what
// the page shows while the user types, without building the whole report.
val ValueRows(const val& fields) {
    const SettingsReport report = PageReportOf("values", fields, false);
    if (report.Refused()) {
        return RefusalsOf(report);
    }
    val result = val::object();
    result.set("rows", RowsOf(report.Alignment));
    return result;
}

// The name of the preset whose radii the page's fields hold, for its button; "" for none.
std::string PresetOfFields(const val& fields) {
    return std::string(PresetNameOf(SettingsFrom(fields)));
}

// The name a printout of the setup is saved under.
std::string FileName(const std::string& printout, const val& settings) {
    return PageFileName(printout, PrintoutReport(printout, settings));
}

// What to do with a printout once it is made, as the Linux tool says it after writing one.
std::string Reminder(const std::string& printout) {
    return PrintReminderOf(PrintoutCommand(printout));
}

// What keeps a printout of the setup from being made: [{code, field, message}], empty when nothing does.
val Blockers(const std::string& printout, const val& settings) {
    val list = val::array();
    for (const SettingNotice& notice : BlockingNotices(printout, PrintoutReport(printout, settings))) {
        val entry = val::object();
        entry.set("code", notice.Code);
        entry.set("field", notice.Field);
        entry.set("message", notice.Message);
        list.call<void>("push", entry);
    }
    return list;
}

// {factor} to put in a correction factor's field for the length the 200 mm marks measured, or {error}.
val Calibration(const std::string& measured) {
    const Result<std::string> factor = CorrectionFactorFromMeasured(measured);
    if (!factor) {
        return Refusal(factor.Message());
    }
    val result = val::object();
    result.set("factor", *factor);
    return result;
}

val NumberList(const std::vector<double>& values) {
    val list = val::array();
    for (const double value : values) {
        list.call<void>("push", value);
    }
    return list;
}

// A chart laid out for the screen as plain data: {textPx, panels}, each panel {title, width, height, plot, grooves,
// gridX, gridY, labels, series}.
val ScreenChartValue(const ScreenChart& chart) {
    val panels = val::array();
    for (const ScreenPanel& panel : chart.Panels) {
        val entry = val::object();
        entry.set("title", Windows1252ToUtf8(panel.Title));
        entry.set("width", panel.Width);
        entry.set("height", panel.Height);
        entry.set("plot", NumberList({panel.Left, panel.Top, panel.Right - panel.Left, panel.Bottom - panel.Top}));
        entry.set("grooves", NumberList({panel.GroovesLeft, panel.GroovesRight - panel.GroovesLeft}));
        entry.set("gridX", NumberList(panel.GridX));
        entry.set("gridY", NumberList(panel.GridY));
        val labels = val::array();
        for (const ScreenLabel& label : panel.Labels) {
            val text = val::object();
            text.set("x", label.X);
            text.set("y", label.Y);
            text.set("text", Windows1252ToUtf8(label.Text));
            text.set("anchor", std::string(label.Align == ScreenLabel::Anchor::Start ? "start"
                                           : label.Align == ScreenLabel::Anchor::End ? "end"
                                                                                     : "middle"));
            labels.call<void>("push", text);
        }
        entry.set("labels", labels);
        val series = val::array();
        for (const ScreenSeries& curve : panel.Series) {
            val line = val::object();
            line.set("key", curve.Key);
            val runs = val::array();
            for (const std::vector<double>& run : curve.Runs) {
                runs.call<void>("push", NumberList(run));
            }
            line.set("runs", runs);
            series.call<void>("push", line);
        }
        entry.set("series", series);
        panels.call<void>("push", entry);
    }
    val result = val::object();
    result.set("textPx", chart.TextPx);
    result.set("panels", panels);
    return result;
}

// The analysis chart laid out for a panel `width` CSS pixels wide; no panels when the setup cannot be analysed.
val ScreenChartFor(const val& fields, double width) {
    const SettingsReport report = PageReportOf("analyse", fields, false);
    ScreenChart chart;
    if (!report.Refused() && report.Analysis) {
        chart = ScreenChartOf(*report.Analysis, width, ScreenChartTextPx);
    }
    return ScreenChartValue(chart);
}

// The analysis table of the page's fields as cells for an HTML table: {inputs, arms, rows: [{label, sub, cells,
// marked}], footnote, comparison}, the lowest figure of a row marked as on paper; {refused} with the reason when the
// setup cannot be analysed.
val AnalysisTable(const val& fields) {
    const SettingsReport report = PageReportOf("analyse", fields, false);
    if (report.Refused() || !report.Analysis) {
        // Why there is no table, in the page's words.
        std::string why;
        for (const SettingNotice& refusal : report.Refusals) {
            why += (why.empty() ? "" : "\n") + refusal.Message;
        }
        val refused = val::object();
        refused.set("refused",
                    why.empty() && report.Analysis ? Windows1252ToUtf8(AnalysisText(*report.Analysis)) : why);
        return refused;
    }
    const AnalysisCells table = AnalysisTableCells(*report.Analysis);
    val arms = val::array();
    for (const std::string& arm : table.Arms) {
        arms.call<void>("push", Windows1252ToUtf8(arm));
    }
    val rows = val::array();
    for (const AnalysisCells::Row& row : table.Rows) {
        val cells = val::array();
        for (const std::string& cell : row.Cells) {
            cells.call<void>("push", Windows1252ToUtf8(cell));
        }
        // The lowest figure carries the printed table's mark on the screen too.
        if (row.Marked) {
            cells.set(static_cast<int>(*row.Marked), Windows1252ToUtf8(row.Cells[*row.Marked]) + " *");
        }
        const std::string label = Windows1252ToUtf8(row.Label);
        const std::size_t first = label.find_first_not_of(' ');
        val entry = val::object();
        entry.set("label", first == std::string::npos ? label : label.substr(first));
        entry.set("sub", first != 0 && first != std::string::npos);
        entry.set("cells", cells);
        entry.set("marked", row.Marked ? val(static_cast<int>(*row.Marked)) : val(-1));
        rows.call<void>("push", entry);
    }
    val result = val::object();
    result.set("inputs", Windows1252ToUtf8(table.Inputs));
    result.set("arms", arms);
    result.set("rows", rows);
    result.set("exactNote", Windows1252ToUtf8(table.ExactNote));
    result.set("footnote", Windows1252ToUtf8(table.Footnote));
    result.set("tradeOff", Windows1252ToUtf8(table.TradeOff));
    result.set("comparison", Windows1252ToUtf8(table.Comparison));
    result.set("closedForms", Windows1252ToUtf8(table.ClosedForms));
    return result;
}

// The arm and cartridge of the page's fields: {rows: [{key, label, value}], verdict, judgement, advice} or
// {refusals} in the page's words, as `quillmere match` prints them.
val MatchView(const val& fields) {
    const SettingsReport report = PageReportOf("match", fields, false);
    if (report.Refused()) {
        return RefusalsOf(report);
    }
    val result = val::object();
    val rows = val::array();
    for (const MatchRow& row : MatchRows(report)) {
        val entry = val::object();
        entry.set("key", row.Key);
        entry.set("label", row.Label);
        entry.set("value", row.Value);
        rows.call<void>("push", entry);
    }
    result.set("rows", rows);
    result.set("verdict", report.Match ? std::string(VerdictKey(report.Match->Verdict)) : std::string());
    result.set("judgement", report.Match ? report.Match->Judgement : std::string());
    result.set("advice", Strings(MatchAdvice(report)));
    return result;
}

bool IsArmField(std::string_view field) {
    const std::span<const std::string_view> arm = ArmFields();
    return std::find(arm.begin(), arm.end(), field) != arm.end();
}

// Everything the page shows once the typing stops, for its fields: {values: {rows} or {refusals}, fields: {name:
// {note, messages, flagged}}, pageWarnings, printouts: [{id, blocked}], blocked, armNeeds, summary}. Each notice
// that names a field goes beside it, once; a text read in part is told by its reading note alone.
val PageState(const val& fields) {
    const SettingsReport values = PageReportOf("values", fields, false);
    const SettingsReport analysis = PageReportOf("analyse", fields, false);
    const SettingsReport arc = PageReportOf("arc", fields, true);
    const SettingsReport strobe = PageReportOf("strobe-custom", fields, true);
    const SettingsReport match = PageReportOf("match", fields, false);

    val result = val::object();
    val valuesView = val::object();
    std::vector<std::string> refused;
    for (const SettingNotice& refusal : values.Refusals) {
        refused.push_back(refusal.Message);
    }
    if (values.Refused()) {
        valuesView.set("refusals", Strings(refused));
    } else {
        valuesView.set("rows", RowsOf(values.Alignment));
    }
    result.set("values", valuesView);

    struct FieldView {
        std::string Note;
        std::vector<std::string> Messages;
        bool Flagged = false;
    };
    std::map<std::string, FieldView> views;
    for (const FieldLabel& label : PageFieldLabels()) {
        views[std::string(label.Field)];
    }
    for (const SettingsReport* report : {&values, &analysis, &arc, &strobe, &match}) {
        for (const auto* notices : {&report->Refusals, &report->Warnings}) {
            for (const SettingNotice& notice : *notices) {
                if (notice.Field.empty()) {
                    continue;
                }
                FieldView& view = views[notice.Field];
                view.Flagged = true;
                if (notice.Code != "partly-read" &&
                    std::find(view.Messages.begin(), view.Messages.end(), notice.Message) == view.Messages.end()) {
                    view.Messages.push_back(notice.Message);
                }
            }
        }
        for (const ReadSetting& setting : report->Settings) {
            if (!setting.Note.empty()) {
                views[setting.Name].Note = setting.Note;
            }
        }
    }
    val fieldViews = val::object();
    for (const auto& [name, view] : views) {
        val entry = val::object();
        entry.set("note", view.Note);
        std::string messages;
        for (const std::string& message : view.Messages) {
            messages += (messages.empty() ? "" : "; ") + message;
        }
        entry.set("check", messages);
        entry.set("flagged", view.Flagged);
        fieldViews.set(name, entry);
    }
    result.set("fields", fieldViews);

    std::vector<std::string> pageWarnings;
    for (const auto& [report, printout] : {std::pair{&arc, "arc"}, {&strobe, "strobe-custom"}}) {
        for (const auto* notices : {&report->Warnings, &report->Notes}) {
            for (const SettingNotice& notice : *notices) {
                if (IsPageWideNotice(notice)) {
                    pageWarnings.push_back(std::string(PagePrintoutNamed(printout)->Short) + ": " + notice.Message);
                }
            }
        }
    }
    result.set("pageWarnings", Strings(pageWarnings));

    val printouts = val::array();
    std::vector<std::string> blocked;
    for (const PagePrintout& printout : PagePrintouts()) {
        const std::vector<SettingNotice> blockers =
            BlockingNotices(printout.Id, PageReportOf(printout.Id, fields, false));
        val entry = val::object();
        entry.set("id", std::string(printout.Id));
        entry.set("blocked", !blockers.empty());
        printouts.call<void>("push", entry);
        for (const SettingNotice& blocker : blockers) {
            const std::string line = "Not printable: " + blocker.Message;
            if (std::find(blocked.begin(), blocked.end(), line) == blocked.end()) {
                blocked.push_back(line);
            }
        }
    }
    result.set("printouts", printouts);
    result.set("blocked", Strings(blocked));

    std::string armNeeds;
    std::string armRefusal;
    for (const SettingNotice& refusal : analysis.Refusals) {
        if (IsArmField(refusal.Field)) {
            armNeeds += (armNeeds.empty() ? "" : "; ") + refusal.Message;
            armRefusal = armRefusal.empty() ? refusal.Message : armRefusal;
        }
    }
    result.set("armNeeds", armNeeds.empty() ? std::string() : "Your arm needs: " + armNeeds);

    // One short sentence for a screen reader: what to set the arm to, or why there is nothing.
    std::string summary;
    if (!values.Refused()) {
        for (const ValueRow& row : ValueRowsOf(values.Alignment)) {
            if (row.SetsTheArm) {
                summary += (summary.empty() ? "" : ", ") + row.Label + " " + row.Value;
            }
        }
    } else {
        summary = values.Refusals.front().Message;
    }
    if (!armRefusal.empty()) {
        summary += ". Your arm: " + armRefusal;
    }
    result.set("summary", summary);
    return result;
}

// The paper a region's users print on ("CL" gives "letter"), as the Linux tool takes it from the locale.
std::string DefaultPaper(const std::string& region) {
    return std::string(DefaultPaperNameForRegion(region));
}

// The query of a link to the setup of the page's fields: [[name, text]] in order; the page's address bar writes it.
val ShareQuery(const val& fields, bool paperChosen) {
    val pairs = val::array();
    for (const auto& [name, text] : ShareQueryOf(SettingsFrom(fields), paperChosen)) {
        val pair = val::array();
        pair.call<void>("push", name);
        pair.call<void>("push", text);
        pairs.call<void>("push", pair);
    }
    return pairs;
}

// The page's fields of a link's query ([[name, text]], as the address gives them): {fields, paperChosen}.
val FieldsOfLink(const val& pairs) {
    QueryPairs query;
    const int count = pairs["length"].as<int>();
    for (int i = 0; i < count; ++i) {
        query.emplace_back(pairs[i][0].as<std::string>(), pairs[i][1].as<std::string>());
    }
    const LinkedFields linked = LinkedFieldsOf(query);
    val fields = val::object();
    for (const auto& [name, text] : linked.Fields) {
        fields.set(name, text);
    }
    val result = val::object();
    result.set("fields", fields);
    result.set("paperChosen", linked.PaperChosen);
    return result;
}

// What the page starts from: each command's settings with their defaults and help, the groove presets and the
// papers.
val Defaults() {
    val commands = val::object();
    for (const std::string_view name : {"values", "arc", "strobe", "analyse", "match"}) {
        const SettingsCommand command = *CommandNamed(name);
        val rules = val::array();
        for (const SettingRule& rule : RulesOf(command)) {
            val entry = val::object();
            entry.set("name", std::string(rule.Name));
            entry.set("default", std::string(rule.Default));
            entry.set("help", std::string(rule.Help));
            rules.call<void>("push", entry);
        }
        commands.set(std::string(CommandName(command)), rules);
    }
    val presets = val::array();
    for (const GroovePreset& preset : GroovePresets) {
        val entry = val::object();
        entry.set("name", std::string(preset.Name));
        entry.set("inner", std::string(preset.Inner));
        entry.set("outer", std::string(preset.Outer));
        entry.set("title", std::string(preset.Title));
        entry.set("help", std::string(preset.Help));
        presets.call<void>("push", entry);
    }
    val papers = val::array();
    val paperTitles = val::array();
    for (const NamedPaper& paper : PaperNames()) {
        papers.call<void>("push", std::string(paper.Name));
        paperTitles.call<void>("push", std::string(PaperNameOf(paper.Paper)));
    }
    val printouts = val::array();
    for (const PagePrintout& printout : PagePrintouts()) {
        val entry = val::object();
        entry.set("id", std::string(printout.Id));
        entry.set("command", std::string(CommandName(printout.Command)));
        entry.set("title", std::string(printout.Title));
        entry.set("reminder", PrintReminderOf(printout.Command));
        printouts.call<void>("push", entry);
    }
    val labels = val::object();
    for (const FieldLabel& label : PageFieldLabels()) {
        labels.set(std::string(label.Field), std::string(label.Label));
    }
    val arm = val::array();
    for (const std::string_view field : ArmFields()) {
        arm.call<void>("push", std::string(field));
    }
    val result = val::object();
    result.set("printouts", printouts);
    result.set("labels", labels);
    result.set("armFields", arm);
    result.set("commands", commands);
    result.set("presets", presets);
    result.set("papers", papers);
    result.set("paperTitles", paperTitles);
    return result;
}

// ---- Speed: the streaming meter and the gyroscope, each a take the page feeds and finishes ----

// The speed command's settings the page gives ({tone, rpm} as typed; empty counts as not given), with the report's
// format, so that the report's JSON is the one `quillmere speed --format json` writes.
SettingsReport SpeedSettingsOf(const val& settings) {
    NamedSettings named;
    for (const auto& [name, text] : SettingsFrom(settings)) {
        if ((name == "tone" || name == "rpm") && !text.empty()) {
            named[name] = text;
        }
    }
    named["format"] = "json";
    SettingsContext context{PaperSize::Letter, false};
    context.Form = SettingsForm::Page;
    return ReadSettings(SettingsCommand::Speed, named, context);
}

val SpeedRowsValue(const std::vector<SpeedRow>& rows) {
    val list = val::array();
    for (const SpeedRow& row : rows) {
        val entry = val::object();
        entry.set("kind", row.Kind);
        entry.set("label", row.Label);
        entry.set("value", row.Value);
        list.call<void>("push", entry);
    }
    return list;
}

// Float32Array blocks copied into a buffer of the core's, without a JavaScript loop.
void CopyBlock(const val& block, std::vector<float>& into) {
    into.resize(block["length"].as<std::size_t>());
    val(emscripten::typed_memory_view(into.size(), into.data())).call<void>("set", block);
}

// Frames of a WAV file read at a time: about 1.4 s at 48 kHz, small beside any file and few calls from the page.
constexpr std::size_t WavBlockFrames = 1 << 16;

WavLayout WavLayoutFrom(const val& layout) {
    WavLayout wav;
    wav.Rate = layout["rate"].as<double>();
    wav.Channels = layout["channels"].as<int>();
    wav.Bits = layout["bits"].as<int>();
    wav.Float = layout["float"].as<bool>();
    return wav;
}

// Where a WAV file's samples lie, from its first bytes (a Uint8Array): {rate, channels, bits, float, start, end}, or
// null when the core does not read it itself and the browser decodes it.
val WavLayoutValue(const val& head) {
    std::vector<unsigned char> bytes(std::min<std::size_t>(head["length"].as<std::size_t>(), RecordingHeaderBytes));
    val(emscripten::typed_memory_view(bytes.size(), bytes.data()))
        .call<void>("set", head.call<val>("subarray", 0, static_cast<double>(bytes.size())));
    const std::optional<WavLayout> wav = WavLayoutOf(bytes);
    if (!wav) {
        return val::null();
    }
    val result = val::object();
    result.set("rate", wav->Rate);
    result.set("channels", wav->Channels);
    result.set("bits", wav->Bits);
    result.set("float", wav->Float);
    result.set("start", static_cast<double>(wav->DataOffset));
    result.set("end", static_cast<double>(wav->DataOffset) + static_cast<double>(wav->DataBytes));
    return result;
}

// The trace points a live reading draws: a minute at the trace's densest, enough for a phone-wide panel.
constexpr std::size_t LiveTracePoints = 600;

// One measurement of a recording or a microphone take: created with the stream's rate and channels and the page's
// speed settings, fed blocks as they come, read live, and finished into the report.
class SpeedTake {
public:
    SpeedTake(double rate, int channels, const val& settings) : Report(SpeedSettingsOf(settings)) {
        if (Report.Refused()) {
            Why = Report.Refusals.front().Message;
            return;
        }
        SpeedMeterSettings meter;
        meter.SampleRate = rate;
        meter.Channels = channels;
        meter.NominalToneHz = Report.SpeedInput->ToneHz;
        meter.NominalRpm = Report.SpeedInput->Rpm;
        Result<SpeedMeter> created = SpeedMeter::Create(meter);
        if (!created) {
            Why = SpeedPageWords(created.Message());
            return;
        }
        Meter.emplace(std::move(created).Value());
        Channels = static_cast<std::size_t>(channels);
    }

    // Why the take cannot measure, in the page's words; empty when it can.
    std::string refusal() const { return Why; }

    // One block: an array holding one Float32Array per channel, all of the same length.
    void feed(const val& channels) {
        if (!Meter || Finished) {
            return;
        }
        const std::size_t count = std::min<std::size_t>(Channels, channels["length"].as<std::size_t>());
        if (count == 0) {
            return;
        }
        if (count == 1 && Channels == 1) {
            CopyBlock(channels[0], Interleaved);
        } else {
            std::size_t frames = 0;
            Planes.resize(Channels);
            for (std::size_t c = 0; c < Channels; ++c) {
                CopyBlock(channels[static_cast<unsigned>(std::min(c, count - 1))], Planes[c]);
                frames = c == 0 ? Planes[c].size() : std::min(frames, Planes[c].size());
            }
            Interleaved.resize(frames * Channels);
            for (std::size_t i = 0; i < frames; ++i) {
                for (std::size_t c = 0; c < Channels; ++c) {
                    Interleaved[i * Channels + c] = Planes[c][i];
                }
            }
        }
        Meter->Feed(Interleaved);
    }

    // One block of a WAV file's samples, read from byte `at` of `bytes` (the whole file, a Uint8Array) as `layout`
    // (from wavLayout) says; returns where the next block starts, or -1 after the last.
    double feedWav(const val& bytes, double at, const val& layout) {
        const WavLayout wav = WavLayoutFrom(layout);
        const double end = std::min(bytes["length"].as<double>(), layout["end"].as<double>());
        const double count = std::min(end - at, static_cast<double>(WavBlockFrames * wav.FrameBytes()));
        if (!Meter || Finished || wav.FrameBytes() == 0 || !(count > 0)) {
            return -1;
        }
        std::vector<unsigned char> block(static_cast<std::size_t>(count));
        val(emscripten::typed_memory_view(block.size(), block.data()))
            .call<void>("set", bytes.call<val>("subarray", at, at + count));
        WavSamples(block, wav, Interleaved);
        Meter->Feed(Interleaved);
        return at + count < end ? at + count : -1;
    }

    // A block of a live stream that starts at frame `first` of it: frames the stream skipped are counted as dropped.
    void feedAt(double first, const val& channels) {
        if (Expected >= 0 && first > Expected) {
            Dropped += first - Expected;
        }
        feed(channels);
        Expected = first + channels[0]["length"].as<double>();
    }

    double seconds() const { return Meter ? Meter->SecondsFed() : 0; }

    // {status, tooWeak, rows, spoken, chart, traceText, dropped} for a panel `width` CSS pixels wide.
    val live(double width) const {
        val result = val::object();
        if (!Meter) {
            result.set("status", Why);
            return result;
        }
        const SpeedLiveReading reading = Meter->Live(LiveTracePoints);
        const SpeedLiveView view = SpeedLiveViewOf(reading);
        result.set("stage", static_cast<int>(reading.Stage));
        result.set("status", view.Status);
        result.set("tooWeak", view.TooWeak);
        result.set("rows", SpeedRowsValue(view.Rows));
        result.set("spoken", view.Spoken);
        result.set("chart", ScreenChartValue(SpeedTraceScreenChartOf(reading.Trace, width, ScreenChartTextPx)));
        result.set("traceText", SpeedTraceText(reading.Trace, {}));
        result.set("dropped", Dropped);
        result.set("seconds", reading.SecondsFed);
        return result;
    }

    // The report: {rows, json, traceText} or {error, json}; the take takes no more blocks afterwards.
    val finish() {
        if (Meter && !Finished) {
            SetSpeedResult(Report, Meter->Finish());
            Finished = true;
        }
        val result = val::object();
        result.set("json", ReportJson(Report));
        if (!Why.empty() || Report.Refused() || !Report.Speed) {
            result.set("error", SpeedPageWords(Why.empty() ? Report.Refusals.front().Message : Why));
            return result;
        }
        result.set("rows", SpeedRowsValue(SpeedRowsOf(*Report.Speed)));
        result.set("traceText", SpeedTraceText(Report.Speed->Trace, Report.Speed->Components));
        result.set("dropped", Dropped);
        return result;
    }

    // The finished report's chart for a screen `width` CSS pixels wide; no panels before it is finished.
    val chart(double width) const {
        ScreenChart chart;
        if (Finished && Report.Speed && !Report.Refused()) {
            chart = SpeedScreenChartOf(*Report.Speed, width, ScreenChartTextPx);
        }
        return ScreenChartValue(chart);
    }

    // The chart's page for the page's paper and margin fields: {page, fonts, operations, sheets, title} or {error}.
    val pageOperations(const val& fields, const val& design) const {
        if (!Finished || !Report.Speed || Report.Refused()) {
            return Refusal("no report to print yet");
        }
        NamedSettings named;
        for (const auto& [name, text] : SettingsFrom(fields)) {
            if (name == "paper" || name == "margin") {
                named[name] = text;
            }
        }
        SettingsContext context{PaperSize::Letter, false};
        context.Form = SettingsForm::Page;
        // The speed command takes no paper (the tool's chart goes on the system's); the page's paper and margin are
        // read as for its other chart.
        const SettingsReport page = ReadSettings(SettingsCommand::Analyse, named, context);
        if (page.Refused()) {
            return Refusal(page.Refusals.front().Message);
        }
        int orientation = 1;
        val result = RecordedOperations(
            page.Page, design, [&](PrintSurface& surface) { PrintSpeedChart(surface, *Report.Speed); }, orientation);
        result.set("title", std::string("Platter speed and wow and flutter"));
        result.set("fileName", std::string("quillmere-speed.pdf"));
        return result;
    }

private:
    SettingsReport Report;
    std::optional<SpeedMeter> Meter;
    std::string Why;
    std::size_t Channels = 1;
    bool Finished = false;
    double Expected = -1;
    double Dropped = 0;
    std::vector<float> Interleaved;
    std::vector<std::vector<float>> Planes;
};

// The rate to decode a recording at (its first bytes, a Uint8Array): the one its header gives, so that the samples
// the meter gets are the file's own, else the usual rate of compressed files.
double RecordingRate(const val& head) {
    std::vector<unsigned char> bytes(std::min<std::size_t>(head["length"].as<std::size_t>(), RecordingHeaderBytes));
    val(emscripten::typed_memory_view(bytes.size(), bytes.data()))
        .call<void>("set", head.call<val>("subarray", 0, static_cast<double>(bytes.size())));
    return RecordingSampleRate(bytes).value_or(UsualCompressedRate);
}

// What to do when the browser gives no microphone (its error's name) or no gyroscope ("denied" or "missing").
std::string MicrophoneProblem(const std::string& errorName) {
    return MicrophoneProblemText(errorName);
}

std::string GyroProblem(const std::string& problem) {
    return GyroProblemText(problem);
}

// The phone on the platter: its gyroscope's readings fed as they come, read live, and finished.
class GyroTake {
public:
    explicit GyroTake(const val& settings) : GyroTake(SpeedSettingsOf(settings)) {}

    std::string refusal() const { return Why; }
    void feed(double alpha, double beta, double gamma, double intervalMs) {
        Meter.Feed(alpha, beta, gamma, intervalMs);
    }

    // {status, rows, accuracy}
    val live() const {
        const GyroSpeedReport now = Meter.Current();
        val result = val::object();
        result.set("status", GyroStatusOf(now, Meter.SecondsFed()));
        result.set("rows", SpeedRowsValue(GyroRowsOf(now)));
        result.set("accuracy", GyroAccuracyText());
        return result;
    }

    // {rows, accuracy} of the longest stretch, or {error, accuracy}.
    val finish() const {
        const Result<GyroSpeedReport> report = Meter.Finish();
        val result = val::object();
        result.set("accuracy", GyroAccuracyText());
        if (!report) {
            result.set("error", report.Message());
            return result;
        }
        result.set("rows", SpeedRowsValue(GyroRowsOf(*report)));
        return result;
    }

private:
    explicit GyroTake(const SettingsReport& report)
        : Meter(report.SpeedInput.value_or(SpeedRequest{}).Rpm),
          Why(report.Refused() ? report.Refusals.front().Message : std::string()) {}

    GyroSpeedMeter Meter;
    std::string Why;
};

} // namespace

EMSCRIPTEN_BINDINGS(quillmere) {
    emscripten::function("defaults", &Defaults);
    emscripten::function("report", &Report);
    emscripten::function("analysis", &Analysis);
    emscripten::function("match", &Match);
    emscripten::function("matchView", &MatchView);
    emscripten::function("pageReport", &PageReport);
    emscripten::function("pageOperations", &PageOperations);
    emscripten::function("fileName", &FileName);
    emscripten::function("valueRows", &ValueRows);
    emscripten::function("pageState", &PageState);
    emscripten::function("defaultPaper", &DefaultPaper);
    emscripten::function("shareQuery", &ShareQuery);
    emscripten::function("presetOf", &PresetOfFields);
    emscripten::function("fieldsOfLink", &FieldsOfLink);
    emscripten::function("reminder", &Reminder);
    emscripten::function("calibration", &Calibration);
    emscripten::function("screenChart", &ScreenChartFor);
    emscripten::function("analysisTable", &AnalysisTable);
    emscripten::function("blockers", &Blockers);
}

EMSCRIPTEN_BINDINGS(quillmere_speed) {
    emscripten::function("recordingRate", &RecordingRate);
    emscripten::function("wavLayout", &WavLayoutValue);
    emscripten::function("microphoneProblem", &MicrophoneProblem);
    emscripten::function("gyroProblem", &GyroProblem);
    emscripten::class_<SpeedTake>("SpeedTake")
        .constructor<double, int, const val&>()
        .function("refusal", &SpeedTake::refusal)
        .function("feed", &SpeedTake::feed)
        .function("feedAt", &SpeedTake::feedAt)
        .function("feedWav", &SpeedTake::feedWav)
        .function("seconds", &SpeedTake::seconds)
        .function("live", &SpeedTake::live)
        .function("finish", &SpeedTake::finish)
        .function("chart", &SpeedTake::chart)
        .function("pageOperations", &SpeedTake::pageOperations);
    emscripten::class_<GyroTake>("GyroTake")
        .constructor<const val&>()
        .function("refusal", &GyroTake::refusal)
        .function("feed", &GyroTake::feed)
        .function("live", &GyroTake::live)
        .function("finish", &GyroTake::finish);
}
