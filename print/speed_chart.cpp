#include "print/analysis_chart.h"
#include "print/page_model.h"
#include "print/page_scale.h"
#include "print/printouts.h"
#include "print/text_width.h"
#include "speed/speed_advice.h"
#include "speed/speed_report.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The page, portrait, in millimetres from the top-left of the printable area; it fits Letter and A4.
constexpr double PageLeft = 10;
constexpr double PlotLeft = 26;
constexpr double PlotRight = 192;
constexpr double TraceTop = 58;
constexpr double TraceBottom = 108;
constexpr double LowerTop = 124;
constexpr double LowerBottom = 164;
constexpr double FoldRight = 98;
constexpr double SpectrumLeft = 116;
constexpr double TableTop = 178;

constexpr float TitlePoints = 15;
constexpr float FigurePoints = 10;
constexpr float TextPoints = 9;
constexpr float SmallPoints = 8;
constexpr float NotePoints = 7.5f;

constexpr double FramePen = 0.3;
constexpr double GridPen = 0.1;
constexpr double TracePen = 0.25;
constexpr double StemPen = 0.3;
constexpr double TickLength = 1.3;

// The unweighted deviation in blue, the weighted one in vermilion, as the analysis chart colours its first curves.
const PageColour UnweightedColour = MakeColour(0, 114, 178);
const PageColour WeightedColour = MakeColour(213, 94, 0);
const PageColour GridColour = MakeColour(200, 200, 200);
const PageColour ZeroColour = MakeColour(110, 110, 110);

using Point = ChartPoint;
using Chart = chart::Canvas;
using chart::Align;
using chart::CentredBaseline;
using chart::Paragraph;
using chart::Text;

std::string Percent(double value) {
    return SpeedNumberText(value, 3) + " %";
}

// A panel's frame, grid, ticks and labels; `xLabel` writes an x tick's label from its value.
template <class Label>
void DrawPanel(const Chart& chart, const ChartPanel& panel, std::string_view title, std::string_view xTitle,
               const std::vector<double>& xTicks, Label xLabel) {
    chart.Pen(GridPen);
    for (const double x : xTicks) {
        chart.Line({panel.PageX(x), panel.Top}, {panel.PageX(x), panel.Bottom}, GridColour);
    }
    for (const double y : TickValues(panel.Y)) {
        chart.Line({panel.Left, panel.PageY(y)}, {panel.Right, panel.PageY(y)}, y == 0 ? ZeroColour : GridColour);
    }
    chart.Pen(FramePen);
    chart.Surface->PageBox(static_cast<float>(chart.X(panel.Left)), static_cast<float>(chart.Y(panel.Top)),
                           static_cast<float>(chart.X(panel.Right)), static_cast<float>(chart.Y(panel.Bottom)), 0.0f,
                           UseLineColour, NoFill, 0);
    const PrintFont font = chart.Font(SmallPoints);
    for (const double x : xTicks) {
        chart.Line({panel.PageX(x), panel.Bottom}, {panel.PageX(x), panel.Bottom - TickLength}, UseLineColour);
        Text(chart, font, panel.PageX(x), panel.Bottom + 4.2, xLabel(x), Align::Centre);
    }
    for (const double y : TickValues(panel.Y)) {
        chart.Line({panel.Left, panel.PageY(y)}, {panel.Left + TickLength, panel.PageY(y)}, UseLineColour);
        Text(chart, font, panel.Left - 1.5, CentredBaseline(chart, font, panel.PageY(y)),
             TickLabel(y, panel.Y.Decimals), Align::Right);
    }
    Text(chart, chart.Font(TextPoints, FontBold), panel.Left - 16 < PageLeft ? PageLeft : panel.Left - 16,
         panel.Top - 3, title);
    Text(chart, font, (panel.Left + panel.Right) / 2, panel.Bottom + 8.5, xTitle, Align::Centre);
}

// A run of points drawn as one line, clipped to the panel's value range.
void Curve(const Chart& chart, const ChartPanel& panel, const std::vector<Point>& values, PageColour colour) {
    chart.Pen(TracePen);
    bool drawing = false;
    for (const Point& value : values) {
        const double y = std::clamp(value.Y, panel.Y.From, panel.Y.To);
        const Point at{panel.PageX(value.X), panel.PageY(y)};
        if (!drawing) {
            chart.Surface->PageMoveTo(chart.X(at.X), chart.Y(at.Y));
            drawing = true;
        } else {
            chart.Surface->PageLineTo(chart.X(at.X), chart.Y(at.Y), colour);
        }
    }
}

// A symmetric axis around zero that holds the largest value.
ChartAxis SymmetricAxis(double largest) {
    const double top = std::max(largest, 0.001);
    ChartAxis axis = NiceAxis(-top, top, 6);
    const double reach = std::max(std::fabs(axis.From), std::fabs(axis.To));
    axis.From = -reach;
    axis.To = reach;
    return axis;
}

void DrawTrace(const Chart& chart, const SpeedReport& speed) {
    double largest = 0;
    for (const SpeedTracePoint& p : speed.Trace) {
        largest = std::max(
            {largest, static_cast<double>(std::fabs(p.Unweighted)), static_cast<double>(std::fabs(p.Weighted))});
    }
    ChartPanel panel{PlotLeft,
                     TraceTop,
                     PlotRight,
                     TraceBottom,
                     NiceAxis(speed.FromSeconds, speed.ToSeconds, 10),
                     SymmetricAxis(largest)};
    panel.X.From = speed.FromSeconds;
    panel.X.To = speed.ToSeconds;
    const ChartAxis ticks = NiceAxis(speed.FromSeconds, speed.ToSeconds, 10);
    std::vector<double> xTicks;
    for (const double t : TickValues(ticks)) {
        if (t >= panel.X.From && t <= panel.X.To) {
            xTicks.push_back(t);
        }
    }
    DrawPanel(chart, panel, "Speed deviation over the take (%)", "Time in the recording (s)", xTicks,
              [&](double t) { return TickLabel(t, ticks.Decimals); });
    std::vector<Point> unweighted;
    std::vector<Point> weighted;
    for (const SpeedTracePoint& p : speed.Trace) {
        if (p.Seconds >= panel.X.From && p.Seconds <= panel.X.To) {
            unweighted.push_back({p.Seconds, p.Unweighted});
            weighted.push_back({p.Seconds, p.Weighted});
        }
    }
    Curve(chart, panel, unweighted, UnweightedColour);
    Curve(chart, panel, weighted, WeightedColour);
    // The legend above the panel's right end.
    const PrintFont font = chart.Font(SmallPoints);
    chart.Pen(TracePen * 2);
    chart.Line({120, TraceTop - 4}, {127, TraceTop - 4}, UnweightedColour);
    Text(chart, font, 128.5, TraceTop - 3, "unweighted");
    chart.Line({150, TraceTop - 4}, {157, TraceTop - 4}, WeightedColour);
    Text(chart, font, 158.5, TraceTop - 3, "weighted (IEC 60386)");
}

void DrawFold(const Chart& chart, const SpeedReport& speed) {
    double largest = 0;
    for (const double v : speed.FoldedRevolution) {
        largest = std::max(largest, std::fabs(v));
    }
    ChartPanel panel{PlotLeft, LowerTop, FoldRight, LowerBottom, {0, 360, 90, 0}, SymmetricAxis(largest)};
    DrawPanel(chart, panel, "One revolution, averaged (%)", "Turn of the platter (degrees)", {0, 90, 180, 270, 360},
              [](double x) { return TickLabel(x, 0); });
    std::vector<Point> points;
    const double step = 360.0 / static_cast<double>(std::max<std::size_t>(1, speed.FoldedRevolution.size()));
    for (std::size_t i = 0; i < speed.FoldedRevolution.size(); ++i) {
        points.push_back({(static_cast<double>(i) + 0.5) * step, speed.FoldedRevolution[i]});
    }
    Curve(chart, panel, points, UnweightedColour);
}

void DrawSpectrum(const Chart& chart, const SpeedReport& speed) {
    double largest = 0;
    for (const SpeedSpectrumPoint& p : speed.Spectrum) {
        largest = std::max(largest, static_cast<double>(p.Percent));
    }
    ChartAxis y = NiceAxis(0, std::max(largest * 1.15, 0.001), 5);
    // Frequency on a logarithmic scale: the panel's x runs over log10 of the frequency.
    ChartPanel panel{SpectrumLeft, LowerTop, PlotRight, LowerBottom, {std::log10(0.2), 2, 1, 0}, y};
    const std::vector<double> hz = {0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
    std::vector<double> xTicks;
    for (const double f : hz) {
        xTicks.push_back(std::log10(f));
    }
    DrawPanel(chart, panel, "Spectrum of the deviation (% peak)", "Frequency of the deviation (Hz)", xTicks,
              [](double x) {
                  const double f = std::pow(10.0, x);
                  return SpeedNumberText(f, f < 0.9 ? 1 : 0);
              });
    chart.Pen(StemPen);
    for (const SpeedSpectrumPoint& p : speed.Spectrum) {
        if (p.Hz >= 0.2 && p.Hz <= 100) {
            const double x = panel.PageX(std::log10(p.Hz));
            chart.Line({x, panel.PageY(0)}, {x, panel.PageY(std::min(static_cast<double>(p.Percent), y.To))},
                       UnweightedColour);
        }
    }
    // The strongest components by their number in the table below.
    const PrintFont font = chart.Font(NotePoints, FontBold);
    for (std::size_t i = 0; i < speed.Components.size() && i < 6; ++i) {
        const SpeedComponent& c = speed.Components[i];
        if (c.Hz >= 0.2 && c.Hz <= 100) {
            const double x = panel.PageX(std::log10(c.Hz));
            const double top = panel.PageY(std::min(c.Percent, y.To));
            Text(chart, font, x, std::max(panel.Top + 3, top - 1.2), std::to_string(i + 1), Align::Centre);
        }
    }
}

void DrawFigures(const Chart& chart, const SpeedReport& speed) {
    Text(chart, chart.Font(TitlePoints, FontBold), PageLeft, 14, "Platter speed and wow and flutter");
    Text(chart, chart.Font(TextPoints), PageLeft, 21,
         HzText(speed.NominalToneHz) + " Hz test tone (measured " + SpeedNumberText(speed.MeasuredToneHz, 2) +
             " Hz) at " + RpmText(speed.NominalRpm) + " rpm; " + SpeedNumberText(speed.FromSeconds, 1) + " to " +
             SpeedNumberText(speed.ToSeconds, 1) + " s of the recording, " + std::to_string(speed.Revolutions) +
             " whole revolutions; " + SpeedNumberText(speed.SampleRate / 1000, 1) + " kHz, " +
             std::to_string(speed.Channels) + (speed.Channels == 1 ? " channel" : " channels"));
    chart.Pen(GridPen * 2);
    chart.Line({PageLeft, 25}, {PlotRight, 25}, UseLineColour);
    const PrintFont label = chart.Font(FigurePoints);
    const PrintFont value = chart.Font(FigurePoints, FontBold);
    const std::pair<std::string, std::string> rows[] = {
        {"Speed error", (speed.ErrorPercent > 0 ? "+" : "") + Percent(speed.ErrorPercent) + "   (" +
                            SpeedNumberText(speed.Rpm, 3) + " rpm)"},
        {"Drift", (speed.DriftPercentPerMinute > 0 ? "+" : "") + Percent(speed.DriftPercentPerMinute) + " per minute"},
        {"Wow and flutter", Percent(speed.Weighted2SigmaPercent) + " weighted,  " +
                                Percent(speed.Unweighted2SigmaPercent) + " unweighted (two sigma);  " +
                                Percent(speed.WeightedRmsPercent) + " weighted RMS"},
    };
    double baseline = 32;
    for (const auto& [name, figure] : rows) {
        Text(chart, label, PageLeft, baseline, name);
        Text(chart, value, PageLeft + 32, baseline, figure);
        baseline += 5.2;
    }
}

void DrawTable(const Chart& chart, const SpeedReport& speed) {
    const PrintFont heading = chart.Font(TextPoints, FontBold);
    const PrintFont font = chart.Font(SmallPoints);
    Text(chart, heading, PageLeft, TableTop, "Strongest components of the deviation");
    double baseline = TableTop + 5;
    for (std::size_t i = 0; i < speed.Components.size() && i < 6; ++i) {
        const SpeedComponent& c = speed.Components[i];
        Text(chart, font, PageLeft + 3, baseline, std::to_string(i + 1), Align::Right);
        Text(chart, font, PageLeft + 24, baseline, SpeedNumberText(c.Hz, c.Hz < 10 ? 3 : 2) + " Hz", Align::Right);
        Text(chart, font, PageLeft + 42, baseline, Percent(c.Percent), Align::Right);
        Text(chart, font, PageLeft + 46, baseline, c.Name);
        baseline += 3.9;
    }
    if (speed.Components.empty()) {
        Text(chart, font, PageLeft, baseline, "none above the noise");
        baseline += 3.9;
    }
    baseline += 4;
    Text(chart, heading, PageLeft, baseline, "What to do");
    const PrintFont adviceFont = chart.Font(SmallPoints);
    for (const std::string& step : speed.Advice) {
        Text(chart, adviceFont, PageLeft, baseline + 4.4, "-");
        baseline = Paragraph(chart, adviceFont, PageLeft + 3, baseline + 4.4, PlotRight - PageLeft - 3, step, 3.7);
    }
    Paragraph(chart, chart.Font(NotePoints), PageLeft, baseline + 7, PlotRight - PageLeft,
              "Weighted: IEC 60386 / AES6, 0 dB at 4 Hz. Unweighted: 0.2 to 200 Hz. Two sigma: the value the "
              "deviation exceeds 5 % of the time. The speed and drift are taken over whole revolutions; the "
              "recording's own clock adds its error (usually 0.005 to 0.01 %).",
              3.3);
}

} // namespace

void PrintSpeedChart(PrintSurface& surface, const SpeedReport& speed) {
    // A failed job prints nothing, as a cancelled one does; the device has said why where it can.
    const bool attached = surface.BeginPrintJob().Ok() && surface.PrinterAttached();
    if (attached) {
        surface.SetPageOrientation(1);
        const PrinterResolution resolution = surface.GetPrinterResolution();
        Chart chart;
        chart.Surface = &surface;
        chart.Scale = {DotsPerMm(resolution.X, 1), DotsPerMm(resolution.Y, 1)};
        chart.ResolutionY = resolution.Y;
        surface.SetForegroundColour(ForegroundColourOf(surface.Colours()));
        surface.SetBackgroundColour(NoFill);
        DrawFigures(chart, speed);
        DrawTrace(chart, speed);
        DrawFold(chart, speed);
        DrawSpectrum(chart, speed);
        DrawTable(chart, speed);
    }
    surface.EndPrintJob();
}
