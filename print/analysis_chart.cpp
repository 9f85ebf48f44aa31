#include "print/analysis_chart.h"

#include "analysis/analysis_report.h"
#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/printouts.h"
#include "print/text_width.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The page, portrait, in millimetres from the top-left of the printable area; it fits Letter and A4.
constexpr double PageLeft = 10;
constexpr double PlotLeft = 28;
constexpr double PlotRight = 192;
constexpr double TrackingErrorTop = 37;
constexpr double TrackingErrorBottom = 109;
constexpr double DistortionTop = 129;
constexpr double DistortionBottom = 201;
constexpr double TableTop = 218;

constexpr double TickLength = 1.3;
constexpr double MarkerSize = 2.1;

constexpr float TitlePoints = 15;
constexpr float TextPoints = 9;
constexpr float SmallPoints = 8;
constexpr float NotePoints = 7.5f;

// Pen widths in millimetres.
constexpr double FramePen = 0.3;
constexpr double GridPen = 0.1;
constexpr double ZeroPen = 0.25;
constexpr double CurvePen = 0.45;
constexpr double ArmCurvePen = 0.55;
constexpr double MarkerPen = 0.25;

enum class MarkerShape { Circle, Square, Diamond, Triangle };

// How each arm's curve looks: a colour that tells it apart on screen and a line style and marker that do the
// same in black and white. Dash patterns alternate drawn and blank lengths in millimetres along the curve; none is
// solid. Lines end round (as the printers' pens do), so each drawn piece shows half a pen longer at both ends: a
// dot is a piece of almost no length.
struct CurveStyle {
    std::array<int, 3> Colour;
    std::array<double, 4> Dashes;
    double Pen;
    MarkerShape Marker;
};

// clang-format off
constexpr CurveStyle CurveStyles[] = {
    {{0, 114, 178}, {0, 0, 0, 0},            CurvePen,    MarkerShape::Circle},   // Löfgren A: solid, blue
    {{213, 94, 0},  {2.75, 1.75, 0, 0},      CurvePen,    MarkerShape::Square},   // Löfgren B: dashes, vermilion
    {{0, 158, 115}, {0.05, 0.85, 0, 0},      CurvePen,    MarkerShape::Diamond},  // Stevenson A: dots, green
    {{0, 0, 0},     {2.85, 1.55, 0.05, 1.55}, ArmCurvePen, MarkerShape::Triangle}, // the user's arm: dash-dot, black
};
// clang-format on

const CurveStyle& StyleOf(AnalysedArm arm) {
    return CurveStyles[static_cast<std::size_t>(arm)];
}

PageColour ColourOf(const CurveStyle& style) {
    return MakeColour(style.Colour[0], style.Colour[1], style.Colour[2]);
}

const PageColour GrooveShade = MakeColour(228, 228, 228);
const PageColour GridColour = MakeColour(200, 200, 200);
const PageColour ZeroColour = MakeColour(110, 110, 110);

struct Point {
    double X;
    double Y;
};

// Everything that turns page millimetres into dots, and the fonts.
struct Chart {
    PrintSurface* Surface = nullptr;
    PageScale Scale;
    int ResolutionY = 0;
    double CorrectionY = 1;
    PageColour Foreground = 0;
    PageColour Background = 0;

    double X(double mm) const { return static_cast<double>(static_cast<long double>(mm) * Scale.X); }
    double Y(double mm) const { return static_cast<double>(static_cast<long double>(mm) * Scale.Y); }

    void Pen(double mm) const { Surface->SetPenWidth(std::max(1, static_cast<int>(std::lround(mm * Scale.X)))); }

    void Line(Point from, Point to, PageColour colour) const {
        Surface->PageMoveTo(X(from.X), Y(from.Y));
        Surface->PageLineTo(X(to.X), Y(to.Y), colour);
    }

    PrintFont Font(float points, int style = 0) const {
        return CreatePrintFont("Arial", static_cast<float>(points * CorrectionY), style);
    }

    // The em of a font on the page in millimetres down and across, as the page model rounds it to dots.
    double EmDots(const PrintFont& font) const {
        return std::round(static_cast<double>(font.Points) * ResolutionY / 72.0);
    }
};

enum class Align { Left, Centre, Right };

// A text placed by its baseline and aligned on x.
void Text(const Chart& chart, const PrintFont& font, double x, double baseline, std::string_view text,
          Align align = Align::Left) {
    chart.Surface->SelectPrintFont(font);
    const double em = chart.EmDots(font);
    const double width = ArialTextWidth(text) * em / chart.Scale.X;
    const double left = align == Align::Left ? x : align == Align::Centre ? x - width / 2 : x - width;
    chart.Surface->PageMoveTo(chart.X(left), chart.Y(baseline) - ArialAscent * em);
    chart.Surface->PagePrintLine(text);
}

// The baseline that centres figures on y.
double CentredBaseline(const Chart& chart, const PrintFont& font, double y) {
    return y + ArialCapHeight * chart.EmDots(font) / chart.Scale.Y / 2;
}

// A tick label; negative values take an en dash, which has the width of a figure, as printed charts do.
std::string Fixed(double value, int decimals) {
    std::string mask = "###";
    if (decimals > 0) {
        mask += "." + std::string(static_cast<std::size_t>(decimals), '0');
    }
    std::string text = FormatNumber(value, mask);
    if (text.starts_with('-')) {
        text[0] = '\x96';
    }
    return text;
}

// Up to three decimals, without trailing zeros: 222, 60.325, 146.05.
std::string Short(double value) {
    std::string text = FormatNumber(value, LengthMask);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string SpeedText(double rpm) {
    return rpm == DefaultRpm ? "33 1/3" : Short(rpm);
}

std::string PresetSuffix(const AnalysisInputs& inputs) {
    for (const GroovePreset& preset : GroovePresets) {
        if (TextToNumber(preset.Inner) == inputs.InnerGrooveRadius &&
            TextToNumber(preset.Outer) == inputs.OuterGrooveRadius) {
            std::string name(preset.Name);
            if (name != "typical") {
                std::transform(name.begin(), name.end(), name.begin(), [](char c) { return c - 'a' + 'A'; });
            }
            return " (" + name + ")";
        }
    }
    return "";
}

// A polyline in page millimetres drawn with a dash pattern; the pattern runs on across the vertices.
void DashedPolyline(const Chart& chart, std::span<const Point> points, const CurveStyle& style) {
    const PageColour colour = ColourOf(style);
    chart.Pen(style.Pen);
    if (points.size() < 2) {
        return;
    }
    if (style.Dashes[0] <= 0) {
        chart.Surface->PageMoveTo(chart.X(points[0].X), chart.Y(points[0].Y));
        for (const Point& p : points.subspan(1)) {
            chart.Surface->PageLineTo(chart.X(p.X), chart.Y(p.Y), colour);
        }
        return;
    }
    std::size_t dash = 0;
    double left = style.Dashes[0];
    bool drawing = true;
    chart.Surface->PageMoveTo(chart.X(points[0].X), chart.Y(points[0].Y));
    for (std::size_t i = 1; i < points.size(); ++i) {
        Point from = points[i - 1];
        const Point to = points[i];
        double length = std::hypot(to.X - from.X, to.Y - from.Y);
        while (length > left) {
            const double t = left / length;
            const Point cut{from.X + (to.X - from.X) * t, from.Y + (to.Y - from.Y) * t};
            if (drawing) {
                chart.Surface->PageLineTo(chart.X(cut.X), chart.Y(cut.Y), colour);
            } else {
                chart.Surface->PageMoveTo(chart.X(cut.X), chart.Y(cut.Y));
            }
            length -= left;
            from = cut;
            drawing = !drawing;
            do {
                dash = (dash + 1) % style.Dashes.size();
            } while (style.Dashes[dash] <= 0);
            left = style.Dashes[dash];
        }
        left -= length;
        if (drawing) {
            chart.Surface->PageLineTo(chart.X(to.X), chart.Y(to.Y), colour);
        } else {
            chart.Surface->PageMoveTo(chart.X(to.X), chart.Y(to.Y));
        }
    }
}

void Marker(const Chart& chart, Point at, const CurveStyle& style) {
    const PageColour colour = ColourOf(style);
    chart.Pen(MarkerPen);
    const double h = MarkerSize / 2;
    const auto box = [&](double half, BoxCorner corner, PageColour line, PageColour fill) {
        chart.Surface->PageBox(static_cast<float>(chart.X(at.X - half)), static_cast<float>(chart.Y(at.Y - half)),
                               static_cast<float>(chart.X(at.X + half)), static_cast<float>(chart.Y(at.Y + half)),
                               corner, line, fill, 0);
    };
    switch (style.Marker) {
    case MarkerShape::Circle:
        box(h, EllipseCorner, colour, chart.Background);
        return;
    case MarkerShape::Square:
        box(h * 0.9, 0.0f, colour, chart.Background);
        return;
    case MarkerShape::Diamond:
    case MarkerShape::Triangle:
        break;
    }
    // Paper behind the outline, so the curve does not run through the mark.
    box(h * 0.75, EllipseCorner, chart.Background, chart.Background);
    std::vector<Point> corners;
    if (style.Marker == MarkerShape::Diamond) {
        corners = {{at.X, at.Y - h * 1.2}, {at.X + h * 1.2, at.Y}, {at.X, at.Y + h * 1.2}, {at.X - h * 1.2, at.Y}};
    } else {
        corners = {{at.X, at.Y - h * 1.2}, {at.X + h * 1.1, at.Y + h * 0.8}, {at.X - h * 1.1, at.Y + h * 0.8}};
    }
    chart.Surface->PageMoveTo(chart.X(corners.back().X), chart.Y(corners.back().Y));
    for (const Point& corner : corners) {
        chart.Surface->PageLineTo(chart.X(corner.X), chart.Y(corner.Y), colour);
    }
}

// A curve's points on the page, with the nulls put in where they fall, so the distortion reaches zero there.
std::vector<Point> CurvePoints(const ChartPanel& panel, const ArmFigures& arm, bool distortion) {
    const AnalysisCurve& curve = arm.Curve;
    std::vector<std::pair<double, double>> values;
    for (std::size_t i = 0; i < curve.Radius.size(); ++i) {
        values.emplace_back(curve.Radius[i], distortion ? curve.Distortion[i] : curve.TrackingError[i]);
    }
    if (!curve.Radius.empty()) {
        for (const std::optional<double>& null : {arm.InnerNull, arm.OuterNull}) {
            if (null && *null > curve.Radius.front() && *null < curve.Radius.back()) {
                values.emplace_back(*null, 0.0);
            }
        }
    }
    std::sort(values.begin(), values.end());
    std::vector<Point> points;
    for (const auto& [radius, value] : values) {
        points.push_back({panel.PageX(radius), panel.PageY(value)});
    }
    return points;
}

// The values of an axis's ticks, computed from the start each (no running sum); none for an axis that makes no sense.
std::vector<double> TickValues(const ChartAxis& axis) {
    constexpr double MostTicks = 100;
    std::vector<double> values;
    const double count = std::round((axis.To - axis.From) / axis.Step);
    if (!(count >= 0 && count <= MostTicks)) {
        return values;
    }
    for (int k = 0; k <= static_cast<int>(count); ++k) {
        values.push_back(axis.From + axis.Step * k);
    }
    return values;
}

void DrawGrid(const Chart& chart, const ChartPanel& panel, const AnalysisInputs& inputs) {
    const PageColour shade = GrooveShade;
    chart.Pen(GridPen);
    chart.Surface->PageBox(static_cast<float>(chart.X(panel.PageX(inputs.InnerGrooveRadius))),
                           static_cast<float>(chart.Y(panel.Top)),
                           static_cast<float>(chart.X(panel.PageX(inputs.OuterGrooveRadius))),
                           static_cast<float>(chart.Y(panel.Bottom)), 0.0f, shade, shade, 0);
    for (double x : TickValues(panel.X)) {
        chart.Line({panel.PageX(x), panel.Top}, {panel.PageX(x), panel.Bottom}, GridColour);
    }
    for (double y : TickValues(panel.Y)) {
        chart.Line({panel.Left, panel.PageY(y)}, {panel.Right, panel.PageY(y)}, GridColour);
    }
    if (panel.Y.From < 0 && panel.Y.To > 0) {
        chart.Pen(ZeroPen);
        chart.Line({panel.Left, panel.PageY(0)}, {panel.Right, panel.PageY(0)}, ZeroColour);
    }
}

void DrawAxes(const Chart& chart, const ChartPanel& panel, std::string_view title) {
    chart.Pen(FramePen);
    chart.Surface->PageBox(static_cast<float>(chart.X(panel.Left)), static_cast<float>(chart.Y(panel.Top)),
                           static_cast<float>(chart.X(panel.Right)), static_cast<float>(chart.Y(panel.Bottom)), 0.0f,
                           UseLineColour, NoFill, 0);
    const PrintFont font = chart.Font(SmallPoints);
    for (double value : TickValues(panel.X)) {
        const double x = panel.PageX(value);
        chart.Line({x, panel.Bottom}, {x, panel.Bottom - TickLength}, UseLineColour);
        chart.Line({x, panel.Top}, {x, panel.Top + TickLength}, UseLineColour);
        Text(chart, font, x, panel.Bottom + 4.2, Fixed(value, panel.X.Decimals), Align::Centre);
    }
    for (double value : TickValues(panel.Y)) {
        const double y = panel.PageY(value);
        chart.Line({panel.Left, y}, {panel.Left + TickLength, y}, UseLineColour);
        chart.Line({panel.Right, y}, {panel.Right - TickLength, y}, UseLineColour);
        Text(chart, font, panel.Left - 1.8, CentredBaseline(chart, font, y), Fixed(value, panel.Y.Decimals),
             Align::Right);
    }
    Text(chart, chart.Font(TextPoints, FontBold), PageLeft, panel.Top - 3, title);
}

void DrawCurves(const Chart& chart, const ChartPanel& panel, const AlignmentAnalysis& analysis, bool distortion) {
    // The arm last, on top; Löfgren A just below it.
    constexpr std::size_t Order[] = {2, 1, 0, 3};
    for (std::size_t index : Order) {
        if (index < analysis.Arms.size()) {
            const ArmFigures& arm = analysis.Arms[index];
            DashedPolyline(chart, CurvePoints(panel, arm, distortion), StyleOf(arm.Arm));
        }
    }
    for (std::size_t index : Order) {
        if (index < analysis.Arms.size()) {
            const ArmFigures& arm = analysis.Arms[index];
            for (const std::optional<double>& null : {arm.InnerNull, arm.OuterNull}) {
                if (null && *null >= panel.X.From && *null <= panel.X.To) {
                    Marker(chart, {panel.PageX(*null), panel.PageY(0)}, StyleOf(arm.Arm));
                }
            }
        }
    }
}

struct TableColumn {
    double Right;
    std::string_view Heading;
    std::string_view Unit;
};

// clang-format off
constexpr TableColumn TableColumns[] = {
    {74, "Null points", "mm"},   {94, "Eff. length", "mm"}, {113, "Overhang", "mm"},
    {132, "Offset", "degrees"},  {151, "Peak |TE|", "degrees"},
    {171, "Peak dist.", "%"},    {190, "RMS dist.", "%"},
};
// clang-format on

std::string Three(double value) {
    return FormatNumber(value, LengthMask);
}

// A figure of the table, or an en dash where there is none (an arm that reaches no groove).
std::string Figure(double value) {
    return std::isfinite(value) ? Three(value) : std::string("\x96");
}

std::string NullPair(const ArmFigures& arm) {
    const auto text = [](const std::optional<double>& radius) { return radius ? Three(*radius) : "none"; };
    return text(arm.InnerNull) + " / " + text(arm.OuterNull);
}

// The legend is a table of the figures: a stretch of each curve with its marker, then the arm's numbers.
void DrawTable(const Chart& chart, const AlignmentAnalysis& analysis) {
    const PrintFont heading = chart.Font(NotePoints);
    const PrintFont font = chart.Font(SmallPoints);
    for (const TableColumn& column : TableColumns) {
        Text(chart, heading, column.Right, TableTop, column.Heading, Align::Right);
        Text(chart, heading, column.Right, TableTop + 3.3, column.Unit, Align::Right);
    }
    chart.Pen(GridPen * 2);
    chart.Line({PageLeft, TableTop + 4.8}, {PlotRight, TableTop + 4.8}, UseLineColour);
    double baseline = TableTop + 10;
    for (std::size_t i = 0; i < analysis.Arms.size(); ++i) {
        const ArmFigures& arm = analysis.Arms[i];
        const CurveStyle& style = StyleOf(arm.Arm);
        const double middle = baseline - 1.1;
        const Point sample[] = {{PageLeft, middle}, {PageLeft + 14, middle}};
        DashedPolyline(chart, sample, style);
        Marker(chart, {PageLeft + 7, middle}, style);
        Text(chart, font, PageLeft + 17, baseline, ArmName(arm.Arm));
        const std::string cells[] = {NullPair(arm),
                                     Figure(arm.EffectiveLength),
                                     Figure(arm.Overhang),
                                     Figure(arm.OffsetAngle),
                                     Figure(arm.MaxTrackingError),
                                     Figure(arm.MaxDistortion),
                                     Figure(arm.RmsDistortion)};
        for (std::size_t c = 0; c < std::size(cells); ++c) {
            Text(chart, font, TableColumns[c].Right, baseline, cells[c], Align::Right);
        }
        if (i == analysis.LowestPeak) {
            Text(chart, font, TableColumns[5].Right + 0.5, baseline, "*");
        }
        if (i == analysis.LowestRms) {
            Text(chart, font, TableColumns[6].Right + 0.5, baseline, "*");
        }
        baseline += 5.4;
    }
    const PrintFont note = chart.Font(NotePoints);
    const AnalysisInputs& inputs = analysis.Inputs;
    baseline += 1.5;
    Text(chart, note, PageLeft, baseline,
         "Distortion: the second harmonic that the tracking error causes in a groove recorded at " +
             Short(inputs.Velocity) + " mm/s peak velocity, played at " + SpeedText(inputs.Rpm) + " rpm.");
    baseline += 3.6;
    Text(chart, note, PageLeft, baseline,
         "Shaded: the recorded grooves, " + Short(inputs.InnerGrooveRadius) + " to " + Short(inputs.OuterGrooveRadius) +
             " mm; the figures cover them. Marks: null points. * the lowest of the three geometries.");
    if (analysis.BestOverhang) {
        const OverhangOptimum& best = *analysis.BestOverhang;
        baseline += 3.6;
        Text(chart, note, PageLeft, baseline,
             "With your arm's offset angle of " + Three(best.OffsetAngle) + "\xB0, an overhang of " +
                 Three(best.Overhang) + " mm gives the lowest peak distortion, " + Three(best.MaxDistortion) + " %" +
                 (best.Gain ? " (" + Three(*best.Gain) + " percentage points less)" : std::string()) + ".");
    } else if (!analysis.NoBestOverhang.empty()) {
        baseline += 3.6;
        Text(chart, note, PageLeft, baseline, analysis.NoBestOverhang + ".");
    }
}

void DrawHeading(const Chart& chart, const AlignmentAnalysis& analysis) {
    const AnalysisInputs& inputs = analysis.Inputs;
    std::string title = "Tracking error and distortion across the record";
    std::string_view id = inputs.ArmId;
    while (!id.empty() && (id.back() == ' ' || id.back() == '\0')) {
        id.remove_suffix(1);
    }
    if (!id.empty()) {
        title += ": " + std::string(id);
    }
    Text(chart, chart.Font(TitlePoints, FontBold), PageLeft, 14, title);
    Text(chart, chart.Font(TextPoints), PageLeft, 21,
         "Spindle to pivot " + Short(inputs.SpindleToPivot) + " mm, grooves " + Short(inputs.InnerGrooveRadius) +
             " to " + Short(inputs.OuterGrooveRadius) + " mm" + PresetSuffix(inputs) + ", " + SpeedText(inputs.Rpm) +
             " rpm, " + Short(inputs.Velocity) + " mm/s peak velocity");
    chart.Pen(GridPen * 2);
    chart.Line({PageLeft, 25}, {PlotRight, 25}, UseLineColour);
}

} // namespace

ChartAxis NiceAxis(double low, double high, int ticks) {
    if (!(high > low)) {
        high = low + 1;
    }
    const double raw = (high - low) / std::max(ticks, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * magnitude;
    for (double multiple : {1.0, 2.0, 2.5, 5.0}) {
        if (multiple * magnitude >= raw * (1 - 1e-9)) {
            step = multiple * magnitude;
            break;
        }
    }
    ChartAxis axis;
    axis.Step = step;
    axis.From = std::floor(low / step + 1e-9) * step;
    axis.To = std::ceil(high / step - 1e-9) * step;
    while (axis.Decimals < 6 &&
           std::fabs(step * std::pow(10.0, axis.Decimals) - std::round(step * std::pow(10.0, axis.Decimals))) > 1e-6) {
        ++axis.Decimals;
    }
    return axis;
}

AnalysisChartLayout AnalysisChartLayoutOf(const AlignmentAnalysis& analysis) {
    const AnalysisInputs& inputs = analysis.Inputs;
    double lowTe = 0;
    double highTe = 0;
    double highD = 0;
    for (const ArmFigures& arm : analysis.Arms) {
        for (double te : arm.Curve.TrackingError) {
            lowTe = std::min(lowTe, te);
            highTe = std::max(highTe, te);
        }
        for (double d : arm.Curve.Distortion) {
            highD = std::max(highD, d);
        }
    }
    AnalysisChartLayout layout;
    const ChartAxis radius =
        NiceAxis(inputs.InnerGrooveRadius - CurveMargin, inputs.OuterGrooveRadius + CurveMargin, 10);
    layout.TrackingError = {PlotLeft, TrackingErrorTop,          PlotRight, TrackingErrorBottom,
                            radius,   NiceAxis(lowTe, highTe, 6)};
    layout.Distortion = {PlotLeft, DistortionTop, PlotRight, DistortionBottom, radius, NiceAxis(0, highD, 6)};
    return layout;
}

void PrintAnalysisChart(PrintSurface& surface, const AlignmentAnalysis& analysis) {
    const bool attached = surface.BeginPrintJob();
    if (attached && !surface.PrintJobFailed()) {
        surface.SetPageOrientation(1);
        const PrinterResolution resolution = surface.GetPrinterResolution();
        Chart chart;
        chart.Surface = &surface;
        chart.Scale = {DotsPerMm(resolution.X, analysis.Inputs.CorrectionFactorX),
                       DotsPerMm(resolution.Y, analysis.Inputs.CorrectionFactorY)};
        chart.ResolutionY = resolution.Y;
        chart.CorrectionY = analysis.Inputs.CorrectionFactorY;
        chart.Foreground = ForegroundColourOf(surface.Colours());
        chart.Background = BackgroundColourOf(surface.Colours());
        surface.SetForegroundColour(chart.Foreground);
        surface.SetBackgroundColour(NoFill);
        if (!analysis.Problem.empty()) {
            Text(chart, chart.Font(TextPoints), PageLeft, 14, analysis.Problem);
        } else {
            const AnalysisChartLayout layout = AnalysisChartLayoutOf(analysis);
            DrawHeading(chart, analysis);
            DrawGrid(chart, layout.TrackingError, analysis.Inputs);
            DrawGrid(chart, layout.Distortion, analysis.Inputs);
            DrawCurves(chart, layout.TrackingError, analysis, false);
            DrawCurves(chart, layout.Distortion, analysis, true);
            DrawAxes(chart, layout.TrackingError, "Tracking error (degrees)");
            DrawAxes(chart, layout.Distortion, "Distortion (%)");
            Text(chart, chart.Font(TextPoints), (PlotLeft + PlotRight) / 2, DistortionBottom + 9.5,
                 "Groove radius (mm)", Align::Centre);
            DrawTable(chart, analysis);
        }
    }
    surface.EndPrintJob();
}
