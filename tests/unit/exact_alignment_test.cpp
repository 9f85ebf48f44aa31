#include "analysis/alignment_analysis.h"
#include "analysis/exact_alignment.h"
#include "geometry/angles.h"
#include "geometry/numeric_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

AnalysisInputs InputsOf(double d, double inner, double outer) {
    AnalysisInputs inputs;
    inputs.SpindleToPivot = d;
    inputs.InnerGrooveRadius = inner;
    inputs.OuterGrooveRadius = outer;
    return inputs;
}

struct Lengths {
    double D;
    double Inner;
    double Outer;
};

// Spread over the arms people have: short and long, and each groove preset; then the ends of what the settings
// take without a warning (0 < inner < outer < distance <= 400 mm), where the integrand is far from ordinary.
constexpr Lengths Cases[] = {{150, 60.325, 146.05}, {209, 57.5, 146.05}, {222, 60.325, 146.05},
                             {250, 63, 145},        {300, 57.5, 146.05}, {350, 60.325, 146.05},
                             {400, 60.325, 146.05}, {400, 5, 146.05},    {400, 140, 146.05},
                             {400, 57.5, 390},      {400, 1, 399},       {147, 60.325, 146.05},
                             {146.5, 5, 146.05},    {150, 140, 146.05},  {100, 53, 84.15},
                             {90, 10, 84.15},       {30, 2, 20}};

double D(const ExactAlignment& arm, double d, double r) {
    return DistortionAt(TrackingErrorAt(d, arm.EffectiveLength, arm.OffsetAngle, r), r, DefaultRpm, DefaultVelocity);
}

// The largest distortion between the nulls, found here by scanning and golden section on the distortion itself.
double PeakBetweenNulls(const ExactAlignment& arm, double d) {
    constexpr int Samples = 400;
    const double step = (arm.OuterNull - arm.InnerNull) / Samples;
    int best = 1;
    for (int i = 1; i < Samples; ++i) {
        if (D(arm, d, arm.InnerNull + i * step) > D(arm, d, arm.InnerNull + best * step)) {
            best = i;
        }
    }
    double low = arm.InnerNull + (best - 1) * step;
    double high = arm.InnerNull + (best + 1) * step;
    while (high - low > 1e-9) {
        const double a = low + (high - low) * 0.382;
        const double b = low + (high - low) * 0.618;
        if (D(arm, d, a) < D(arm, d, b)) {
            low = a;
        } else {
            high = b;
        }
    }
    return D(arm, d, (low + high) / 2);
}

// Mean square distortion over the grooves of the arm through the given nulls, by Simpson's rule (D² has no kink).
double MeanSquare(double d, double inner, double outer, double r1, double r2) {
    const double length = std::sqrt(d * d + inner * outer);
    const double beta = std::asin((inner + outer) / (2 * length)) * 180 / static_cast<double>(Pi);
    const ExactAlignment arm{inner, outer, length, beta};
    // Over u = ln r, so that the steps are as fine near a tiny inner groove, where D grows as 1/r, as they need.
    constexpr int Intervals = 20000;
    const double h = std::log(r2 / r1) / Intervals;
    double sum = 0;
    for (int i = 0; i <= Intervals; ++i) {
        const double r = r1 * std::exp(i * h);
        const double value = D(arm, d, r);
        sum += (i == 0 || i == Intervals ? 1 : i % 2 == 1 ? 4 : 2) * value * value * r;
    }
    return sum * h / 3;
}

TEST(ExactAlignment, LofgrenAHasEqualDistortionAtBothGroovesAndItsPeak) {
    for (const Lengths& c : Cases) {
        const Result<ExactAlignment> a = SolveExactAlignment(AnalysedArm::LofgrenA, c.D, c.Inner, c.Outer);
        ASSERT_TRUE(a) << a.Message();
        const double peak = PeakBetweenNulls(*a, c.D);
        EXPECT_NEAR(D(*a, c.D, c.Inner) / peak, 1, 1e-9) << c.D;
        EXPECT_NEAR(D(*a, c.D, c.Outer) / peak, 1, 1e-9) << c.D;
    }
}

TEST(ExactAlignment, StevensonAHasItsInnerNullAtTheInnerGrooveAndEqualPeaks) {
    for (const Lengths& c : Cases) {
        const Result<ExactAlignment> s = SolveExactAlignment(AnalysedArm::StevensonA, c.D, c.Inner, c.Outer);
        ASSERT_TRUE(s) << s.Message();
        EXPECT_NEAR(TrackingErrorAt(c.D, s->EffectiveLength, s->OffsetAngle, c.Inner), 0, 1e-12) << c.D;
        EXPECT_NEAR(D(*s, c.D, c.Outer) / PeakBetweenNulls(*s, c.D), 1, 1e-9) << c.D;
    }
}

TEST(ExactAlignment, LofgrenBHasTheLowestMeanSquareWhereTheClosedFormDoesNot) {
    // mm: small enough that the difference quotient's own error stays below the 1e-9 asked of the slope at the
    // small null points of the shortest arms
    constexpr double H = 1e-4;
    for (const Lengths& c : Cases) {
        const Result<ExactAlignment> b = SolveExactAlignment(AnalysedArm::LofgrenB, c.D, c.Inner, c.Outer);
        ASSERT_TRUE(b) << b.Message();
        // The slope of the mean square along each null, per millimetre and relative to it, vanishes at the least.
        const auto slopes = [&](double n1, double n2) {
            const double at = MeanSquare(c.D, n1, n2, c.Inner, c.Outer);
            return std::array<double, 2>{
                (MeanSquare(c.D, n1 + H, n2, c.Inner, c.Outer) - MeanSquare(c.D, n1 - H, n2, c.Inner, c.Outer)) /
                    (2 * H) / at,
                (MeanSquare(c.D, n1, n2 + H, c.Inner, c.Outer) - MeanSquare(c.D, n1, n2 - H, c.Inner, c.Outer)) /
                    (2 * H) / at};
        };
        for (const double slope : slopes(b->InnerNull, b->OuterNull)) {
            EXPECT_LT(std::fabs(slope), 1e-9) << c.D;
        }
        // The closed form is off by a tenth of a millimetre, which this measure sees.
        const ArmFigures closed = AnalyseAlignment(InputsOf(c.D, c.Inner, c.Outer)).Value().Arms[1];
        EXPECT_GT(std::fabs(slopes(*closed.InnerNull, *closed.OuterNull)[0]), 1e-5) << c.D;
    }
}

TEST(ExactAlignment, GivesTheFiguresPublishedForIecAt222) {
    AnalysisInputs inputs = InputsOf(222, 60.325, 146.05);
    inputs.Exact = true;
    const AlignmentAnalysis analysis = AnalyseAlignment(inputs).Value();
    ASSERT_EQ(analysis.Arms.size(), 3u);
    ASSERT_EQ(analysis.ClosedForms.size(), 3u);
    const auto f = [](double value, std::string_view mask = LengthMask) { return FormatNumber(value, mask); };
    const ArmFigures& a = analysis.Arms[0];
    EXPECT_EQ(f(*a.InnerNull) + " / " + f(*a.OuterNull), "65.977 / 121.039");
    EXPECT_EQ(f(a.OffsetAngle) + " " + f(a.Overhang) + " " + f(a.MaxDistortion, "0.0000"), "23.000 17.311 0.6149");
    const ArmFigures& b = analysis.Arms[1];
    EXPECT_EQ(f(*b.InnerNull) + " / " + f(*b.OuterNull) + " " + f(b.RmsDistortion, "0.00000"),
              "70.151 / 116.247 0.36586");
    const ArmFigures& s = analysis.Arms[2];
    EXPECT_EQ(f(*s.OuterNull) + " " + f(s.MaxDistortion, "0.0000"), "117.624 0.7497");
    // Beside them the closed forms of today, which the Windows program prints.
    EXPECT_EQ(f(*analysis.ClosedForms[0].InnerNull) + " / " + f(*analysis.ClosedForms[0].OuterNull),
              "65.998 / 120.891");
    EXPECT_EQ(f(*analysis.ClosedForms[1].InnerNull) + " / " + f(*analysis.ClosedForms[1].OuterNull),
              "70.285 / 116.604");
    EXPECT_EQ(f(*analysis.ClosedForms[2].OuterNull), "117.417");
}

TEST(ExactAlignment, RefusesLengthsWithoutASolution) {
    for (const Lengths& c : {Lengths{100, 60.325, 146.05}, Lengths{222, 146.05, 60.325}, Lengths{222, 0, 146.05}}) {
        EXPECT_FALSE(SolveExactAlignment(AnalysedArm::LofgrenA, c.D, c.Inner, c.Outer)) << c.D << " " << c.Inner;
    }
}

} // namespace
