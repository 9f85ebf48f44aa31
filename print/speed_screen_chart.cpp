#include "print/speed_screen_chart.h"

#include "print/analysis_chart.h"
#include "speed/speed_advice.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

struct Curve {
    std::string Key;
    std::vector<ChartPoint> Points;
    // Stems: each point drawn as a line from zero, as a spectrum's lines are.
    bool Stems = false;
};

// A symmetric axis around zero that holds the largest value, as on paper.
ChartAxis SymmetricAxis(double largest) {
    const double top = std::max(largest, 0.001);
    ChartAxis axis = NiceAxis(-top, top, 6);
    const double reach = std::max(std::fabs(axis.From), std::fabs(axis.To));
    axis.From = -reach;
    axis.To = reach;
    return axis;
}

// One panel: the title above, the y ticks at the left, the x ticks below wherever a label keeps its width from its
// neighbour; `xTicks` are the x values of the grid, `xLabel` writes a tick's label.
template <class Label>
ScreenPanel PanelOf(std::string title, std::string xTitle, ChartAxis x, ChartAxis y, const std::vector<double>& xTicks,
                    Label xLabel, const std::vector<Curve>& curves, double width, double textPx) {
    ScreenPanel panel;
    panel.Title = std::move(title);
    panel.Width = width;
    std::size_t widest = 0;
    for (const double value : TickValues(y)) {
        widest = std::max(widest, TickLabel(value, y.Decimals).size());
    }
    panel.Left = textPx * (0.6 * static_cast<double>(widest) + 1.0);
    panel.Right = width - textPx;
    panel.Top = textPx * 2.0;
    panel.Bottom = panel.Top + std::clamp(width * 0.4, textPx * 10, textPx * 18);
    panel.Height = panel.Bottom + textPx * 3.2;
    const ChartPanel screen{panel.Left, panel.Top, panel.Right, panel.Bottom, x, y};
    panel.GroovesLeft = panel.GroovesRight = panel.Left;
    panel.Labels.push_back({panel.Left, textPx * 1.2, panel.Title, ScreenLabel::Anchor::Start});
    double lastLabelRight = -1e9;
    for (const double value : xTicks) {
        const double at = screen.PageX(value);
        panel.GridX.push_back(at);
        const std::string text = xLabel(value);
        const double half = textPx * 0.3 * static_cast<double>(text.size());
        if (at - half > lastLabelRight + textPx * 0.8) {
            panel.Labels.push_back({at, panel.Bottom + textPx * 1.2, text});
            lastLabelRight = at + half;
        }
    }
    for (const double value : TickValues(y)) {
        const double at = screen.PageY(value);
        panel.GridY.push_back(at);
        panel.Labels.push_back(
            {panel.Left - textPx * 0.4, at + textPx * 0.35, TickLabel(value, y.Decimals), ScreenLabel::Anchor::End});
    }
    panel.Labels.push_back({(panel.Left + panel.Right) / 2, panel.Bottom + textPx * 2.6, std::move(xTitle)});
    for (const Curve& curve : curves) {
        ScreenSeries series{curve.Key, {}};
        if (curve.Stems) {
            for (const ChartPoint& p : curve.Points) {
                if (p.X >= x.From && p.X <= x.To) {
                    series.Runs.push_back({screen.PageX(p.X), screen.PageY(0), screen.PageX(p.X),
                                           screen.PageY(std::clamp(p.Y, y.From, y.To))});
                }
            }
        } else {
            std::vector<double>& run = series.Runs.emplace_back();
            for (const ChartPoint& p : curve.Points) {
                if (p.X >= x.From && p.X <= x.To) {
                    run.push_back(screen.PageX(p.X));
                    run.push_back(screen.PageY(std::clamp(p.Y, y.From, y.To)));
                }
            }
        }
        panel.Series.push_back(std::move(series));
    }
    return panel;
}

ScreenPanel TracePanel(const std::vector<SpeedTracePoint>& trace, double from, double to, double width, double textPx) {
    double largest = 0;
    Curve unweighted{"unweighted", {}};
    Curve weighted{"weighted", {}};
    for (const SpeedTracePoint& p : trace) {
        largest = std::max(
            {largest, std::fabs(static_cast<double>(p.Unweighted)), std::fabs(static_cast<double>(p.Weighted))});
        unweighted.Points.push_back({p.Seconds, p.Unweighted});
        weighted.Points.push_back({p.Seconds, p.Weighted});
    }
    const ChartAxis ticks = NiceAxis(from, to, std::max(3, static_cast<int>(width / 90)));
    ChartAxis x = ticks;
    x.From = from;
    x.To = to > from ? to : from + 1;
    std::vector<double> xTicks;
    for (const double t : TickValues(ticks)) {
        if (t >= x.From && t <= x.To) {
            xTicks.push_back(t);
        }
    }
    return PanelOf(
        "Speed deviation over the take (%)", "Time in the recording (s)", x, SymmetricAxis(largest), xTicks,
        [&](double t) { return TickLabel(t, ticks.Decimals); }, {unweighted, weighted}, width, textPx);
}

} // namespace

ScreenChart SpeedScreenChartOf(const SpeedReport& speed, double width, double textPx) {
    ScreenChart chart;
    chart.TextPx = textPx;
    if (!(width > textPx * 10)) {
        return chart;
    }
    chart.Panels.push_back(TracePanel(speed.Trace, speed.FromSeconds, speed.ToSeconds, width, textPx));

    double largest = 0;
    Curve fold{"unweighted", {}};
    const double step = 360.0 / static_cast<double>(std::max<std::size_t>(1, speed.FoldedRevolution.size()));
    for (std::size_t i = 0; i < speed.FoldedRevolution.size(); ++i) {
        largest = std::max(largest, std::fabs(speed.FoldedRevolution[i]));
        fold.Points.push_back({(static_cast<double>(i) + 0.5) * step, speed.FoldedRevolution[i]});
    }
    chart.Panels.push_back(PanelOf(
        "One revolution, averaged (%)", "Turn of the platter (degrees)", {0, 360, 90, 0}, SymmetricAxis(largest),
        {0, 90, 180, 270, 360}, [](double x) { return TickLabel(x, 0); }, {fold}, width, textPx));

    double strongest = 0;
    Curve lines{"unweighted", {}, true};
    for (const SpeedSpectrumPoint& p : speed.Spectrum) {
        if (p.Hz >= 0.2 && p.Hz <= 100) {
            strongest = std::max(strongest, static_cast<double>(p.Percent));
            lines.Points.push_back({std::log10(p.Hz), p.Percent});
        }
    }
    std::vector<double> xTicks;
    for (const double hz : {0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
        xTicks.push_back(std::log10(hz));
    }
    // Frequency on a logarithmic scale: the panel's x runs over log10 of the frequency.
    chart.Panels.push_back(PanelOf(
        "Spectrum of the deviation (% peak)", "Frequency of the deviation (Hz)", {std::log10(0.2), 2, 1, 0},
        NiceAxis(0, std::max(strongest * 1.15, 0.001), 5), xTicks,
        [](double x) {
            const double hz = std::pow(10.0, x);
            return SpeedNumberText(hz, hz < 0.9 ? 1 : 0);
        },
        {lines}, width, textPx));
    return chart;
}

ScreenChart SpeedTraceScreenChartOf(const std::vector<SpeedTracePoint>& trace, double width, double textPx) {
    ScreenChart chart;
    chart.TextPx = textPx;
    if (trace.size() < 2 || !(width > textPx * 10)) {
        return chart;
    }
    chart.Panels.push_back(TracePanel(trace, trace.front().Seconds, trace.back().Seconds, width, textPx));
    return chart;
}
