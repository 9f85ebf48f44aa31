#pragma once

// The three geometries solved exactly. Their closed forms keep the small-angle approximation, so the conditions
// that define them hold only roughly; these solve the conditions themselves, numerically, for the given distance
// and groove radii:
//   Löfgren A: the distortion equal at r1, at r2 and at its largest between the null points;
//   Löfgren B: the lowest RMS distortion over r1..r2;
//   Stevenson A: the inner null point at r1, and the distortion at r2 equal to its largest between the nulls.
// The distortion's scale (speed, velocity) does not move the solutions.

#include "analysis/analysis_types.h"
#include "geometry/alignment.h"
#include "geometry/result.h"

struct ExactAlignment {
    double InnerNull = 0;
    double OuterNull = 0;
    double EffectiveLength = 0; // sqrt(d² + n1 n2)
    double OffsetAngle = 0;     // asin((n1 + n2) / 2L), degrees
};

// The exact solution of a geometry (Löfgren A, Löfgren B or Stevenson A), starting from its closed form; why there
// is none when the lengths allow no solution or the search finds none.
Result<ExactAlignment> SolveExactAlignment(AnalysedArm geometry, double spindleToPivot, double innerGrooveRadius,
                                           double outerGrooveRadius);

// The alignment of an arm: with Exact, through the exact solution of its geometry (custom null points are used as
// given); why there is none when the exact solution cannot be found.
Result<Alignment> AlignmentOf(const ArmInputs& arm);
