#pragma once

// Tracking error and distortion across the record: the three geometries side by side and the user's own arm.
// Portable, no drawing; the chart is a printout (PrintAnalysisChart in print/printouts.h). Angles are degrees,
// lengths millimetres, distortion per cent.

#include "analysis/analysis_types.h"
#include "geometry/alignment.h"
#include "geometry/result.h"

#include <optional>

// The lengths and ID of an arm; correction factors, speed, velocity and arm at their defaults for the caller to set.
AnalysisInputs AnalysisInputsOf(const ArmInputs& arm);

// The whole analysis: the geometries' alignments come from ComputeAlignment. An arm whose tracking error reaches
// 90 degrees within the grooves it reaches cannot play them: then the failure says where; so it does when the
// inputs cannot be analysed, or an exact solution is asked for and none is found.
Result<AlignmentAnalysis> AnalyseAlignment(const AnalysisInputs& inputs);
// The arm whose tracking error reaches 90 degrees within the grooves, when that is why AnalyseAlignment fails.
std::optional<AnalysedArm> ArmAcrossTheGrooves(const AnalysisInputs& inputs);

// Whether the inputs can be analysed, or why not as a readable sentence.
Outcome CheckAnalysisInputs(const AnalysisInputs& inputs);

// TE(r) = asin((r² + L² - d²) / (2 r L)) - beta in degrees; NaN where the arm cannot reach r.
double TrackingErrorAt(double spindleToPivot, double effectiveLength, double offsetAngle, double radius);
// D(r) = 100 % * V * |tan TE| / (Omega r), Omega = 2 pi rpm / 60.
double DistortionAt(double trackingError, double radius, double rpm, double velocity);
// The null radii L sin beta -/+ sqrt(d² - L² cos² beta); none where the root is not real or not positive.
std::optional<double> InnerNullOf(double spindleToPivot, double effectiveLength, double offsetAngle);
std::optional<double> OuterNullOf(double spindleToPivot, double effectiveLength, double offsetAngle);
