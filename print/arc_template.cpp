#include "print/arc_template.h"
#include "geometry/numeric_text.h"
#include "print/arc_elements.h"
#include "print/arc_sheets.h"
#include "print/drawing_primitives.h"
#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/printouts.h"
#include "print/text_width.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Extended = long double;

// The spindle sits this far from the left of the printable area, on the line through the pivot.
constexpr double SpindlePageX = 43;
constexpr double SpindleLineY = 40;
constexpr double LegendX = 95;
constexpr double NullMarkerDiameter = 4;

// Lines of the frame that lets the user check the printer's scale, with ticks at 100, 180 and 200 mm.
struct FrameLine {
    double FromX, FromY, ToX, ToY;
    const char* Mark;
};

// clang-format off
constexpr FrameLine MeasuringFrame[] = {
    // The two axis lines run 5 mm past the 200 mm ticks: what measuring needs of them is checked by the ticks.
    {1, 0, 1, 206, ""},                    {0, 1, 206, 1, ""},
    {0, 181, 5, 181, "the Y=180mm tick"},  {0, 201, 5, 201, "the Y=200mm tick"},  {0, 101, 5, 101, "the Y=100mm tick"},
    {201, 0, 201, 5, "the X=200mm tick"},  {101, 0, 101, 5, "the X=100mm tick"},  {181, 0, 181, 5, "the X=180mm tick"},
};
// clang-format on

constexpr int PenWidth = 2;
constexpr double LabelPoints = 12;

// The label font's em in dots.
double LabelEm(const ArcTemplateJob& job, int dotsPerInchY) {
    return static_cast<double>(static_cast<float>(LabelPoints * job.Correction.Y)) * dotsPerInchY / 72.0;
}

// The pivot lies on the spindle's line, its distance right of the spindle.
PagePosition PivotOf(const ArcTemplateJob& job) {
    return {job.Arm.Inputs.SpindleToPivot + SpindlePageX, SpindleLineY};
}

// What the page may do with a mark that reaches past the printable area (EdgeMarks), and that area in dots.
struct EdgeFit {
    bool KeepOnPage;
    DevicePoint Printable;
};

// An arm's end pulled in to a pen's width inside the printable area, but never past the centre it leaves from.
double ArmEndWithin(double centre, double end, int printable) {
    const double inside = std::clamp(end, double{PenWidth}, static_cast<double>(printable - PenWidth));
    return end > centre ? std::max(centre, inside) : std::min(centre, inside);
}

// A reference cross; kept on the page, the arms that would run off it are shortened. A cross that fits, or
// whose centre is off the page anyway, is drawn as it always is.
void DrawReferenceCross(PrintSurface& surface, const PageScale& scale, const EdgeFit& fit, double x, double y) {
    constexpr double Size = 5;
    const double cx = x * scale.X;
    const double cy = y * scale.Y;
    const double ends[] = {cy + Size * scale.Y / 2, cy - Size * scale.Y / 2, cx + Size * scale.X / 2,
                           cx - Size * scale.X / 2};
    // Judged where the page model puts the centre: on its nearest dot.
    const bool centreOnPage = std::nearbyint(cx) >= 0 && std::nearbyint(cx) <= fit.Printable.X &&
                              std::nearbyint(cy) >= 0 && std::nearbyint(cy) <= fit.Printable.Y;
    const double kept[] = {ArmEndWithin(cy, ends[0], fit.Printable.Y), ArmEndWithin(cy, ends[1], fit.Printable.Y),
                           ArmEndWithin(cx, ends[2], fit.Printable.X), ArmEndWithin(cx, ends[3], fit.Printable.X)};
    if (!fit.KeepOnPage || !centreOnPage || std::equal(std::begin(ends), std::end(ends), std::begin(kept))) {
        DrawCross(surface, x, y, Size, scale.X, scale.Y);
        return;
    }
    // The strokes in DrawCross's order: the vertical one upwards, then the level one from right to left.
    surface.PageMoveTo(cx, kept[0]);
    surface.PageLineTo(cx, kept[1], UseLineColour);
    surface.PageMoveTo(kept[2], cy);
    surface.PageLineTo(kept[3], cy, UseLineColour);
}

void DrawMeasuringFrame(PrintSurface& surface, const PageScale& scale, const EdgeFit& fit) {
    for (const FrameLine& line : MeasuringFrame) {
        surface.SetPageMark(line.Mark);
        MoveToMm(surface, scale, line.FromX, line.FromY);
        LineToMm(surface, scale, line.ToX, line.ToY);
    }
    surface.SetPageMark("the (100, 100) cross");
    DrawReferenceCross(surface, scale, fit, 101, 101);
    surface.SetPageMark("the (200, 200) cross");
    DrawReferenceCross(surface, scale, fit, 201, 201);
    surface.SetPageMark("the (200, 180) cross");
    DrawReferenceCross(surface, scale, fit, 201, 181);
    surface.SetPageMark("");
}

void DrawSpindleAndPivot(PrintSurface& surface, const ArcTemplateJob& job, const PageScale& scale, double spindleX,
                         double spindleY) {
    surface.SetPageMark(PivotMark);
    DrawCross(surface, PivotOf(job).X, PivotOf(job).Y, 5, scale.X, scale.Y);
    surface.SetPageMark(SpindleMark);
    DrawSpindleHoleMark(surface, spindleX, spindleY, scale.X, scale.Y);
    surface.SetPageMark("");
    MoveToMm(surface, scale, spindleX, spindleY);
    LineToMm(surface, scale, PivotOf(job).X, PivotOf(job).Y);
    DrawCircle(surface, spindleX, spindleY, 300, scale.X, scale.Y);
}

// Where the circles miss each other the point is meaningless: its disc, grid and marker are left out.
std::optional<PagePosition> FindNullPoint(const ArcTemplateJob& job, double nullRadius, double spindleX,
                                          double spindleY) {
    return IntersectCircles(nullRadius, job.Arm.Values.EffectiveLength, job.Arm.Inputs.SpindleToPivot, spindleX,
                            spindleY, PivotOf(job).X, PivotOf(job).Y);
}

struct NullPoint {
    double X = 0;
    double Y = 0;
    bool Drawable = false;
};

NullPoint Drawn(const std::optional<PagePosition>& point) {
    return point ? NullPoint{point->X, point->Y, true} : NullPoint{};
}

void DrawNullPoints(PrintSurface& surface, const ArcTemplateJob& job, const PageScale& scale, double spindleX,
                    double spindleY, ArcTemplatePlacement& placed) {
    placed.InnerNull = FindNullPoint(job, job.Arm.Values.InnerNullRadius, spindleX, spindleY);
    placed.OuterNull = FindNullPoint(job, job.Arm.Values.OuterNullRadius, spindleX, spindleY);
    const NullPoint both[] = {Drawn(placed.InnerNull), Drawn(placed.OuterNull)};
    const std::string_view marks[] = {InnerGridMark, OuterGridMark};

    // The discs clear the stylus arc before the grids and markers go on top of clean paper.
    for (std::size_t i = 0; i < 2; ++i) {
        if (both[i].Drawable) {
            surface.SetPageMark(marks[i]);
            EraseDisc(surface, both[i].X, both[i].Y, NullMarkerDiameter, scale.X, scale.Y);
        }
    }
    for (std::size_t i = 0; i < 2; ++i) {
        if (both[i].Drawable) {
            surface.SetPageMark(marks[i]);
            DrawAlignmentGrid(surface, PivotOf(job), job.Arm.Inputs.SpindleToPivot, both[i].X, both[i].Y,
                              GridAngle(both[i].X, both[i].Y, spindleX, spindleY), scale.X, scale.Y);
        }
    }
    for (std::size_t i = 0; i < 2; ++i) {
        if (both[i].Drawable) {
            surface.SetPageMark(marks[i]);
            DrawCircle(surface, both[i].X, both[i].Y, NullMarkerDiameter, scale.X, scale.Y);
        }
    }
    surface.SetPageMark("");
}

void DrawLabels(PrintSurface& surface, const ArcTemplateJob& job, const PageScale& scale, const EdgeFit& fit,
                int dotsPerInchY) {
    // clang-format off
    // TickY: where the tick a Y label names lies; 0 for the labels that never move.
    const struct { double X, Y; const char* Text; const char* Mark; double TickY; } labels[] = {
        {195, 7, "X=200mm", "the X=200mm label", 0}, {168, 7, "X=180mm", "the X=180mm label", 0},
        {95, 7, "X=100mm", "the X=100mm label", 0},  {7, 178, "Y=180mm", "the Y=180mm label", 181},
        {7, 198, "Y=200mm", "the Y=200mm label", 201}, {25, 192, "cut here!", "", 0},
        {LegendX, 105, "Align cartridge to either grid.", "", 0},
        {PivotOf(job).X - 5, 25, "pivot", PivotLabelMark.data(), 0},
    };
    // clang-format on
    // The label font's character cell in dots, as Arial (or Liberation Sans in its place) sets it.
    const double cell = std::ceil(static_cast<double>(static_cast<float>(LabelPoints * job.Correction.Y)) *
                                  dotsPerInchY / 72.0 * (ArialAscent + ArialDescent));
    for (const auto& label : labels) {
        surface.SetPageMark(label.Mark);
        const double top = label.Y * scale.Y;
        const double bottom = fit.Printable.Y;
        const bool tickOnPage = label.TickY > 0 && std::nearbyint(label.TickY * scale.Y) <= bottom;
        const double left = static_cast<double>(Extended{label.X} * scale.X);
        const double right = left + ArialTextWidth(label.Text) * LabelEm(job, dotsPerInchY);
        if (fit.KeepOnPage && tickOnPage && top + cell > bottom) {
            surface.PageMoveTo(left, bottom - cell);
            surface.PagePrintLine(label.Text);
        } else if (fit.KeepOnPage && label.Mark == PivotLabelMark && right > fit.Printable.X) {
            // The word only names the cross: it may move in, as the Y=200mm label moves up.
            surface.PageMoveTo(std::floor(fit.Printable.X - (right - left)), top);
            surface.PagePrintLine(label.Text);
        } else {
            TextAtMm(surface, scale, label.X, label.Y, label.Text);
        }
    }
    surface.SetPageMark("");
}

std::string Legend(std::string_view label, double value) {
    return std::string(label) + FormatNumber(value, LengthMask);
}

void DrawLegend(PrintSurface& surface, const ArcTemplateJob& job, const PageScale& scale) {
    const std::string lines[] = {
        Legend("Inner groove radius = ", job.Arm.Inputs.InnerGrooveRadius) +
            InnerGrooveSuffix(job.Arm.Inputs.InnerGrooveRadius),
        Legend("Outer groove radius = ", job.Arm.Inputs.OuterGrooveRadius) +
            OuterGrooveSuffix(job.Arm.Inputs.OuterGrooveRadius),
        Legend("Pivot to spindle distance = ", job.Arm.Inputs.SpindleToPivot),
        Legend("Inner null radius = ", job.Arm.Values.InnerNullRadius),
        Legend("Outer null radius = ", job.Arm.Values.OuterNullRadius),
        Legend("Effective length = ", job.Arm.Values.EffectiveLength),
        Legend("Overhang = ", job.Arm.Values.Overhang),
        Legend("Offset angle = ", job.Arm.Values.OffsetAngle) + "\xB0",
        Legend("Linear offset = ", job.Arm.Values.LinearOffset),
    };
    double y = 45;
    for (const std::string& line : lines) {
        TextAtMm(surface, scale, LegendX, y, line);
        y += 5;
    }
}

} // namespace

std::string InnerGrooveSuffix(double innerGrooveRadius) {
    // Exact comparisons: only the preset values themselves earn the name of their standard.
    if (innerGrooveRadius == 57.5) {
        return " (DIN)";
    }
    if (innerGrooveRadius == 60.325) {
        return " (IEC)";
    }
    return "";
}

std::string OuterGrooveSuffix(double outerGrooveRadius) {
    return outerGrooveRadius == 146.05 ? " (DIN/IEC)" : "";
}

std::string ArcTemplateTitle(const ArmInputs& arm) {
    std::string_view suffix;
    switch (arm.Choice) {
    case Geometry::LofgrenA:
        suffix = " - L\xF6"
                 "fgren A";
        break;
    case Geometry::LofgrenB:
        suffix = " - L\xF6"
                 "fgren B";
        break;
    case Geometry::StevensonA:
        suffix = " - Stevenson A";
        break;
    case Geometry::CustomNulls:
        suffix = " - Custom null points";
        break;
    }
    std::string_view id(arm.Id);
    // An ID that was never read holds zero bytes rather than blanks; neither belongs in the title.
    while (!id.empty() && (id.back() == ' ' || id.back() == '\0')) {
        id.remove_suffix(1);
    }
    return std::string(id) + std::string(suffix) + (arm.Exact ? " (exact)" : "");
}

ArcTemplatePlacement PrintArcTemplate(PrintSurface& surface, const ArcTemplateJob& job) {
    return PrintArcTemplate(surface, job, EdgeMarks::AsDrawn);
}

namespace {

struct TemplateFonts {
    PrintFont Label;
    PrintFont Title;
};

TemplateFonts CreateTemplateFonts(const ArcTemplateJob& job) {
    return {CreatePrintFont("Arial", static_cast<float>(LabelPoints * job.Correction.Y), 0),
            CreatePrintFont("Arial", static_cast<float>(16 * job.Correction.Y), FontItalic)};
}

// The sheet's printable area, and at least the landscape Letter sheet the one-page template fills.
void FillPage(PrintSurface& surface, const PrinterResolution& resolution, PageColour background, DevicePoint reach) {
    const float across = std::max(static_cast<float>(11.0 * resolution.X), static_cast<float>(reach.X));
    const float down = std::max(static_cast<float>(8.5 * resolution.Y), static_cast<float>(reach.Y));
    surface.PageBox(0, 0, across, down, 0.0f, background, background, 0);
}

// Everything of the template after the page's fill, in the page model's frame (a sheet's origin applied).
void DrawTemplateMarks(PrintSurface& surface, const ArcTemplateJob& job, const TemplateFonts& fonts,
                       const PrinterResolution& resolution, const PageScale& scale, const EdgeFit& fit,
                       ArcTemplatePlacement& placed) {
    const double spindleX = PivotOf(job).X - job.Arm.Inputs.SpindleToPivot;
    const double spindleY = PivotOf(job).Y;
    DrawMeasuringFrame(surface, scale, fit);
    DrawSpindleAndPivot(surface, job, scale, spindleX, spindleY);
    DrawArc(surface, PivotOf(job).X, PivotOf(job).Y, job.Arm.Values.EffectiveLength, scale.X, scale.Y, 177, 270);
    DrawNullPoints(surface, job, scale, spindleX, spindleY, placed);

    surface.SelectPrintFont(fonts.Label);
    DrawLabels(surface, job, scale, fit, resolution.Y);
    surface.SelectPrintFont(fonts.Title);
    if (job.Title) {
        TextAtMm(surface, scale, LegendX - 35, 30, *job.Title);
    }
    surface.SelectPrintFont(fonts.Label);
    DrawLegend(surface, job, scale);
}

// The dots of a length in page millimetres along x, from a sheet's left edge.
double AcrossDots(const PageScale& scale, double mm) {
    return static_cast<double>(Extended{mm} * scale.X);
}

void DotLine(PrintSurface& surface, double x1, double y1, double x2, double y2) {
    surface.PageMoveTo(x1, y1);
    surface.PageLineTo(x2, y2, UseLineColour);
}

void DotText(PrintSurface& surface, double x, double y, std::string_view text) {
    surface.PageMoveTo(x, y);
    surface.PagePrintLine(text);
}

// The join at template x `joinDots` as sheet `sheet` shows it: its registration crosses and line, and the word of
// what to do there (the earlier sheet is glued under it, the later one cut along it). Drawn with the sheet's origin.
void DrawJoin(PrintSurface& surface, const PageScale& scale, double joinDots, bool laterSheet, int bottomDots) {
    const double top = 45 * scale.Y;
    surface.PageMoveTo(joinDots, top);
    surface.PageLineTo(joinDots, bottomDots, UseLineColour);
    const double half = RegistrationCrossMm / 2;
    for (const double y : RegistrationCrossY) {
        const double cy = y * scale.Y;
        DotLine(surface, joinDots, cy - half * scale.Y, joinDots, cy + half * scale.Y);
        DotLine(surface, joinDots - half * scale.X, cy, joinDots + half * scale.X, cy);
        const double radius = RegistrationCrossMm / 4;
        surface.PageBox(static_cast<float>(joinDots - radius * scale.X), static_cast<float>(cy - radius * scale.Y),
                        static_cast<float>(joinDots + radius * scale.X), static_cast<float>(cy + radius * scale.Y),
                        EllipseCorner, UseLineColour, NoFill, 0);
    }
    // Between the crosses, on the side of the line that the joined sheets hide: cut off, or glued under.
    const double wordY = (RegistrationCrossY[0] + RegistrationCrossY[1]) / 2 * scale.Y;
    DotText(surface, laterSheet ? joinDots - AcrossDots(scale, 8.5) : joinDots + AcrossDots(scale, 1.5), wordY,
            laterSheet ? "cut" : "glue");
}

// The scale check of a sheet after the first: a bar across and a bar down, each with a tick 100 mm from the
// other bar, as the first sheet's frame has them at 100, 180 and 200 mm.
void DrawScaleCheck(PrintSurface& surface, const PageScale& scale) {
    const double x = ScaleCheckCornerX;
    const double y = ScaleCheckCornerY;
    MoveToMm(surface, scale, x, y - 105);
    LineToMm(surface, scale, x, y + 3);
    MoveToMm(surface, scale, x - 3, y);
    LineToMm(surface, scale, x + 105, y);
    MoveToMm(surface, scale, x + 100, y - 5);
    LineToMm(surface, scale, x + 100, y + 3);
    MoveToMm(surface, scale, x - 3, y - 100);
    LineToMm(surface, scale, x + 5, y - 100);
    TextAtMm(surface, scale, x + 86, y - 12, "100 mm");
    TextAtMm(surface, scale, x + 7, y - 102, "100 mm");
}

std::string SheetOf(int sheet, int count) {
    return "Sheet " + std::to_string(sheet + 1) + " of " + std::to_string(count);
}

// "Sheet k of n" and the joining steps: on the first sheet in the room above the legend, right of the frame's
// labels; on the others inside their scale check.
void DrawSheetText(PrintSurface& surface, const PageScale& scale, int sheet, int count) {
    if (sheet == 0) {
        TextAtMm(surface, scale, 110, 13, SheetOf(sheet, count) + ": the next sheet");
        TextAtMm(surface, scale, 110, 19, "joins at the crosses on the right");
        return;
    }
    const std::string previous = std::to_string(sheet);
    const std::string lines[] = {
        SheetOf(sheet, count),
        "1. Print every sheet at 100 %; check both 100 mm",
        "    marks here and the frame's marks on sheet 1.",
        "2. Cut this sheet along its line marked cut.",
        "3. Lay it over sheet " + previous + ", each cross on its twin",
        "    and its edge on the line; glue it on.",
    };
    double y = ScaleCheckCornerY - 90;
    for (const std::string& line : lines) {
        TextAtMm(surface, scale, ScaleCheckCornerX + 10, y, line);
        y += 6;
    }
}

// The grids' reach about their null points: 30 mm along the tangent and 20 mm across it, turned any way.
constexpr double GridReachMm = 37;

ArcTemplatePlacement PrintSheets(PrintSurface& surface, const ArcTemplateJob& job, SheetChoice choice,
                                 std::optional<int> only) {
    const TemplateFonts fonts = CreateTemplateFonts(job);
    ArcTemplatePlacement placed;
    placed.Pivot = PivotOf(job);
    // A failed job prints nothing, as a cancelled one does; the device has said why where it can.
    const bool attached = surface.BeginPrintJob().Ok() && surface.PrinterAttached();
    if (attached) {
        surface.SetPageOrientation(2);
        const PrinterResolution resolution = surface.GetPrinterResolution();
        const PageScale scale = PageScaleOf(resolution, job.Correction);
        const PageColour background = BackgroundColourOf(surface.Colours());
        surface.SetForegroundColour(ForegroundColourOf(surface.Colours()));
        surface.SetBackgroundColour(background);
        // The printable area is known once the page is open; the first fill opens it, as it always has.
        surface.PageBox(0, 0, static_cast<float>(11.0 * resolution.X), static_cast<float>(8.5 * resolution.Y), 0.0f,
                        background, background, 0);
        const DevicePoint printable = surface.GetPrintableSize();
        const ArcSheets sheets = PlanArcSheets(job, scale, resolution.Y, printable.X, choice);
        const EdgeFit fit{true, printable};
        bool first = true;
        for (int sheet = 0; sheet < sheets.Count(); ++sheet) {
            if (only && *only != sheet) {
                continue;
            }
            if (!first) {
                surface.NextPage();
            }
            if (!first || printable.X > 11.0 * resolution.X || printable.Y > 8.5 * resolution.Y) {
                FillPage(surface, resolution, background, printable);
            }
            first = false;
            surface.SetPenWidth(PenWidth);
            const int left = sheets.Left[static_cast<std::size_t>(sheet)];
            surface.SetPageOrigin({left, 0});
            DrawTemplateMarks(surface, job, fonts, resolution, scale, fit, placed);
            if (sheets.Count() == 1) {
                continue;
            }
            surface.SelectPrintFont(fonts.Label);
            if (sheet > 0) {
                DrawJoin(surface, scale, sheets.JoinDots(sheet - 1), true, printable.Y - PenWidth);
            }
            if (sheet + 1 < sheets.Count()) {
                DrawJoin(surface, scale, sheets.JoinDots(sheet), false, printable.Y - PenWidth);
            }
            surface.SetPageOrigin({0, 0});
            DrawSheetText(surface, scale, sheet, sheets.Count());
            if (sheet > 0) {
                DrawScaleCheck(surface, scale);
            }
        }
    }
    surface.EndPrintJob();
    return placed;
}

} // namespace

double ArcTemplateRightDots(const ArcTemplateJob& job, const PageScale& scale, int dotsPerInchY) {
    const double pivotX = job.Arm.Inputs.SpindleToPivot + SpindlePageX;
    const double label = AcrossDots(scale, pivotX - 5) + ArialTextWidth("pivot") * LabelEm(job, dotsPerInchY);
    const double cross = AcrossDots(scale, pivotX + 2.5) + PenWidth;
    return std::max({label, cross, ArcTemplateMeasuredRightDots(job, scale)});
}

double ArcTemplateMeasuredRightDots(const ArcTemplateJob& job, const PageScale& scale) {
    return std::max(AcrossDots(scale, job.Arm.Inputs.SpindleToPivot + SpindlePageX), AcrossDots(scale, 206)) + PenWidth;
}

ArcSheets PlanArcSheets(const ArcTemplateJob& job, const PageScale& scale, int dotsPerInchY, int printableWidthDots,
                        SheetChoice choice) {
    ArcSheets sheets;
    sheets.Left.push_back(0);
    const double right = ArcTemplateRightDots(job, scale, dotsPerInchY);
    sheets.BandDots = static_cast<int>(std::lround(AcrossDots(scale, JoinBandMm)));
    // A sheet must show more than the band it shares, or no number of sheets would reach the end.
    const int step = printableWidthDots - sheets.BandDots;
    // One sheet holds the template while it holds the pivot point and the marks that are measured: a label moves
    // in, and a cross whose tip is cut is warned of, but neither is worth a second sheet.
    const bool fits = ArcTemplateMeasuredRightDots(job, scale) <= printableWidthDots;
    if (!std::isfinite(right) || step <= 0 || (fits && choice == SheetChoice::AsNeeded)) {
        return sheets;
    }
    std::vector<std::pair<double, double>> grids;
    const double spindleX = SpindlePageX;
    for (const double radius : {job.Arm.Values.InnerNullRadius, job.Arm.Values.OuterNullRadius}) {
        if (const std::optional<PagePosition> point =
                IntersectCircles(radius, job.Arm.Values.EffectiveLength, job.Arm.Inputs.SpindleToPivot, spindleX,
                                 SpindleLineY, spindleX + job.Arm.Inputs.SpindleToPivot, SpindleLineY)) {
            grids.emplace_back(AcrossDots(scale, point->X - GridReachMm), AcrossDots(scale, point->X + GridReachMm));
        }
    }
    // Grids that overlap are kept together; from the right, so that a band moved left of one is checked against
    // the grids further left.
    std::sort(grids.begin(), grids.end());
    if (grids.size() == 2 && grids[1].first <= grids[0].second) {
        grids = {{grids[0].first, std::max(grids[0].second, grids[1].second)}};
    }
    std::reverse(grids.begin(), grids.end());
    // Tiled by choice although one sheet would hold it: two sheets that meet halfway.
    const int reach =
        right <= printableWidthDots ? static_cast<int>(std::ceil((right + sheets.BandDots) / 2)) : printableWidthDots;
    while ((sheets.Left.back() + printableWidthDots < right || sheets.Count() == 1) && sheets.Count() < MostArcSheets) {
        int next = sheets.Left.back() + reach - sheets.BandDots;
        for (const auto& [from, to] : grids) {
            // A band across a grid moves to its left, so the whole grid lies on the later sheet, or else (a sheet
            // that starts too near) to its right, as far as the earlier sheet still shows the band.
            const int before = static_cast<int>(std::floor(from)) - sheets.BandDots;
            const int after = static_cast<int>(std::ceil(to));
            if (next < to && next + sheets.BandDots > from) {
                if (before > sheets.Left.back()) {
                    next = std::min(next, before);
                } else if (after + sheets.BandDots <= sheets.Left.back() + printableWidthDots) {
                    next = after;
                }
            }
        }
        sheets.Left.push_back(next);
    }
    return sheets;
}

ArcTemplatePlacement PrintArcTemplateSheets(PrintSurface& surface, const ArcTemplateJob& job, SheetChoice choice) {
    return PrintSheets(surface, job, choice, std::nullopt);
}

ArcTemplatePlacement PrintArcTemplateSheet(PrintSurface& surface, const ArcTemplateJob& job, SheetChoice choice,
                                           int sheet) {
    return PrintSheets(surface, job, choice, sheet);
}

ArcTemplatePlacement PrintArcTemplate(PrintSurface& surface, const ArcTemplateJob& job, EdgeMarks edgeMarks) {
    const TemplateFonts fonts = CreateTemplateFonts(job);
    ArcTemplatePlacement placed;
    placed.Pivot = PivotOf(job);

    // A failed job prints nothing, as a cancelled one does; the device has said why where it can.
    const bool attached = surface.BeginPrintJob().Ok() && surface.PrinterAttached();
    if (attached) {
        surface.SetPageOrientation(2);
        const PrinterResolution resolution = surface.GetPrinterResolution();
        const PageScale scale = PageScaleOf(resolution, job.Correction);
        const PageColour background = BackgroundColourOf(surface.Colours());
        surface.SetForegroundColour(ForegroundColourOf(surface.Colours()));
        surface.SetBackgroundColour(background);
        // A whole landscape Letter sheet in the printer's own dots: the correction factors do not apply.
        surface.PageBox(0, 0, static_cast<float>(11.0 * resolution.X), static_cast<float>(8.5 * resolution.Y), 0.0f,
                        background, background, 0);
        surface.SetPenWidth(PenWidth);
        // The Windows program's page asks the printer nothing more than it always has.
        const bool keep = edgeMarks == EdgeMarks::KeptOnPage;
        const EdgeFit fit{keep, keep ? surface.GetPrintableSize() : DevicePoint{0, 0}};
        DrawTemplateMarks(surface, job, fonts, resolution, scale, fit, placed);
    }
    surface.EndPrintJob();
    return placed;
}
