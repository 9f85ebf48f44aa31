// The browser version's door into the core: field texts in, the confirmation lines and the page operations of a
// printout out, as plain JavaScript data. The only Emscripten-specific C++ of the project.
#include "analysis/alignment_analysis.h"
#include "analysis/analysis_report.h"
#include "geometry/confirmation_text.h"
#include "windows/custom_strobe_layout.h"
#include "settings/page_warnings.h"
#include "windows/window_fields.h"
#include "windows/window_alignment.h"
#include "windows/control_ids.h"
#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"
#include "windows/custom_strobe_fields.h"
#include "print/page_model.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "print/strobe_speeds.h"
#include "print/vector_drawing.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <vector>

using emscripten::val;

namespace {

// The page options the Linux tool accepts, with its limits.
constexpr int MinimumDpi = 72;
constexpr int MaximumDpi = 2400;
constexpr double MaximumMarginMm = 50;

std::optional<std::string> TextOf(const val& fields, std::string_view name) {
    const val value = fields[std::string(name)];
    if (value.isUndefined() || value.isNull()) {
        return std::nullopt;
    }
    return value.as<std::string>();
}

// The window's fields from texts named as the Linux tool's options, in the order the tool applies them: a preset,
// then the lengths and factors (an explicit radius wins over the preset), the geometry and the ID.
WindowFieldTable FieldsFrom(const val& fields, val& warnings) {
    WindowFieldTable table;
    if (const auto preset = TextOf(fields, "preset")) {
        for (const GroovePreset& entry : GroovePresets) {
            if (entry.Name == *preset) {
                table.SetText(ControlId::InnerGrooveField, std::string(entry.Inner));
                table.SetText(ControlId::OuterGrooveField, std::string(entry.Outer));
            }
        }
    }
    for (const NamedControl& field : NamedNumberFields) {
        if (const auto text = TextOf(fields, field.Name)) {
            if (const std::optional<std::string> readsAs = PartlyReadNumber(*text)) {
                val warning = val::object();
                warning.set("field", std::string(field.Name));
                warning.set("text", *text);
                warning.set("readsAs", *readsAs);
                warnings.call<void>("push", warning);
            }
            table.SetText(field.Control, Utf8ToWindows1252(*text));
        }
    }
    if (const auto geometry = TextOf(fields, "geometry")) {
        if (const int button = ControlNamed(NamedGeometries, *geometry)) {
            table.CheckOnly(button);
        }
    }
    if (const auto id = TextOf(fields, "id")) {
        table.SetText(ControlId::ArmIdField, Utf8ToWindows1252(*id));
    }
    return table;
}

// The analysis of the fields just read: the three geometries and, with "offset-angle" and "effective-length" or
// "overhang" (read as the fields are read), the user's arm as it is mounted; "rpm" and "velocity" when given.
AnalysisInputs AnalysisInputsOfFields(const ParameterRecord& record, const val& fields, val& warnings) {
    AnalysisInputs inputs = AnalysisInputsOf(record);
    auto number = [&](std::string_view name) -> std::optional<double> {
        const auto text = TextOf(fields, name);
        if (!text || text->find_first_not_of(" \t") == std::string::npos) {
            return std::nullopt;
        }
        if (const std::optional<std::string> readsAs = PartlyReadNumber(*text)) {
            val warning = val::object();
            warning.set("field", std::string(name));
            warning.set("text", *text);
            warning.set("readsAs", *readsAs);
            warnings.call<void>("push", warning);
        }
        return TextToNumber(*text);
    };
    inputs.Rpm = number("rpm").value_or(DefaultRpm);
    inputs.Velocity = number("velocity").value_or(DefaultVelocity);
    const auto offset = number("offset-angle");
    const auto length = number("effective-length");
    const auto overhang = number("overhang");
    if (offset && (length || overhang)) {
        inputs.Arm = UserArmInput{length ? *length : inputs.SpindleToPivot + *overhang, *offset};
    }
    return inputs;
}

// The fields a warning of the lengths or the factors concerns, by the quantity it opens with (the checks name it
// before anything else); the order of the radii concerns both.
std::vector<std::string_view> FieldsOfWarning(std::string_view message) {
    if (message.find("not smaller than the outer groove radius") != std::string_view::npos) {
        return {"inner-radius", "outer-radius"};
    }
    constexpr std::pair<std::string_view, std::string_view> Openings[] = {
        {"the spindle-to-pivot distance", "spindle-to-pivot"}, {"the inner groove radius", "inner-radius"},
        {"the outer groove radius", "outer-radius"},           {"the correction factor across", "correction-x"},
        {"the correction factor down", "correction-y"},
    };
    for (const auto& [opening, field] : Openings) {
        if (message.starts_with(opening)) {
            return {field};
        }
    }
    return {};
}

// The custom disk the fields ask for: by "speeds" and "mains" when speeds are given, as `quillmere strobe --speeds`
// makes it (a caption typed over the initial one replaces the disk's own), else by the bar counts and captions.
// Sets `error` to the reason when the fields cannot make a disk.
StrobeDiskLayout CustomDiskOf(const val& fields, bool& caption1Given, bool& caption2Given, std::string& error) {
    const FieldTextTable initial = InitialCustomStrobeFields();
    FieldTextTable custom = initial;
    for (const NamedControl& field : NamedCustomStrobeFields) {
        if (const auto text = TextOf(fields, field.Name)) {
            custom.Texts[field.Control] = Utf8ToWindows1252(*text);
        }
    }
    const std::string speedsText = TextOf(fields, "speeds").value_or("");
    if (speedsText.find_first_not_of(" \t") == std::string::npos) {
        caption1Given = caption2Given = false;
        if (!BarCountsWithinLimit(custom)) {
            error = std::string(BarCountRefusal);
            return {};
        }
        ReadCustomStrobeFields(custom);
        return {CustomOuterBars, CustomInnerBars, CustomCaption1, CustomCaption2, {}, {}};
    }
    const PlatterSpeeds speeds = ReadPlatterSpeeds(speedsText);
    if (!speeds.Error.empty()) {
        error = speeds.Error;
        return {};
    }
    StrobeDiskLayout disk = StrobeDiskForSpeeds(speeds.Speeds, TextOf(fields, "mains") == "50" ? 50 : 60);
    caption1Given = custom.FieldText(ControlId::Caption1Field) != initial.FieldText(ControlId::Caption1Field);
    caption2Given = custom.FieldText(ControlId::Caption2Field) != initial.FieldText(ControlId::Caption2Field);
    if (caption1Given) {
        disk.Caption1 = custom.FieldText(ControlId::Caption1Field);
    }
    if (caption2Given) {
        disk.Caption2 = custom.FieldText(ControlId::Caption2Field);
    }
    disk.Caption1 = CentreCaption(disk.Caption1);
    disk.Caption2 = CentreCaption(disk.Caption2);
    return disk;
}

val Texts(const std::vector<std::string>& texts) {
    val list = val::array();
    for (const std::string& text : texts) {
        list.call<void>("push", Windows1252ToUtf8(text));
    }
    return list;
}

// {arc, strobe}: the warnings of `quillmere arc` and of `quillmere strobe` with the custom disk's options about
// marks that fall off the paper {paper, margin, dpi}, and the custom disk's (its captions, its drift).
val PageWarnings(const val& fields, const val& page) {
    val ignored = val::array();
    ParameterRecord record{};
    ReadAndComputeAlignment(FieldsFrom(fields, ignored), record);
    const double marginMm = page["margin"].as<double>();
    const int dpi = page["dpi"].as<int>();
    const PageSetup setup = page["paper"].as<std::string>() == "a4" ? A4Page(marginMm, dpi) : LetterPage(marginMm, dpi);
    val result = val::object();
    result.set("arc", Texts(ArcTemplateWarnings(setup, record)));
    bool caption1Given = false;
    bool caption2Given = false;
    std::string error;
    const StrobeDiskLayout disk = CustomDiskOf(fields, caption1Given, caption2Given, error);
    std::vector<std::string> strobe;
    if (error.empty()) {
        strobe = StrobeDiskWarnings(setup, record, disk, caption1Given, caption2Given);
        strobe.insert(strobe.end(), disk.DriftReports.begin(), disk.DriftReports.end());
    }
    result.set("strobe", Texts(strobe));
    result.set("strobeError", Windows1252ToUtf8(error));
    return result;
}

// {text, warnings, checks}: the ten lines exactly as `quillmere values` prints them (UTF-8, without the final line
// feed), one {field, text, readsAs} for each number text that does not read in full and, in `checks`, one
// {field, message} for each field a warning of the lengths or the factors concerns, worded as the Linux tool warns.
val Values(const val& fields) {
    val warnings = val::array();
    const WindowFieldTable table = FieldsFrom(fields, warnings);
    ParameterRecord record{};
    ReadAndComputeAlignment(table, record);
    val checks = val::array();
    for (const auto& more : {AlignmentWarnings(record), CorrectionFactorWarnings(record)}) {
        for (const std::string& message : more) {
            for (const std::string_view field : FieldsOfWarning(message)) {
                val warning = val::object();
                warning.set("field", std::string(field));
                warning.set("message", Windows1252ToUtf8(message));
                checks.call<void>("push", warning);
            }
        }
    }
    val result = val::object();
    result.set("text", Windows1252ToUtf8(ConfirmationText(record)));
    result.set("warnings", warnings);
    result.set("checks", checks);
    return result;
}

// {text, problem, warnings}: the analysis table as `quillmere analyse` prints it (UTF-8), and why the inputs cannot
// be analysed (empty when they can).
val Analysis(const val& fields) {
    val warnings = val::array();
    ParameterRecord record{};
    ReadAndComputeAlignment(FieldsFrom(fields, warnings), record);
    const AlignmentAnalysis analysis = AnalyseAlignment(AnalysisInputsOfFields(record, fields, warnings));
    val result = val::object();
    result.set("text", Windows1252ToUtf8(AnalysisText(analysis)));
    result.set("problem", Windows1252ToUtf8(analysis.Problem));
    result.set("warnings", warnings);
    return result;
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

// The page operations of one printout ("arc", "chart", "strobe-60", "strobe-50", "strobe-custom") for the fields, on an
// emulated printer with the page options {paper: "letter"|"a4", margin: mm, dpi}, its fonts designed as `design`
// ({ascent, descent, lineGap} per em, from the font files the page embeds). Returns {page, fonts, operations,
// warnings} or {error}.
val PageOperations(const std::string& printout, const val& fields, const val& page, const val& design) {
    const PaperSize paper = page["paper"].as<std::string>() == "a4" ? PaperSize::A4 : PaperSize::Letter;
    const double marginMm = page["margin"].as<double>();
    const int dpi = page["dpi"].as<int>();
    if (!(marginMm >= 0 && marginMm <= MaximumMarginMm)) {
        return Refusal("The margin must be from 0 to 50 mm.");
    }
    if (dpi < MinimumDpi || dpi > MaximumDpi) {
        return Refusal("The resolution must be from 72 to 2400 dpi.");
    }
    const FontDesign fontDesign{design["ascent"].as<double>(), design["descent"].as<double>(),
                                design["lineGap"].as<double>()};

    val warnings = val::array();
    const WindowFieldTable table = FieldsFrom(fields, warnings);
    bool caption1Given = false;
    bool caption2Given = false;
    std::string diskError;
    const StrobeDiskLayout disk = printout == "strobe-custom"
                                      ? CustomDiskOf(fields, caption1Given, caption2Given, diskError)
                                      : StrobeDiskLayout{};
    if (!diskError.empty()) {
        return Refusal(diskError);
    }

    std::vector<DeviceRequest> log;
    RecordingDeviceSettings settings;
    settings.Resolution = DevicePoint{dpi, dpi};
    settings.PortraitPrintableSize = PaperGeometryOf(paper, dpi, marginMm, 1).Printable;
    settings.PrinterName = "Browser";
    settings.Metrics = [&](const DeviceFontRequest& request) {
        return ScalableFontMetrics(fontDesign, EmSize(request, fontDesign, dpi));
    };
    RecordingPrinterChooser chooser(log, settings);
    PrintSurface surface(chooser);
    ParameterRecord record{};
    ReadAndComputeAlignment(table, record);
    const std::string blank(CaptionLength, ' ');
    if (printout == "arc") {
        PrintArcTemplate(surface, record);
    } else if (printout == "chart") {
        PrintAnalysisChart(surface, AnalyseAlignment(AnalysisInputsOfFields(record, fields, warnings)));
    } else if (printout == "strobe-50") {
        PrintStrobeDisk(surface, record, 180, 133, blank, blank);
    } else if (printout == "strobe-custom") {
        PrintStrobeDiskWithNotes(surface, record, disk.OuterBars, disk.InnerBars, disk.Caption1, disk.Caption2,
                                 disk.Notes);
    } else {
        PrintStrobeDisk(surface, record, 216, 160, blank, blank);
    }

    int orientation = 1;
    val fonts = val::array();
    std::vector<double> ascents;
    val operations = val::array();
    std::optional<DeviceRequest> polyline; // the last line drawn, while its path is open
    int polylineSegments = 0;
    for (const DeviceRequest& request : log) {
        if (request.What == DeviceRequest::Kind::StartPage) {
            orientation = request.Orientation;
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
        } else if (request.What == DeviceRequest::Kind::Line && polyline && polylineSegments < MaxPolylineSegments &&
                   request.From.X == polyline->To.X && request.From.Y == polyline->To.Y &&
                   request.Colour == polyline->Colour && request.PenWidth == polyline->PenWidth) {
            // A line that runs on from the last one extends its path, as the file printer draws it.
            const double lineOffset = LineOffset(request.PenWidth);
            val points = operations[operations["length"].as<int>() - 1]["points"];
            points.call<void>("push", request.To.X + lineOffset);
            points.call<void>("push", request.To.Y + lineOffset);
            polyline = request;
            ++polylineSegments;
        } else if (const val op = Operation(request, ascents); !op.isNull()) {
            operations.call<void>("push", op);
            polyline = request.What == DeviceRequest::Kind::Line ? std::optional(request) : std::nullopt;
            polylineSegments = 1;
        } else if (request.What != DeviceRequest::Kind::MakeFont && request.What != DeviceRequest::Kind::ReleaseFont) {
            polyline.reset();
        }
    }
    const PaperGeometry sheet = PaperGeometryOf(paper, dpi, marginMm, orientation);
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
    result.set("operations", operations);
    result.set("warnings", warnings);
    return result;
}

// What the page starts from: the window's initial texts by field name, the custom disk's, and the groove presets.
val Defaults() {
    const WindowFieldTable window;
    val fields = val::object();
    for (const NamedControl& field : NamedNumberFields) {
        fields.set(std::string(field.Name), Windows1252ToUtf8(window.FieldText(field.Control)));
    }
    fields.set("id", Windows1252ToUtf8(window.FieldText(ControlId::ArmIdField)));
    for (const NamedControl& geometry : NamedGeometries) {
        if (window.CheckState(geometry.Control) == 1) {
            fields.set("geometry", std::string(geometry.Name));
        }
    }
    const FieldTextTable custom = InitialCustomStrobeFields();
    for (const NamedControl& field : NamedCustomStrobeFields) {
        fields.set(std::string(field.Name), Windows1252ToUtf8(custom.FieldText(field.Control)));
    }
    val presets = val::array();
    for (const GroovePreset& preset : GroovePresets) {
        val entry = val::object();
        entry.set("name", std::string(preset.Name));
        entry.set("inner", std::string(preset.Inner));
        entry.set("outer", std::string(preset.Outer));
        presets.call<void>("push", entry);
    }
    val result = val::object();
    result.set("fields", fields);
    result.set("presets", presets);
    return result;
}

} // namespace

EMSCRIPTEN_BINDINGS(quillmere) {
    emscripten::function("defaults", &Defaults);
    emscripten::function("values", &Values);
    emscripten::function("analysis", &Analysis);
    emscripten::function("pageOperations", &PageOperations);
    emscripten::function("pageWarnings", &PageWarnings);
}
