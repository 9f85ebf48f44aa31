#pragma once

// The speed chart drawn for a screen: the printed chart's panels (the deviation over the take, one revolution
// averaged, the deviation's spectrum) laid out in CSS pixels for a given width, as the analysis chart is. Only
// positions and texts; the page draws them, styled by each series' key ("unweighted", "weighted").

#include "print/screen_chart.h"
#include "speed/speed_report.h"

#include <vector>

// The three panels of a finished report for a screen `width` pixels wide with text `textPx` high.
ScreenChart SpeedScreenChartOf(const SpeedReport& speed, double width, double textPx);

// The deviation over the stretch measured so far, for the live display of a take; no panel without points.
ScreenChart SpeedTraceScreenChartOf(const std::vector<SpeedTracePoint>& trace, double width, double textPx);
