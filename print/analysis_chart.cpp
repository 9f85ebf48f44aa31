#include "print/analysis_chart.h"

#include "analysis/analysis_report.h"
#include "analysis/arm_advice.h"
#include "geometry/groove_presets.h"
#include "geometry/numeric_text.h"
#include "print/chart_canvas.h"
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
// The panels leave the lower third of the page to the table, the notes and the advice for the user's arm.
constexpr double TrackingErrorTop = 37;
constexpr double TrackingErrorBottom = 96;
constexpr double DistortionTop = 114;
constexpr double DistortionBottom = 173;
constexpr double TableTop = 189;
constexpr double NoteLine = 3.6;

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
constexpr double DotPen = 0.65;
constexpr double LeaderPen = 0.15;
constexpr double MarkerPen = 0.25;

enum class MarkerShape { Circle, Square, Diamond, Triangle, TriangleDown };

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

// Stevenson A's dots are wider and closer than a line's pen would make them: thin sparse dots vanished on the shaded
// grooves, in grey most of all.
// clang-format off
constexpr CurveStyle CurveStyles[] = {
    {{0, 114, 178}, {0, 0, 0, 0},            CurvePen,    MarkerShape::Circle},   // Löfgren A: solid, blue
    {{213, 94, 0},  {2.75, 1.75, 0, 0},      CurvePen,    MarkerShape::Square},   // Löfgren B: dashes, vermilion
    {{0, 140, 100}, {0.05, 0.75, 0, 0},      DotPen,      MarkerShape::Diamond},  // Stevenson A: dots, green
    {{0, 0, 0},     {2.85, 1.55, 0.05, 1.55}, ArmCurvePen, MarkerShape::Triangle}, // the user's arm: dash-dot, black
    {{117, 52, 148}, {5.5, 1.3, 1.1, 1.3},   CurvePen,    MarkerShape::TriangleDown}, // custom: long-short, purple
};
// clang-format on

const CurveStyle& StyleOf(AnalysedArm arm) {
    return CurveStyles[static_cast<std::size_t>(arm)];
}

PageColour ColourOf(const CurveStyle& style) {
    return MakeColour(style.Colour[0], style.Colour[1], style.Colour[2]);
}

const PageColour GrooveShade = MakeColour(234, 234, 234);
const PageColour GridColour = MakeColour(200, 200, 200);
const PageColour ZeroColour = MakeColour(110, 110, 110);

using Point = ChartPoint;

using Chart = chart::Canvas;
using chart::Align;
using chart::CentredBaseline;
using chart::Paragraph;
using chart::Text;

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
            return " (" + std::string(preset.Title) + ")";
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
    case MarkerShape::TriangleDown:
        break;
    }
    // Paper behind the outline, so the curve does not run through the mark.
    box(h * 0.75, EllipseCorner, chart.Background, chart.Background);
    std::vector<Point> corners;
    if (style.Marker == MarkerShape::Diamond) {
        corners = {{at.X, at.Y - h * 1.2}, {at.X + h * 1.2, at.Y}, {at.X, at.Y + h * 1.2}, {at.X - h * 1.2, at.Y}};
    } else if (style.Marker == MarkerShape::Triangle) {
        corners = {{at.X, at.Y - h * 1.2}, {at.X + h * 1.1, at.Y + h * 0.8}, {at.X - h * 1.1, at.Y + h * 0.8}};
    } else {
        corners = {{at.X, at.Y + h * 1.2}, {at.X + h * 1.1, at.Y - h * 0.8}, {at.X - h * 1.1, at.Y - h * 0.8}};
    }
    chart.Surface->PageMoveTo(chart.X(corners.back().X), chart.Y(corners.back().Y));
    for (const Point& corner : corners) {
        chart.Surface->PageLineTo(chart.X(corner.X), chart.Y(corner.Y), colour);
    }
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
        Text(chart, font, x, panel.Bottom + 4.2, TickLabel(value, panel.X.Decimals), Align::Centre);
    }
    for (double value : TickValues(panel.Y)) {
        const double y = panel.PageY(value);
        chart.Line({panel.Left, y}, {panel.Left + TickLength, y}, UseLineColour);
        chart.Line({panel.Right, y}, {panel.Right - TickLength, y}, UseLineColour);
        Text(chart, font, panel.Left - 1.8, CentredBaseline(chart, font, y), TickLabel(value, panel.Y.Decimals),
             Align::Right);
    }
    Text(chart, chart.Font(TextPoints, FontBold), PageLeft, panel.Top - 3, title);
}

// The order the curves are drawn in: the arm last, on top; Löfgren A just below it.
constexpr AnalysedArm DrawingOrder[] = {AnalysedArm::StevensonA, AnalysedArm::LofgrenB, AnalysedArm::Custom,
                                        AnalysedArm::LofgrenA, AnalysedArm::UserArm};

void DrawCurves(const Chart& chart, const ChartPanel& panel, const AlignmentAnalysis& analysis, bool distortion) {
    for (const AnalysedArm which : DrawingOrder) {
        if (const ArmFigures* arm = FindArm(analysis, which)) {
            for (const std::vector<Point>& run : CurveRuns(panel, *arm, distortion)) {
                DashedPolyline(chart, run, StyleOf(arm->Arm));
            }
        }
    }
    for (const NullMarker& marker : NullMarkersOf(analysis, panel)) {
        const CurveStyle& style = StyleOf(marker.Arm);
        if (marker.At.Y != marker.Null.Y) {
            chart.Pen(LeaderPen);
            chart.Line(marker.Null, {marker.At.X, marker.At.Y + MarkerSize / 2}, ZeroColour);
        }
        Marker(chart, marker.At, style);
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

// How far the exact solutions lie from the closed forms, at most.
std::string ExactNote(const AlignmentAnalysis& analysis) {
    double nulls = 0;
    double overhang = 0;
    double offset = 0;
    for (std::size_t i = 0; i < analysis.ClosedForms.size() && i < analysis.Arms.size(); ++i) {
        const ArmFigures& closed = analysis.ClosedForms[i];
        const ArmFigures& exact = analysis.Arms[i];
        for (const auto& [a, b] : {std::pair{closed.InnerNull, exact.InnerNull}, {closed.OuterNull, exact.OuterNull}}) {
            if (a && b) {
                nulls = std::max(nulls, std::fabs(*a - *b));
            }
        }
        overhang = std::max(overhang, std::fabs(closed.Overhang - exact.Overhang));
        offset = std::max(offset, std::fabs(closed.OffsetAngle - exact.OffsetAngle));
    }
    return "Exact: each geometry solves its defining condition; the closed forms differ by up to " + Three(nulls) +
           " mm in the nulls, " + Three(overhang) + " mm in the overhang and " + Three(offset) + "\xB0 in the offset.";
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
    baseline += NoteLine;
    Text(chart, note, PageLeft, baseline,
         "Shaded: the recorded grooves, " + Short(inputs.InnerGrooveRadius) + " to " + Short(inputs.OuterGrooveRadius) +
             " mm; the figures cover them. Marks: null points. * the lowest of the three geometries.");
    if (analysis.BestOverhang) {
        const OverhangOptimum& best = *analysis.BestOverhang;
        baseline += NoteLine;
        Text(chart, note, PageLeft, baseline,
             "With your arm's offset angle of " + Three(best.OffsetAngle) + "\xB0, an overhang of " +
                 Three(best.Overhang) + " mm gives the lowest peak distortion, " + Three(best.MaxDistortion) + " %" +
                 (best.Gain ? " (" + Three(*best.Gain) + " percentage points less)" : std::string()) + ".");
    } else if (!analysis.NoBestOverhang.empty()) {
        baseline += NoteLine;
        Text(chart, note, PageLeft, baseline, analysis.NoBestOverhang + ".");
    }
    baseline += NoteLine;
    Text(chart, note, PageLeft, baseline, std::string(GeometryTradeOff()));
    if (!analysis.ClosedForms.empty()) {
        baseline += NoteLine;
        Text(chart, note, PageLeft, baseline, ExactNote(analysis));
    }
    if (analysis.Advice) {
        baseline += 6.5;
        Text(chart, chart.Font(TextPoints, FontBold), PageLeft, baseline, "What to do");
        const PrintFont adviceFont = chart.Font(TextPoints);
        for (const std::string& step : analysis.Advice->Steps) {
            baseline = Paragraph(chart, adviceFont, PageLeft, baseline + 4.6, PlotRight - PageLeft, step, 4.2);
        }
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

// A tick label; negative values take an en dash, which has the width of a figure, as printed charts do.
std::string TickLabel(double value, int decimals) {
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

// A curve's stretches on the page, with the nulls put in where they fall, so the distortion reaches zero there; cut
// where the curve leaves the panel's value range (the distortion's scale fits the grooves, not the curves' ends).
std::vector<std::vector<ChartPoint>> CurveRuns(const ChartPanel& panel, const ArmFigures& arm, bool distortion) {
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
    const double low = panel.Y.From;
    const double high = panel.Y.To;
    const auto inside = [&](double value) { return value >= low && value <= high; };
    // Where the segment from a to b crosses the edge of the range that b (or a) lies beyond.
    const auto crossing = [&](const std::pair<double, double>& a, const std::pair<double, double>& b) {
        const double edge = std::max(a.second, b.second) > high ? high : low;
        const double t = (edge - a.second) / (b.second - a.second);
        return ChartPoint{panel.PageX(a.first + (b.first - a.first) * t), panel.PageY(edge)};
    };
    std::vector<std::vector<ChartPoint>> runs;
    std::vector<ChartPoint> run;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool here = inside(values[i].second);
        const bool before = i > 0 && inside(values[i - 1].second);
        if (here && i > 0 && !before) {
            run.push_back(crossing(values[i - 1], values[i]));
        }
        if (here) {
            run.push_back({panel.PageX(values[i].first), panel.PageY(values[i].second)});
        } else if (before) {
            run.push_back(crossing(values[i - 1], values[i]));
            runs.push_back(std::move(run));
            run.clear();
        }
    }
    if (!run.empty()) {
        runs.push_back(std::move(run));
    }
    return runs;
}

std::vector<NullMarker> NullMarkersOf(const AlignmentAnalysis& analysis, const ChartPanel& panel) {
    constexpr double Lift = MarkerSize + 0.8;
    std::vector<NullMarker> markers;
    std::vector<int> lanes;
    for (const AnalysedArm which : DrawingOrder) {
        const ArmFigures* arm = FindArm(analysis, which);
        if (arm == nullptr) {
            continue;
        }
        for (const std::optional<double>& null : {arm->InnerNull, arm->OuterNull}) {
            if (!null || *null < panel.X.From || *null > panel.X.To) {
                continue;
            }
            const Point at{panel.PageX(*null), panel.PageY(0)};
            int lane = 0;
            for (bool taken = true; taken; lane += taken ? 1 : 0) {
                taken = false;
                for (std::size_t i = 0; i < markers.size(); ++i) {
                    taken = taken || (lanes[i] == lane && std::fabs(markers[i].Null.X - at.X) < NullMarkerWidth);
                }
            }
            markers.push_back({which, at, {at.X, at.Y - Lift * lane}});
            lanes.push_back(lane);
        }
    }
    return markers;
}

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
        // The scale fits the grooves: beyond them the curves climb steeply (2 % at 55 mm) over radii no record
        // uses, and would squeeze what matters into the bottom of the panel.
        for (std::size_t i = 0; i < arm.Curve.Radius.size(); ++i) {
            const double r = arm.Curve.Radius[i];
            if (r >= inputs.InnerGrooveRadius && r <= inputs.OuterGrooveRadius) {
                highD = std::max(highD, arm.Curve.Distortion[i]);
            }
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
    // A failed job prints nothing, as a cancelled one does; the device has said why where it can.
    const bool attached = surface.BeginPrintJob().Ok() && surface.PrinterAttached();
    if (attached) {
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
        const AnalysisChartLayout layout = AnalysisChartLayoutOf(analysis);
        DrawHeading(chart, analysis);
        DrawGrid(chart, layout.TrackingError, analysis.Inputs);
        DrawGrid(chart, layout.Distortion, analysis.Inputs);
        DrawCurves(chart, layout.TrackingError, analysis, false);
        DrawCurves(chart, layout.Distortion, analysis, true);
        DrawAxes(chart, layout.TrackingError, "Tracking error (degrees)");
        DrawAxes(chart, layout.Distortion, "Distortion (%)");
        Text(chart, chart.Font(TextPoints), (PlotLeft + PlotRight) / 2, DistortionBottom + 9.5, "Groove radius (mm)",
             Align::Centre);
        DrawTable(chart, analysis);
    }
    surface.EndPrintJob();
}
