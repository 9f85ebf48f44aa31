#pragma once

#include "analysis/alignment_analysis.h"

#include <cstdint>
#include <string>

inline constexpr std::size_t CaptionLength = 36;

// The arc alignment template from the parameter record: one landscape page.
void PrintArcTemplate();
// A stroboscope disk: one portrait page. Captions are 36-byte fixed texts, printed only for a custom disk.
void PrintStrobeDisk(std::int32_t outerBars, std::int32_t innerBars, const std::string& captionLine1,
                     const std::string& captionLine2);
// The analysis chart: tracking error and distortion over groove radius for the three geometries and the user's
// arm, with a legend of their figures; one portrait page. Layout in print/analysis_chart.h.
void PrintAnalysisChart(const AlignmentAnalysis& analysis);
