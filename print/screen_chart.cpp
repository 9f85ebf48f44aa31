#include "print/screen_chart.h"

#include "print/analysis_chart.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

ScreenPanel PanelOf(const ChartPanel& printed, const AlignmentAnalysis& analysis, bool distortion, double width,
                    double textPx) {
    ScreenPanel panel;
    panel.Title = distortion ? "Distortion (%)" : "Tracking error (degrees)";
    panel.Width = width;
    // Room for the longest tick label on the left, a line of ticks and the radius title below, the title above.
    std::size_t widest = 0;
    for (double value : TickValues(printed.Y)) {
        widest = std::max(widest, TickLabel(value, printed.Y.Decimals).size());
    }
    panel.Left = textPx * (0.6 * static_cast<double>(widest) + 1.0);
    panel.Right = width - textPx;
    panel.Top = textPx * 2.0;
    const double plotHeight = std::clamp(width * 0.5, textPx * 12, textPx * 24);
    panel.Bottom = panel.Top + plotHeight;
    panel.Height = panel.Bottom + textPx * 3.2;

    ChartPanel screen = printed;
    screen.Left = panel.Left;
    screen.Right = panel.Right;
    screen.Top = panel.Top;
    screen.Bottom = panel.Bottom;
    panel.GroovesLeft = screen.PageX(analysis.Inputs.InnerGrooveRadius);
    panel.GroovesRight = screen.PageX(analysis.Inputs.OuterGrooveRadius);
    panel.Labels.push_back({panel.Left, textPx * 1.2, panel.Title, ScreenLabel::Anchor::Start});

    // Every tick gets a grid line; a label only where it keeps a label's width from its neighbour.
    const std::vector<double> xs = TickValues(printed.X);
    const double spacing = xs.size() > 1 ? (panel.Right - panel.Left) / static_cast<double>(xs.size() - 1) : 0;
    std::size_t widestX = 1;
    for (double value : xs) {
        widestX = std::max(widestX, TickLabel(value, printed.X.Decimals).size());
    }
    const double needed = textPx * (0.6 * static_cast<double>(widestX) + 0.8);
    const std::size_t every = spacing > 0 ? static_cast<std::size_t>(std::ceil(needed / spacing)) : 1;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const double x = screen.PageX(xs[i]);
        panel.GridX.push_back(x);
        if (i % std::max<std::size_t>(every, 1) == 0) {
            panel.Labels.push_back({x, panel.Bottom + textPx * 1.2, TickLabel(xs[i], printed.X.Decimals)});
        }
    }
    for (double value : TickValues(printed.Y)) {
        const double y = screen.PageY(value);
        panel.GridY.push_back(y);
        panel.Labels.push_back({panel.Left - textPx * 0.4, y + textPx * 0.35, TickLabel(value, printed.Y.Decimals),
                                ScreenLabel::Anchor::End});
    }
    panel.Labels.push_back({(panel.Left + panel.Right) / 2, panel.Bottom + textPx * 2.6, "Groove radius (mm)"});

    for (const ArmFigures& arm : analysis.Arms) {
        ScreenSeries series{std::string(ArmKey(arm.Arm)), {}};
        for (const std::vector<ChartPoint>& run : CurveRuns(screen, arm, distortion)) {
            std::vector<double>& points = series.Runs.emplace_back();
            for (const ChartPoint& point : run) {
                points.push_back(point.X);
                points.push_back(point.Y);
            }
        }
        panel.Series.push_back(std::move(series));
    }
    return panel;
}

} // namespace

ScreenChart ScreenChartOf(const AlignmentAnalysis& analysis, double width, double textPx) {
    ScreenChart chart;
    chart.TextPx = textPx;
    if (analysis.Arms.empty() || !(width > textPx * 10)) {
        return chart;
    }
    const AnalysisChartLayout layout = AnalysisChartLayoutOf(analysis);
    chart.Panels.push_back(PanelOf(layout.TrackingError, analysis, false, width, textPx));
    chart.Panels.push_back(PanelOf(layout.Distortion, analysis, true, width, textPx));
    return chart;
}
