#pragma once

// The analysis's vocabulary: its inputs, the figures of each arm, the advice, and the names of the arms. The
// analysis, the exact solutions and the advice all speak it, and none of them needs another's code for it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr double DefaultRpm = 100.0 / 3.0;
inline constexpr double DefaultVelocity = 100.0;     // peak recorded velocity, mm/s
inline constexpr double CurveStep = 0.5;             // mm between the points of a curve
inline constexpr double CurveMargin = 5.0;           // curves run from r1 - 5 to r2 + 5 mm
inline constexpr double MaxAnalysedLength = 10000.0; // mm; longer distances, radii and arms are refused

// Custom last: the values of the others name their curve styles and keys in files written before it.
enum class AnalysedArm { LofgrenA, LofgrenB, StevensonA, UserArm, Custom };

// Null points the user gives (checked by CheckCustomNulls in geometry/alignment.h).
struct CustomNullPoints {
    double Inner = 0;
    double Outer = 0;
};

// The arm as it is mounted: from its data sheet or measured.
struct UserArmInput {
    double EffectiveLength = 0;
    double OffsetAngle = 0;
};

struct AnalysisInputs {
    double SpindleToPivot = 0;    // d
    double InnerGrooveRadius = 0; // r1
    double OuterGrooveRadius = 0; // r2
    double Rpm = DefaultRpm;
    double Velocity = DefaultVelocity;
    std::optional<UserArmInput> Arm;
    // A fourth column "Custom" with these null points.
    std::optional<CustomNullPoints> Nulls;
    // The three geometries solved exactly (analysis/exact_alignment.h), their closed forms beside them.
    bool Exact = false;
    // The geometry the advice for the user's arm aims at: one of the three, or Custom when there are nulls.
    AnalysedArm Target = AnalysedArm::LofgrenA;
    // Only the chart uses these: the printer correction factors and the arm or turntable ID (program text).
    double CorrectionFactorX = 1.0;
    double CorrectionFactorY = 1.0;
    std::string ArmId;
};

// A curve over groove radius; the three columns have the same length. Radii the arm cannot reach are left out.
struct AnalysisCurve {
    std::vector<double> Radius;
    std::vector<double> TrackingError; // signed, degrees
    std::vector<double> Distortion;    // per cent
};

// The figures of one arm over r1..r2 (over the part the arm reaches when it does not reach all of it).
struct ArmFigures {
    AnalysedArm Arm = AnalysedArm::LofgrenA;
    double EffectiveLength = 0;
    double Overhang = 0;
    double OffsetAngle = 0;
    std::optional<double> InnerNull; // none when the arm has no real null point there
    std::optional<double> OuterNull;
    double MaxTrackingError = 0; // largest |TE|
    double MaxTrackingErrorRadius = 0;
    double MaxDistortion = 0;
    double MaxDistortionRadius = 0;
    double MeanDistortion = 0;
    double RmsDistortion = 0;
    double ReachFrom = 0; // the radii the arm reaches: |L - d| .. L + d
    double ReachTo = 0;
    bool ReachesGrooves = true;   // false: part of r1..r2 lies out of reach
    bool ReachesNoGroove = false; // none of r1..r2 lies in reach: the figures above are NaN, there are none
    bool CurveClipped = false;    // some points of the curve lie out of reach and were left out
    // Where |TE| reaches 90 degrees (to the three decimals the figures are given to) within the grooves it
    // reaches: the arm cannot play there, and its distortion grows without bound.
    std::optional<double> RightAngleFrom;
    std::optional<double> RightAngleTo;
    AnalysisCurve Curve;
};

// With the user's offset angle fixed, the overhang that gives the lowest peak distortion over r1..r2.
struct OverhangOptimum {
    double OffsetAngle = 0;
    double Overhang = 0;
    double EffectiveLength = 0;
    std::optional<double> InnerNull;
    std::optional<double> OuterNull;
    double MaxDistortion = 0;
    double MaxDistortionRadius = 0;
    double RmsDistortion = 0;
    // The arm's own peak distortion minus this one, in percentage points; none when the arm does not reach all of
    // the grooves, as its own figures then cover less than these.
    std::optional<double> Gain;
};

// What to do to the user's arm to reach the target geometry, in the words of someone holding a screwdriver.
struct ArmAdvice {
    AnalysedArm Target = AnalysedArm::LofgrenA;
    bool Exact = false;             // the target is the exact solution
    double OverhangFrom = 0;        // mm, the arm's
    double OverhangTo = 0;          // mm, the target's
    double OffsetAngleFrom = 0;     // degrees
    double OffsetAngleTo = 0;       // degrees
    std::vector<std::string> Steps; // program text, one sentence each, with its period
};

struct AlignmentAnalysis {
    AnalysisInputs Inputs;
    // Löfgren A, Löfgren B, Stevenson A (exact ones with Inputs.Exact), Custom when nulls were given, then the
    // user's arm when one was given.
    std::vector<ArmFigures> Arms;
    // With Inputs.Exact: the closed forms of the three geometries, in the same order; empty otherwise.
    std::vector<ArmFigures> ClosedForms;
    // For the user's arm: how to reach the target geometry; none without an arm or when it has no figures.
    std::optional<ArmAdvice> Advice;
    std::optional<OverhangOptimum> BestOverhang;
    // Why there is none when an arm was given (program text, one sentence without its period); empty otherwise.
    std::string NoBestOverhang;
    std::size_t LowestPeak = 0; // index of the geometry (0..2) with the lowest peak distortion
    std::size_t LowestRms = 0;  // and with the lowest RMS distortion
};

// The figures of an arm in the analysis; none when it has no column.
const ArmFigures* FindArm(const AlignmentAnalysis& analysis, AnalysedArm arm);

// "L\xF6fgren A" (program text, Windows-1252), ..., "Custom", "Your arm"; and the stable keys "lofgren-a",
// "lofgren-b", "stevenson-a", "custom", "arm".
std::string_view ArmName(AnalysedArm arm);
std::string_view ArmKey(AnalysedArm arm);
