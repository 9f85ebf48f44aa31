#include "analysis/alignment_analysis.h"
#include "analysis/arm_advice.h"
#include "print/analysis_chart.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "tests/unit/printout_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace printout_test;

namespace {

using Kind = DeviceRequest::Kind;

AlignmentAnalysis IecAt222() {
    AnalysisInputs inputs;
    inputs.SpindleToPivot = 222;
    inputs.InnerGrooveRadius = 60.325;
    inputs.OuterGrooveRadius = 146.05;
    inputs.Arm = UserArmInput{240, 24};
    return AnalyseAlignment(inputs).Value();
}

std::vector<DeviceRequest> PrintChart(const AlignmentAnalysis& analysis) {
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    PrintSurface surface(chooser, {0, 0, 0, 255, 255, 255});
    PrintAnalysisChart(surface, analysis);
    return log;
}

std::vector<DeviceRequest> LinesIn(const std::vector<DeviceRequest>& log, DeviceColour colour) {
    std::vector<DeviceRequest> lines = OfKind(log, Kind::Line);
    std::erase_if(lines, [&](const DeviceRequest& line) { return line.Colour != colour; });
    return lines;
}

TEST(AnalysisChart, AxesHaveRoundTicksWhereTheScaleSays) {
    const AlignmentAnalysis analysis = IecAt222();
    const AnalysisChartLayout layout = AnalysisChartLayoutOf(analysis);
    const ChartPanel& d = layout.Distortion;
    EXPECT_EQ(d.X.From, 50);
    EXPECT_EQ(d.X.To, 160);
    EXPECT_EQ(d.X.Step, 10);
    EXPECT_EQ(d.Y.From, 0);
    EXPECT_EQ(d.Y.Step, 0.2); // the grooves' largest, about 1.1 %, not the 2 % beyond them
    const std::vector<DeviceRequest> log = PrintChart(analysis);
    const double dpm = Dpm(1);
    // The tick at 100 mm on the lower edge of the distortion panel, and the label "100" centred under it.
    const auto tick = std::find_if(log.begin(), log.end(), [&](const DeviceRequest& r) {
        return r.What == Kind::Line && r.From.X == r.To.X && NearDots(r.From.X, d.PageX(100), dpm) &&
               NearDots(r.From.Y, d.Bottom, dpm) && r.To.Y < r.From.Y;
    });
    ASSERT_NE(tick, log.end());
    EXPECT_EQ(tick->Colour, 0u);
    const auto label = std::find_if(log.begin(), log.end(), [&](const DeviceRequest& r) {
        return r.What == Kind::Text && r.Text == "100" && r.From.Y > d.Bottom * dpm && r.From.Y < (d.Bottom + 5) * dpm;
    });
    ASSERT_NE(label, log.end());
    // Centred by Arial's advance of three figures (1139 font units of 2048 each) at the font's em in dots.
    const int em = -OfKind(log, Kind::MakeFont)[static_cast<std::size_t>(label->Font - 1)].FontRequest.Height;
    EXPECT_NEAR(label->From.X, tick->From.X - 3 * 1139.0 / 2048 * em / 2, 1);
    // The tick at 1.0 % on the left edge.
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const DeviceRequest& r) {
        return r.What == Kind::Line && r.From.Y == r.To.Y && NearDots(r.From.X, d.Left, dpm) &&
               NearDots(r.From.Y, d.PageY(1.0), dpm) && r.To.X > r.From.X;
    }));
}

TEST(AnalysisChart, AxesTakeStepsOfOneTwoTwoAndAHalfOrFiveTimesAPowerOfTen) {
    struct Case {
        double Low, High;
        int Ticks;
        double From, To, Step;
        int Decimals;
    };
    for (const Case& c :
         {Case{55.3, 151.05, 10, 50, 160, 10, 0}, Case{-1.21, 2.65, 6, -2, 3, 1, 0}, Case{0, 1.004, 6, 0, 1.2, 0.2, 1},
          Case{0, 1.3, 6, 0, 1.5, 0.25, 2}, Case{0, 23.1, 6, 0, 25, 5, 0}, Case{1, 1, 6, 1, 2, 0.2, 1}}) {
        const ChartAxis axis = NiceAxis(c.Low, c.High, c.Ticks);
        EXPECT_NEAR(axis.From, c.From, 1e-12) << c.Low << ".." << c.High;
        EXPECT_NEAR(axis.To, c.To, 1e-12) << c.Low << ".." << c.High;
        EXPECT_DOUBLE_EQ(axis.Step, c.Step) << c.Low << ".." << c.High;
        EXPECT_EQ(axis.Decimals, c.Decimals) << c.Low << ".." << c.High;
    }
}

TEST(AnalysisChart, CurvesFollowTheAnalysisAndAreToldApartByLineStyle) {
    const AlignmentAnalysis analysis = IecAt222();
    const ChartPanel te = AnalysisChartLayoutOf(analysis).TrackingError;
    const std::vector<DeviceRequest> log = PrintChart(analysis);
    const double dpm = Dpm(1);
    // Löfgren A is solid: its first line starts at the first point of its curve.
    const std::vector<DeviceRequest> blue = LinesIn(log, static_cast<DeviceColour>(MakeColour(0, 114, 178)));
    ASSERT_FALSE(blue.empty());
    const AnalysisCurve& a = analysis.Arms[0].Curve;
    EXPECT_TRUE(NearDots(blue[0].From.X, te.PageX(a.Radius[0]), dpm));
    EXPECT_TRUE(NearDots(blue[0].From.Y, te.PageY(a.TrackingError[0]), dpm));
    // Löfgren B is dashed 2.75 mm on, 1.75 mm off (before its round ends): about 61 % of its path, in many pieces.
    std::vector<DeviceRequest> red = LinesIn(log, static_cast<DeviceColour>(MakeColour(213, 94, 0)));
    std::erase_if(red, [&](const DeviceRequest& r) { return r.From.Y > te.Bottom * dpm; }); // the upper panel's
    double drawn = 0;
    double path = 0;
    int gaps = 0;
    for (std::size_t i = 0; i < red.size(); ++i) {
        drawn += std::hypot(red[i].To.X - red[i].From.X, red[i].To.Y - red[i].From.Y);
        if (i > 0 && (red[i].From.X != red[i - 1].To.X || red[i].From.Y != red[i - 1].To.Y)) {
            ++gaps;
            path += std::hypot(red[i].From.X - red[i - 1].To.X, red[i].From.Y - red[i - 1].To.Y);
        }
    }
    path += drawn;
    EXPECT_GT(gaps, 30);
    EXPECT_NEAR(drawn / path, 2.75 / 4.5, 0.03);
}

TEST(AnalysisChart, LegendCarriesEachArmsFigures) {
    const AlignmentAnalysis analysis = IecAt222();
    std::vector<std::string> texts;
    for (const DeviceRequest& r : OfKind(PrintChart(analysis), Kind::Text)) {
        texts.push_back(r.Text);
    }
    for (const char* expected : {"L\xF6"
                                 "fgren A",
                                 "Stevenson A", "Your arm", "65.998 / 120.891", "0.618", "0.366",
                                 "\x96"
                                 "1",
                                 "Groove radius (mm)", "What to do", GeometryTradeOff().data()}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    }
}

TEST(AnalysisChart, DistortionScaleFitsTheGroovesAndCurvesStopAtItsTop) {
    AlignmentAnalysis analysis = IecAt222();
    const ChartPanel d = AnalysisChartLayoutOf(analysis).Distortion;
    double inGrooves = 0;
    double beyond = 0;
    for (const ArmFigures& arm : analysis.Arms) {
        for (std::size_t i = 0; i < arm.Curve.Radius.size(); ++i) {
            const bool groove = arm.Curve.Radius[i] >= 60.325 && arm.Curve.Radius[i] <= 146.05;
            (groove ? inGrooves : beyond) = std::max(groove ? inGrooves : beyond, arm.Curve.Distortion[i]);
        }
    }
    ASSERT_GT(beyond, d.Y.To); // the curves climb past the scale beyond the grooves
    EXPECT_GE(d.Y.To, inGrooves);
    EXPECT_LT(d.Y.To, inGrooves + d.Y.Step);
    const double dpm = Dpm(1);
    for (const DeviceRequest& line : OfKind(PrintChart(analysis), Kind::Line)) {
        if (line.From.Y > d.Top * dpm - 2 * dpm && line.From.Y < d.Bottom * dpm + dpm) {
            EXPECT_GE(std::min(line.From.Y, line.To.Y), d.Top * dpm - 2) << line.From.X;
        }
    }
}

TEST(AnalysisChart, NullMarksDoNotOverlapAndStayOverTheirNulls) {
    AnalysisInputs inputs = IecAt222().Inputs;
    inputs.Nulls = CustomNullPoints{66.5, 117};
    const AlignmentAnalysis analysis = AnalyseAlignment(inputs).Value();
    const ChartPanel panel = AnalysisChartLayoutOf(analysis).Distortion;
    const std::vector<NullMarker> markers = NullMarkersOf(analysis, panel);
    ASSERT_EQ(markers.size(), 10u); // two for each of the five arms
    bool lifted = false;
    for (std::size_t i = 0; i < markers.size(); ++i) {
        EXPECT_EQ(markers[i].At.X, markers[i].Null.X);
        EXPECT_EQ(markers[i].Null.Y, panel.PageY(0));
        lifted = lifted || markers[i].At.Y < markers[i].Null.Y;
        for (std::size_t j = 0; j < i; ++j) {
            const bool apart = std::fabs(markers[i].At.X - markers[j].At.X) >= NullMarkerWidth ||
                               std::fabs(markers[i].At.Y - markers[j].At.Y) >= NullMarkerWidth;
            EXPECT_TRUE(apart) << ArmKey(markers[i].Arm) << " and " << ArmKey(markers[j].Arm);
        }
    }
    EXPECT_TRUE(lifted); // Löfgren B's and Stevenson A's outer nulls lie 0.8 mm apart
}

} // namespace
