#pragma once

#include "analysis/alignment_analysis.h"
#include "print/chart_canvas.h"

#include <string>
#include <vector>

// Where the analysis chart (PrintAnalysisChart in print/printouts.h) puts its two panels and what their axes
// show: page millimetres from the top-left of the printable area, values in the axes' units.
struct ChartAxis {
    double From = 0;
    double To = 1;
    double Step = 1;
    int Decimals = 0; // of the tick labels
};

struct ChartPanel {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    ChartAxis X; // groove radius, mm
    ChartAxis Y; // tracking error in degrees, or distortion in per cent

    double PageX(double value) const { return Left + (value - X.From) / (X.To - X.From) * (Right - Left); }
    double PageY(double value) const { return Bottom - (value - Y.From) / (Y.To - Y.From) * (Bottom - Top); }
};

struct AnalysisChartLayout {
    ChartPanel TrackingError;
    ChartPanel Distortion;
};

AnalysisChartLayout AnalysisChartLayoutOf(const AlignmentAnalysis& analysis);

// A null point's mark in a panel: where the null lies on the zero line, and where its mark is drawn, lifted above
// the marks it would overlap (two geometries' nulls can lie a millimetre apart), with a leader down to the null.
struct NullMarker {
    AnalysedArm Arm = AnalysedArm::LofgrenA;
    ChartPoint Null;
    ChartPoint At;
};
std::vector<NullMarker> NullMarkersOf(const AlignmentAnalysis& analysis, const ChartPanel& panel);

// A curve's stretches in the panel, with the nulls put in where they fall, so the distortion reaches zero there; cut
// where the curve leaves the panel's value range (the distortion's scale fits the grooves, not the curves' ends).
std::vector<std::vector<ChartPoint>> CurveRuns(const ChartPanel& panel, const ArmFigures& arm, bool distortion);

// The widest a null point's mark is drawn, in page millimetres.
inline constexpr double NullMarkerWidth = 2.6;

// The values of an axis's ticks, each computed from the start (no running sum); none for an axis that makes no sense.
std::vector<double> TickValues(const ChartAxis& axis);
// A tick label as printed: negative values take an en dash, which has the width of a figure. Program text.
std::string TickLabel(double value, int decimals);

// Round tick values over low..high, about `ticks` of them, the ends on whole steps.
ChartAxis NiceAxis(double low, double high, int ticks);
