#pragma once

// The analysis chart drawn for a screen rather than for paper: the printed chart's two panels (same axes, same
// curves) laid out in CSS pixels for a given width, with lettering of a given size, so that a phone shows it readable
// without zoom. Only positions and texts: the page draws them, styled by each arm's key.

#include "analysis/alignment_analysis.h"

#include <string>
#include <vector>

struct ScreenLabel {
    double X = 0;
    double Y = 0;     // baseline
    std::string Text; // program text (Windows-1252)
    enum class Anchor { Start, Middle, End } Align = Anchor::Middle;
};

struct ScreenSeries {
    std::string Key;                       // "lofgren-a" ... "arm"
    std::vector<std::vector<double>> Runs; // stretches inside the panel, each x, y pairs in pixels
};

struct ScreenPanel {
    std::string Title;
    double Width = 0;
    double Height = 0;
    // The plot area, and the grooves' band across it.
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    double GroovesLeft = 0, GroovesRight = 0;
    std::vector<double> GridX;
    std::vector<double> GridY;
    std::vector<ScreenLabel> Labels;
    std::vector<ScreenSeries> Series;
};

struct ScreenChart {
    double TextPx = 0;
    std::vector<ScreenPanel> Panels; // tracking error, then distortion; none for an analysis with a problem
};

// Lettering on screen in CSS pixels: above the 11 px a phone needs to be read without zoom.
inline constexpr double ScreenChartTextPx = 13;

// The panels for a screen `width` pixels wide with text `textPx` high; each panel as wide as the screen allows and
// tall enough for its ticks to stay apart.
ScreenChart ScreenChartOf(const AlignmentAnalysis& analysis, double width, double textPx);
