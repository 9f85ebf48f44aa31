#pragma once

#include "geometry/fixed_text.h"
#include "geometry/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The alignment geometries: the three published ones, and the arm through two null points the user gives (the
// Linux tool and the page only; the window has three buttons).
enum class Geometry { LofgrenA, LofgrenB, StevensonA, CustomNulls };

struct NullRadii {
    double Inner = 0;
    double Outer = 0;
};

// What the user gives for one arm: lengths in millimetres, the geometry, and the arm or turntable ID as the title
// holds it (program text, exactly ArmIdLength bytes, blank-filled).
struct ArmInputs {
    double SpindleToPivot = 0;
    double InnerGrooveRadius = 0;
    double OuterGrooveRadius = 0;
    Geometry Choice = Geometry::LofgrenA;
    NullRadii Nulls; // the null points of Geometry::CustomNulls; unused by the others
    // The null points solve the geometry's defining condition numerically rather than its closed form
    // (analysis/exact_alignment.h solves them; the alignment is then the arm through them).
    bool Exact = false;
    std::string Id = std::string(ArmIdLength, ' ');
};

// What the alignment gives: millimetres, the offset angle in degrees.
struct Alignment {
    double InnerNullRadius = 0;
    double OuterNullRadius = 0;
    double EffectiveLength = 0;
    double Overhang = 0;
    double OffsetAngle = 0;
    double LinearOffset = 0;
};

// An arm and its alignment: what the printouts and the reports take.
struct AlignedArm {
    ArmInputs Inputs;
    Alignment Values;
};

// The closed form of the arm's geometry, or the arm through its null points (Exact is not looked at here).
Alignment ComputeAlignment(const ArmInputs& arm);
// The arm through two null points at the distance: L² = d² + n1 n2, and the offset that meets the inner one.
Alignment AlignmentThroughNulls(double spindleToPivot, double innerNull, double outerNull);
// The offset angle and linear offset of null points and an overhang already found (the other fields as given).
Alignment WithOffsetAngle(double spindleToPivot, Alignment nulls);
// The working value of Löfgren B: the mean of its two null radii.
double LofgrenBNullRadiusMean(double innerGrooveRadius, double outerGrooveRadius);

// The stable keys "lofgren-a", "lofgren-b", "stevenson-a", "custom".
std::string_view GeometryKey(Geometry geometry);

// Why null points n1 < n2 given for a spindle-to-pivot distance d make no alignment ("must lie ..."), or nothing
// when they do: both inside (0, d), the inner one the smaller, and an offset angle whose sine (n1 + n2) / 2L stays
// below 1.
Outcome CheckCustomNulls(double spindleToPivot, double innerNull, double outerNull);
