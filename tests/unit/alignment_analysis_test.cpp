#include "analysis/alignment_analysis.h"
#include "analysis/analysis_report.h"
#include "geometry/numeric_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

namespace {

struct Radii {
    double Inner;
    double Outer;
};
constexpr Radii Din{57.5, 146.05};
constexpr Radii Iec{60.325, 146.05};
constexpr Radii Typical{63, 145};

AnalysisInputs Inputs(double d, Radii radii) {
    AnalysisInputs inputs;
    inputs.SpindleToPivot = d;
    inputs.InnerGrooveRadius = radii.Inner;
    inputs.OuterGrooveRadius = radii.Outer;
    return inputs;
}

std::string F(double value) {
    return FormatNumber(value, LengthMask);
}

double Distortion(const AnalysisInputs& in, const ArmFigures& arm, double r) {
    const double te = TrackingErrorAt(in.SpindleToPivot, arm.EffectiveLength, arm.OffsetAngle, r);
    return DistortionAt(te, r, in.Rpm, in.Velocity);
}

TEST(AlignmentAnalysis, TrackingErrorVanishesAtTheComputedNulls) {
    for (double d : {209.0, 222.0, 250.0}) {
        for (Radii radii : {Din, Iec, Typical}) {
            const AnalysisInputs in = Inputs(d, radii);
            const AlignmentAnalysis analysis = AnalyseAlignment(in).Value();
            for (const ArmFigures& arm : analysis.Arms) {
                for (double null : {*arm.InnerNull, *arm.OuterNull}) {
                    EXPECT_NEAR(TrackingErrorAt(d, arm.EffectiveLength, arm.OffsetAngle, null), 0, 1e-9)
                        << ArmKey(arm.Arm) << " d=" << d << " null " << null;
                }
            }
        }
    }
}

TEST(AlignmentAnalysis, LofgrenAEqualisesDistortionAtBothGroovesAndBetweenTheNulls) {
    for (Radii radii : {Din, Iec, Typical}) {
        const AnalysisInputs in = Inputs(222, radii);
        const ArmFigures a = AnalyseAlignment(in).Value().Arms[0];
        double between = 0;
        for (double r = *a.InnerNull; r < *a.OuterNull; r += 0.01) {
            between = std::max(between, Distortion(in, a, r));
        }
        for (double value : {Distortion(in, a, radii.Inner), Distortion(in, a, radii.Outer)}) {
            EXPECT_NEAR(value / between, 1.0, 0.02);
        }
    }
}

TEST(AlignmentAnalysis, LofgrenBHasTheLowestRmsAndStevensonANoErrorAtTheInnerGroove) {
    for (double d : {209.0, 222.0, 250.0}) {
        for (Radii radii : {Din, Iec, Typical}) {
            const AlignmentAnalysis analysis = AnalyseAlignment(Inputs(d, radii)).Value();
            EXPECT_EQ(analysis.LowestRms, 1u);
            EXPECT_LT(analysis.Arms[1].RmsDistortion, analysis.Arms[0].RmsDistortion);
            EXPECT_LT(analysis.Arms[1].RmsDistortion, analysis.Arms[2].RmsDistortion);
            EXPECT_EQ(analysis.Arms[2].Curve.Radius[10], radii.Inner); // r1 - 5 + 10 steps of 0.5 mm
            EXPECT_NEAR(analysis.Arms[2].Curve.Distortion[10], 0, 1e-9);
        }
    }
}

TEST(AlignmentAnalysis, IecAt225GivesTheMeasuredFigures) {
    const AlignmentAnalysis analysis = AnalyseAlignment(Inputs(225, Iec)).Value();
    const ArmFigures& a = analysis.Arms[0];
    EXPECT_EQ(F(a.MaxTrackingError), "1.781");
    EXPECT_EQ(F(a.MaxTrackingErrorRadius), "146.050");
    EXPECT_EQ(F(a.MaxDistortion), "0.610");
    EXPECT_EQ(F(a.MeanDistortion), "0.357");
    EXPECT_EQ(F(a.RmsDistortion), "0.402");
    const ArmFigures& s = analysis.Arms[2];
    EXPECT_EQ(F(s.MaxTrackingError) + F(s.MaxDistortion) + F(s.MeanDistortion) + F(s.RmsDistortion),
              "2.1740.7450.4390.494");
}

TEST(AlignmentAnalysis, MeanAndRmsAgreeWithAFineSimpsonRule) {
    const AnalysisInputs in = Inputs(209, Din);
    const AlignmentAnalysis analysis = AnalyseAlignment(in).Value();
    for (const ArmFigures& arm : analysis.Arms) {
        constexpr int Intervals = 20000;
        const double h = (Din.Outer - Din.Inner) / Intervals;
        double sum = 0;
        double squares = 0;
        for (int i = 0; i <= Intervals; ++i) {
            const double weight = i == 0 || i == Intervals ? 1 : i % 2 == 1 ? 4 : 2;
            const double value = Distortion(in, arm, Din.Inner + i * h);
            sum += weight * value;
            squares += weight * value * value;
        }
        EXPECT_NEAR(arm.MeanDistortion, sum * h / 3 / (Din.Outer - Din.Inner), 1e-6);
        EXPECT_NEAR(arm.RmsDistortion, std::sqrt(squares * h / 3 / (Din.Outer - Din.Inner)), 1e-6);
    }
}

TEST(AlignmentAnalysis, UserArmSetToLofgrenAMatchesItAndItsBestOverhangIsClose) {
    AnalysisInputs in = Inputs(222, Iec);
    const ArmFigures a = AnalyseAlignment(in).Value().Arms[0];
    in.Arm = UserArmInput{a.EffectiveLength, a.OffsetAngle};
    const AlignmentAnalysis analysis = AnalyseAlignment(in).Value();
    ASSERT_EQ(analysis.Arms.size(), 4u);
    const ArmFigures& arm = analysis.Arms[3];
    EXPECT_NEAR(*arm.InnerNull, *a.InnerNull, 1e-9);
    EXPECT_NEAR(*arm.OuterNull, *a.OuterNull, 1e-9);
    EXPECT_DOUBLE_EQ(arm.RmsDistortion, a.RmsDistortion);
    ASSERT_TRUE(analysis.BestOverhang);
    EXPECT_NEAR(analysis.BestOverhang->Overhang, a.Overhang, 0.1);
    EXPECT_GE(analysis.BestOverhang->Gain, 0);
    EXPECT_LT(analysis.BestOverhang->Gain, 0.01);
}

TEST(AlignmentAnalysis, ArmWithoutNullsAndArmOutOfReachAreSaidSo) {
    AnalysisInputs in = Inputs(222, Iec);
    in.Arm = UserArmInput{222, 0}; // no offset, no overhang: TE = asin(r / 2d) > 0 everywhere
    AlignmentAnalysis analysis = AnalyseAlignment(in).Value();
    EXPECT_FALSE(analysis.Arms[3].InnerNull || analysis.Arms[3].OuterNull);
    EXPECT_NE(AnalysisText(analysis).find("none"), std::string::npos);
    EXPECT_EQ(AnalysisWarnings(analysis).size(), 1u);

    in.Arm = UserArmInput{222 + 70, 20}; // overhang 70 mm: radii below 70 mm are out of reach
    analysis = AnalyseAlignment(in).Value();
    const ArmFigures& arm = analysis.Arms[3];
    EXPECT_FALSE(arm.ReachesGrooves);
    EXPECT_DOUBLE_EQ(arm.Curve.Radius.front(), 70.325);
    EXPECT_TRUE(std::isfinite(arm.MaxDistortion));
    EXPECT_NE(AnalysisWarnings(analysis).at(0).find("70.000 to 514.000"), std::string::npos);
}

TEST(AlignmentAnalysis, InputsThatCannotBeAnalysedGiveAReasonAndNoArms) {
    for (AnalysisInputs in : {Inputs(222, {146.05, 60.325}), Inputs(0, Iec), Inputs(NAN, Iec), Inputs(2e4, Iec)}) {
        const Result<AlignmentAnalysis> analysis = AnalyseAlignment(in);
        EXPECT_FALSE(analysis.Ok());
        EXPECT_FALSE(analysis.Message().empty());
    }
}

TEST(AnalysisReport, JsonCarriesTheFiguresAndCurvesUnderTheDocumentedKeys) {
    AnalysisInputs in = Inputs(225, Iec);
    in.Arm = UserArmInput{240, 22};
    const auto json = nlohmann::json::parse(AnalysisJson(AnalyseAlignment(in).Value()));
    EXPECT_EQ(json["format"], "quillmere-analysis");
    ASSERT_EQ(json["arms"].size(), 4u);
    const auto& a = json["arms"][0];
    EXPECT_EQ(a["name"], "L\xC3\xB6"
                         "fgren A");
    EXPECT_EQ(F(a["max_distortion_percent"].get<double>()), "0.610");
    EXPECT_TRUE(a["lowest_max_distortion"].get<bool>());
    EXPECT_EQ(a["curve"]["radius_mm"].size(), a["curve"]["distortion_percent"].size());
    EXPECT_EQ(a["curve"]["radius_mm"][0], 55.325);
    EXPECT_EQ(json["arms"][3]["key"], "arm");
    EXPECT_TRUE(json["best_overhang"]["overhang_mm"].is_number());
}

TEST(AnalysisReport, CsvHasOneRowPerRadiusAndEmptyCellsOutOfReach) {
    AnalysisInputs in = Inputs(222, Iec);
    in.Arm = UserArmInput{222 + 70, 20};
    const std::string csv = AnalysisCsv(AnalyseAlignment(in).Value());
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "radius_mm,lofgren_a_tracking_error_deg,lofgren_a_distortion_percent,"
                                             "lofgren_b_tracking_error_deg,lofgren_b_distortion_percent,"
                                             "stevenson_a_tracking_error_deg,stevenson_a_distortion_percent,"
                                             "arm_tracking_error_deg,arm_distortion_percent");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 193); // 55.325 .. 151.05 every 0.5 mm, then the end
    EXPECT_NE(csv.find("\n55.325,"), std::string::npos);
    EXPECT_NE(csv.find(",,\n"), std::string::npos);
    EXPECT_NE(csv.find("\n151.05,"), std::string::npos);
}

} // namespace

// Without overhang the inner root lies at the spindle, exactly in theory and a few ulps either side in practice:
// in every form it is no null point, and the outer one stays.
TEST(AlignmentAnalysis, AnArmWithoutOverhangHasNoInnerNullAtTheSpindle) {
    for (const double d : {209.0, 222.0, 250.0}) {
        for (const double beta : {20.0, 22.98, 24.0}) {
            EXPECT_FALSE(InnerNullOf(d, d, beta).has_value()) << d << " " << beta;
            EXPECT_TRUE(OuterNullOf(d, d, beta).has_value()) << d << " " << beta;
        }
    }
}

// The largest |TE| is the largest a fine walk across the grooves finds, with TE as the textbook writes it, wherever
// it lies: at a groove or, for an arm longer than its distance, between them at r = sqrt(L² - d²).
TEST(AlignmentAnalysis, LargestTrackingErrorIsTheLargestAcrossTheGrooves) {
    constexpr double Degrees = 180 / 3.14159265358979323846;
    struct Case {
        double D, L, Beta;
    };
    for (const Case& c : {Case{209, 222, 24}, Case{209, 222, 20}, Case{250, 262, 22}, Case{222, 200, 20}}) {
        const auto te = [&](double r) {
            return std::asin((r * r + c.L * c.L - c.D * c.D) / (2 * r * c.L)) * Degrees - c.Beta;
        };
        AnalysisInputs in = Inputs(c.D, Din);
        in.Arm = UserArmInput{c.L, c.Beta};
        const ArmFigures arm = AnalyseAlignment(in).Value().Arms.at(3);
        double largest = 0;
        for (int i = 0; i <= 100000; ++i) {
            largest = std::max(largest, std::fabs(te(Din.Inner + (Din.Outer - Din.Inner) * i / 100000)));
        }
        EXPECT_NEAR(arm.MaxTrackingError, largest, 1e-6) << c.D << " " << c.L << " " << c.Beta;
        EXPECT_NEAR(std::fabs(te(arm.MaxTrackingErrorRadius)), arm.MaxTrackingError, 1e-9);
    }
    // The worked example: d = 209, L = 222, 24 degrees peaks at sqrt(5603) = 74.853 mm with 4.295 degrees.
    AnalysisInputs in = Inputs(209, Din);
    in.Arm = UserArmInput{222, 24};
    const ArmFigures arm = AnalyseAlignment(in).Value().Arms.at(3);
    EXPECT_NEAR(arm.MaxTrackingErrorRadius, std::sqrt(5603.0), 1e-9);
    EXPECT_NEAR(arm.MaxTrackingError, 24 - std::asin(std::sqrt(5603.0) / 222) * Degrees, 1e-9);
}

namespace {

// What each line of the advice asks the user to do: set nothing, slide, turn, or (for a headshell that cannot
// turn) the best overhang at the offset the arm has.
std::multiset<std::string> AdviceKinds(const ArmAdvice& advice) {
    std::multiset<std::string> kinds;
    for (const std::string& step : advice.Steps) {
        if (step.starts_with("If the headshell cannot turn: ")) {
            kinds.insert("fixed headshell");
            continue;
        }
        const bool slide = step.find("slide the cartridge") != std::string::npos;
        const bool turn = step.find("turn it ") != std::string::npos;
        kinds.insert(step.find(" already") != std::string::npos ? "nothing"
                     : slide && turn                            ? "slide and turn"
                     : slide                                    ? "slide"
                     : turn                                     ? "turn"
                                                                : "unknown: " + step);
    }
    return kinds;
}

} // namespace

// The advice says only what is needed: an arm whose offset is right hears nothing of a headshell that cannot turn,
// one whose offset is wrong does, and one set right is told to leave it.
TEST(ArmAdvice, SaysOnlyWhatTheArmNeeds) {
    const struct {
        double OverhangOff, OffsetOff;
        std::multiset<std::string> Kinds;
    } arms[] = {
        {0, 0, {"nothing"}},
        {2, 0, {"slide"}},
        {-1.5, 0, {"slide"}},
        {0, 1.5, {"turn", "fixed headshell"}},
        {0, -0.7, {"turn", "fixed headshell"}},
        {-1.5, -2, {"slide and turn", "fixed headshell"}},
    };
    for (const double distance : {209.0, 222.0, 240.0}) {
        for (const AnalysedArm target : {AnalysedArm::LofgrenA, AnalysedArm::LofgrenB, AnalysedArm::StevensonA}) {
            AnalysisInputs inputs = Inputs(distance, Din);
            inputs.Target = target;
            const AlignmentAnalysis geometries = AnalyseAlignment(inputs).Value();
            const ArmFigures* aim = FindArm(geometries, target);
            ASSERT_NE(aim, nullptr);
            for (const auto& arm : arms) {
                SCOPED_TRACE(testing::Message() << distance << " mm, " << ArmKey(target) << ", overhang off by "
                                                << arm.OverhangOff << ", offset by " << arm.OffsetOff);
                inputs.Arm = UserArmInput{aim->EffectiveLength + arm.OverhangOff, aim->OffsetAngle + arm.OffsetOff};
                const AlignmentAnalysis analysis = AnalyseAlignment(inputs).Value();
                ASSERT_TRUE(analysis.Advice);
                EXPECT_EQ(AdviceKinds(*analysis.Advice), arm.Kinds);
            }
        }
    }
}

// The radius of the largest distortion is a property of the arm, not of where the search started: moving the inner
// groove, which moves the search's bracket, must leave it alone to the last digits, so that every build (80-bit long
// double in the tool, 128-bit in the browser core) prints the same digits.
TEST(AlignmentAnalysis, TheLargestDistortionIsFoundWhereverTheSearchStarts) {
    struct Arm {
        double SpindleToPivot;
        double EffectiveLength;
        double OffsetAngle;
    };
    // Arms whose inner null lies inside the record's label, so that the hump between the nulls starts at the inner
    // groove and its search moves with it.
    const Arm arms[] = {{228.7, 240.2, 19.3}, {222, 236, 22}, {222, 236.5, 22.5}, {222, 235.5, 22},
                        {240, 254, 22},       {240, 253, 23}, {210, 224, 24},     {215, 229, 23}};
    for (const Arm& arm : arms) {
        std::set<std::string> radii;
        for (const double inner : {54.0, 55.5, 56.25, 57.5}) {
            AnalysisInputs in = Inputs(arm.SpindleToPivot, {inner, 146.05});
            in.Arm = UserArmInput{arm.EffectiveLength, arm.OffsetAngle};
            const ArmFigures figures = AnalyseAlignment(in).Value().Arms.back();
            ASSERT_LT(figures.InnerNull.value_or(inner), inner) << arm.SpindleToPivot;
            ASSERT_GT(figures.MaxDistortionRadius, inner + 1) << arm.SpindleToPivot << " " << inner;
            std::array<char, 32> digits{};
            std::snprintf(digits.data(), digits.size(), "%.12g", figures.MaxDistortionRadius);
            radii.insert(digits.data());
        }
        EXPECT_EQ(radii.size(), 1u) << arm.SpindleToPivot << ": " << *radii.begin() << " .. " << *radii.rbegin();
    }
}
