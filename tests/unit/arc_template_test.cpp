#include "geometry/numeric_text.h"
#include "print/arc_elements.h"
#include "print/drawing_primitives.h"
#include "print/page_model.h"
#include "print/paper.h"
#include "print/printouts.h"
#include "tests/unit/printout_test_support.h"
#include "windows/parameter_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace printout_test;

namespace {

using Kind = DeviceRequest::Kind;

constexpr double WorkedSpindleToPivot = 209;
constexpr double WorkedInnerNull = 63.102939;
constexpr double WorkedOuterNull = 119.173145;
// The worked example's positions are given to three decimals.
constexpr double Decimals = 0.0005;

// The record the template is printed from; the template writes its page positions into it.
ParameterRecord Record{};

void SetRecord(double spindleToPivot, double innerNull, double outerNull, double factorX, double factorY) {
    Record = ParameterRecord{};
    Record.SpindleToPivot = spindleToPivot;
    Record.InnerNullRadius = innerNull;
    Record.OuterNullRadius = outerNull;
    Record.EffectiveLength = std::sqrt(spindleToPivot * spindleToPivot + innerNull * outerNull);
    Record.InnerGrooveRadius = 60.325;
    Record.OuterGrooveRadius = 146.05;
    Record.Overhang = Record.EffectiveLength - spindleToPivot;
    Record.OffsetAngle = 18.5;
    Record.LinearOffset = 71.8;
    Record.CorrectionFactorX = factorX;
    Record.CorrectionFactorY = factorY;
    Record.GeometryChoice = 1;
    AssignArmId(Record, "Deck 1");
}

// Prints the template from the record as it stands and keeps every device request.
std::vector<DeviceRequest> PrintTemplate(PrinterChoiceResult answer = PrinterChoiceResult::Chosen) {
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log, RecordingDeviceSettings{}, answer);
    PrintSurface surface(chooser, PrintColourRecord{0, 0, 0, 255, 255, 255});
    PrintArcTemplate(surface, Record);
    return log;
}

// Lines before the first grid: frame 8, reference crosses 6, pivot cross 2, spindle cross 2, hash square 4,
// spindle-to-pivot line 1.
constexpr std::size_t LinesBeforeGrids = 23;
constexpr std::size_t GridLines = 16;

struct Factors {
    double X;
    double Y;
};

class WorkedExample : public ::testing::TestWithParam<Factors> {
protected:
    void SetUp() override {
        SetRecord(WorkedSpindleToPivot, WorkedInnerNull, WorkedOuterNull, GetParam().X, GetParam().Y);
        Log = PrintTemplate();
        Sx = Dpm(GetParam().X);
        Sy = Dpm(GetParam().Y);
        Lines = OfKind(Log, Kind::Line);
        Boxes = OfKind(Log, Kind::Box);
        Arcs = OfKind(Log, Kind::Arc);
        Texts = OfKind(Log, Kind::Text);
    }

    void ExpectPoint(DevicePoint point, double x, double y, double slack = 0) const {
        EXPECT_TRUE(NearDots(point.X, x, Sx, slack * Sx)) << point.X << " dots for x = " << x << " mm";
        EXPECT_TRUE(NearDots(point.Y, y, Sy, slack * Sy)) << point.Y << " dots for y = " << y << " mm";
    }

    // The centre of an ellipse box in page millimetres, and its size.
    double BoxCentreX(const DeviceRect& r) const { return (r.Left + r.Right) / 2.0 / Sx; }
    double BoxCentreY(const DeviceRect& r) const { return (r.Top + r.Bottom) / 2.0 / Sy; }

    std::vector<DeviceRequest> Log, Lines, Boxes, Arcs, Texts;
    double Sx = 0;
    double Sy = 0;
};

INSTANTIATE_TEST_SUITE_P(CorrectionFactors, WorkedExample, ::testing::Values(Factors{1, 1}, Factors{1.02, 0.98}),
                         [](const ::testing::TestParamInfo<Factors>& param) {
                             return param.param.X == 1 && param.param.Y == 1 ? "Unscaled" : "X102Y098";
                         });

} // namespace

// --- the record: pivot before the printer, null points while drawing ---

TEST_P(WorkedExample, WritesPivotAndNullPointPositions) {
    EXPECT_EQ(Record.PivotPageX, 252);
    EXPECT_EQ(Record.PivotPageY, 40);
    EXPECT_NEAR(Record.InnerNullPageX, 34.535, Decimals);
    EXPECT_NEAR(Record.InnerNullPageY, 102.533, Decimals);
    EXPECT_NEAR(Record.OuterNullPageX, 58.986, Decimals);
    EXPECT_NEAR(Record.OuterNullPageY, 158.096, Decimals);
}

// --- job frame ---

TEST_P(WorkedExample, OneLandscapePageFilledOverALetterSheetInUncorrectedDots) {
    const auto pages = OfKind(Log, Kind::StartPage);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Orientation, 2);
    EXPECT_EQ(OfKind(Log, Kind::EndPage).size(), 1u);
    EXPECT_EQ(OfKind(Log, Kind::EndDocument).size(), 1u);

    ASSERT_FALSE(Boxes.empty());
    const DeviceRequest& fill = Boxes[0];
    EXPECT_EQ(fill.Shape, BoxShape::Square);
    EXPECT_EQ(fill.Rect.Left, 0);
    EXPECT_EQ(fill.Rect.Top, 0);
    EXPECT_EQ(fill.Rect.Right, 6600);
    EXPECT_EQ(fill.Rect.Bottom, 5100);
    EXPECT_EQ(fill.Colour, 0xFFFFFFu);
    EXPECT_TRUE(fill.Fill.Filled);
    EXPECT_EQ(fill.Fill.Colour, 0xFFFFFFu);
    for (const DeviceRequest& line : Lines) {
        EXPECT_EQ(line.PenWidth, 2);
    }
}

TEST_P(WorkedExample, FontsFollowTheVerticalFactorOnly) {
    const auto fonts = OfKind(Log, Kind::MakeFont);
    std::optional<int> label, title;
    for (const DeviceRequest& font : fonts) {
        EXPECT_EQ(font.FontRequest.Face, "Arial");
        EXPECT_EQ(font.FontRequest.Weight, 400);
        (font.FontRequest.Italic ? title : label) = font.FontRequest.Height;
    }
    ASSERT_TRUE(label && title);
    const float labelPoints = static_cast<float>(12 * GetParam().Y);
    const float titlePoints = static_cast<float>(16 * GetParam().Y);
    EXPECT_EQ(*label, -static_cast<int>(std::lround(labelPoints * 600.0 / 72)));
    EXPECT_EQ(*title, -static_cast<int>(std::lround(titlePoints * 600.0 / 72)));
}

// --- measuring frame, reference crosses, spindle and pivot ---

struct MmLine {
    double FromX, FromY, ToX, ToY;
};

TEST_P(WorkedExample, MeasuringFrameAndTicks) {
    // clang-format off
    const MmLine frame[] = {
        {1, 0, 1, 206},   {0, 1, 206, 1},
        {0, 181, 5, 181}, {0, 201, 5, 201}, {0, 101, 5, 101},
        {201, 0, 201, 5}, {101, 0, 101, 5}, {181, 0, 181, 5},
    };
    // clang-format on
    ASSERT_GE(Lines.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        ExpectPoint(Lines[i].From, frame[i].FromX, frame[i].FromY);
        ExpectPoint(Lines[i].To, frame[i].ToX, frame[i].ToY);
    }
    // The user measures the ticks from the axes: 100, 180 and 200 mm within one dot.
    const int verticalAxis = Lines[0].From.X;
    const int horizontalAxis = Lines[1].From.Y;
    EXPECT_LE(std::abs(Lines[5].From.X - verticalAxis - 200 * Sx), 1.0);
    EXPECT_LE(std::abs(Lines[6].From.X - verticalAxis - 100 * Sx), 1.0);
    EXPECT_LE(std::abs(Lines[7].From.X - verticalAxis - 180 * Sx), 1.0);
    EXPECT_LE(std::abs(Lines[3].From.Y - horizontalAxis - 200 * Sy), 1.0);
    EXPECT_LE(std::abs(Lines[4].From.Y - horizontalAxis - 100 * Sy), 1.0);
    EXPECT_LE(std::abs(Lines[2].From.Y - horizontalAxis - 180 * Sy), 1.0);
}

TEST_P(WorkedExample, CrossesAtReferencePivotAndSpindle) {
    struct Cross {
        std::size_t FirstLine;
        double X, Y, Size;
    };
    const Cross crosses[] = {{8, 101, 101, 5}, {10, 201, 201, 5}, {12, 201, 181, 5}, {14, 252, 40, 5}, {16, 43, 40, 3}};
    ASSERT_GE(Lines.size(), LinesBeforeGrids);
    for (const Cross& cross : crosses) {
        SCOPED_TRACE(cross.FirstLine);
        ExpectPoint(Lines[cross.FirstLine].From, cross.X, cross.Y + cross.Size / 2);
        ExpectPoint(Lines[cross.FirstLine].To, cross.X, cross.Y - cross.Size / 2);
        ExpectPoint(Lines[cross.FirstLine + 1].From, cross.X + cross.Size / 2, cross.Y);
        ExpectPoint(Lines[cross.FirstLine + 1].To, cross.X - cross.Size / 2, cross.Y);
    }
    // Hash square about the spindle, then the line to the pivot.
    const double h = static_cast<double>(SpindleHoleDiameter) / 2;
    ExpectPoint(Lines[18].From, 43 - h, 40 - h - 3);
    ExpectPoint(Lines[21].To, 43 + h + 3, 40 + h);
    ExpectPoint(Lines[22].From, 43, 40);
    ExpectPoint(Lines[22].To, 252, 40);
}

TEST_P(WorkedExample, SpindleHoleAndRecordCircle) {
    ASSERT_GE(Boxes.size(), 3u);
    const double diameters[] = {static_cast<double>(SpindleHoleDiameter), 300};
    for (int i = 0; i < 2; ++i) {
        const DeviceRect& r = Boxes[1 + i].Rect;
        EXPECT_EQ(Boxes[1 + i].Shape, BoxShape::Ellipse);
        EXPECT_FALSE(Boxes[1 + i].Fill.Filled);
        EXPECT_TRUE(NearDots(r.Left, 43 - diameters[i] / 2, Sx));
        EXPECT_TRUE(NearDots(r.Right, 43 + diameters[i] / 2, Sx));
        EXPECT_TRUE(NearDots(r.Top, 40 - diameters[i] / 2, Sy));
        EXPECT_TRUE(NearDots(r.Bottom, 40 + diameters[i] / 2, Sy));
    }
}

// --- stylus arc ---

TEST_P(WorkedExample, StylusArcAboutThePivotThroughBothNullPoints) {
    ASSERT_EQ(Arcs.size(), 1u);
    const DeviceRequest& arc = Arcs[0];
    EXPECT_FALSE(arc.Pie);
    EXPECT_FALSE(arc.Fill.Filled);
    const double length = Record.EffectiveLength;
    EXPECT_TRUE(NearDots(arc.Rect.Left, 252 - length, Sx, 1));
    EXPECT_TRUE(NearDots(arc.Rect.Right, 252 + length, Sx, 1));
    EXPECT_TRUE(NearDots(arc.Rect.Top, 40 - length, Sy, 1));
    EXPECT_TRUE(NearDots(arc.Rect.Bottom, 40 + length, Sy, 1));
    const auto pi = static_cast<double>(Pi);
    EXPECT_NEAR(AngleDifference(RayAngle(arc.Rect, arc.From), 177 * pi / 180), 0, 1e-3);
    EXPECT_NEAR(AngleDifference(RayAngle(arc.Rect, arc.To), 270 * pi / 180), 0, 1e-3);

    // Whatever the two scales, the ellipse in dots passes through the null points in dots.
    const double a = (arc.Rect.Right - arc.Rect.Left) / 2.0;
    const double b = (arc.Rect.Bottom - arc.Rect.Top) / 2.0;
    const double cx = (arc.Rect.Right + arc.Rect.Left) / 2.0;
    const double cy = (arc.Rect.Bottom + arc.Rect.Top) / 2.0;
    for (const auto& [x, y] : {std::pair{34.535, 102.533}, std::pair{58.986, 158.096}}) {
        const double u = (x * Sx - cx) / a;
        const double v = (y * Sy - cy) / b;
        EXPECT_NEAR(u * u + v * v, 1.0, 1e-3) << x << ", " << y;
    }
    if (GetParam().X == GetParam().Y) {
        const double angle = RayAngle(arc.Rect, arc.From);
        EXPECT_NEAR((cx + a * std::cos(angle)) / Sx, 26.033, 0.05);
        EXPECT_NEAR((cy - b * std::sin(angle)) / Sy, 28.158, 0.05);
    }
}

// --- erasing discs, grids, markers: in that order ---

TEST_P(WorkedExample, DiscsClearTheArcBeforeGridsAndMarkersAreDrawn) {
    ASSERT_EQ(Lines.size(), LinesBeforeGrids + 2 * GridLines);
    ASSERT_EQ(Boxes.size(), 7u);
    std::vector<std::size_t> discAt, markerAt, gridLineAt;
    for (std::size_t i = 0; i < Log.size(); ++i) {
        const DeviceRequest& r = Log[i];
        const bool small = r.What == Kind::Box && std::abs((r.Rect.Right - r.Rect.Left) - 4 * Sx) <= 1;
        if (small) {
            (r.Fill.Filled ? discAt : markerAt).push_back(i);
        }
    }
    std::size_t lineCount = 0;
    for (std::size_t i = 0; i < Log.size(); ++i) {
        if (Log[i].What == Kind::Line && lineCount++ >= LinesBeforeGrids) {
            gridLineAt.push_back(i);
        }
    }
    ASSERT_EQ(discAt.size(), 2u);
    ASSERT_EQ(markerAt.size(), 2u);
    EXPECT_LT(discAt[1], gridLineAt.front());
    EXPECT_GT(markerAt[0], gridLineAt.back());
    // Discs are the background colour inside and out; markers are foreground outlines.
    const double nulls[2][2] = {{34.535, 102.533}, {58.986, 158.096}};
    for (int i = 0; i < 2; ++i) {
        const DeviceRequest& disc = Log[discAt[i]];
        EXPECT_EQ(disc.Colour, 0xFFFFFFu);
        EXPECT_EQ(disc.Fill.Colour, 0xFFFFFFu);
        EXPECT_NEAR(BoxCentreX(disc.Rect), nulls[i][0], 1 / Sx);
        EXPECT_NEAR(BoxCentreY(disc.Rect), nulls[i][1], 1 / Sy);
        const DeviceRequest& marker = Log[markerAt[i]];
        EXPECT_EQ(marker.Colour, 0u);
        EXPECT_NEAR(BoxCentreX(marker.Rect), nulls[i][0], 1 / Sx);
        EXPECT_NEAR(BoxCentreY(marker.Rect), nulls[i][1], 1 / Sy);
    }
}

struct GridCase {
    const char* Name;
    std::size_t FirstLine;
    double NullX, NullY, Angle;
    double RadialEndX, RadialEndY; // local (0, 8) on the page, where known
};

TEST_P(WorkedExample, AlignmentGridsTurnedByTheGridAngle) {
    const GridCase grids[] = {
        {"inner", LinesBeforeGrids, 34.535, 102.533, -0.1345, 33.462, 110.460},
        {"outer", LinesBeforeGrids + GridLines, 58.986, 158.096, 0.1345, std::nan(""), std::nan("")},
    };
    ASSERT_EQ(Lines.size(), LinesBeforeGrids + 2 * GridLines);
    for (const GridCase& grid : grids) {
        SCOPED_TRACE(grid.Name);
        const double c = std::cos(grid.Angle);
        const double s = std::sin(grid.Angle);
        auto line = [&](std::size_t i) { return Lines[grid.FirstLine + i]; };
        // Lines 1-8: tangent lines at v = -8 .. 8 without 0, each 60 mm from u = -30 to u = 30.
        const int tangentV[] = {-8, -6, -4, -2, 2, 4, 6, 8};
        for (int i = 0; i < 8; ++i) {
            const double v = tangentV[i];
            ExpectPoint(line(i).From, grid.NullX - 30 * c + v * s, grid.NullY + 30 * s + v * c, 0.002);
            ExpectPoint(line(i).To, grid.NullX + 30 * c + v * s, grid.NullY - 30 * s + v * c, 0.002);
            const double dx = (line(i).To.X - line(i).From.X) / Sx;
            const double dy = (line(i).To.Y - line(i).From.Y) / Sy;
            EXPECT_NEAR(std::atan2(-dy, dx), grid.Angle, 2e-3);
        }
        // Line 9: from the spindle centre through the null point to the outermost tangent line.
        ExpectPoint(line(8).From, 43, 40);
        ExpectPoint(line(8).To, grid.NullX + 8 * s, grid.NullY + 8 * c, 0.002);
        if (!std::isnan(grid.RadialEndX)) {
            ExpectPoint(line(8).To, grid.RadialEndX, grid.RadialEndY, Decimals);
        }
        // Lines 10-12: the heavy centre line at v = -0.4, 0, 0.4.
        for (int i = 0; i < 3; ++i) {
            const double v = (i - 1) / 2.5;
            ExpectPoint(line(9 + i).From, grid.NullX - 30 * c + v * s, grid.NullY + 30 * s + v * c, 0.002);
            ExpectPoint(line(9 + i).To, grid.NullX + 30 * c + v * s, grid.NullY - 30 * s + v * c, 0.002);
        }
        // Lines 13-16: 40 mm cross lines at u = -9, -7, -5, -3.
        const int crossU[] = {-9, -7, -5, -3};
        for (int i = 0; i < 4; ++i) {
            const double u = crossU[i];
            ExpectPoint(line(12 + i).From, grid.NullX + u * c - 20 * s, grid.NullY - u * s - 20 * c, 0.002);
            ExpectPoint(line(12 + i).To, grid.NullX + u * c + 20 * s, grid.NullY - u * s + 20 * c, 0.002);
        }
    }
    // The worked example's centre line of the inner grid, to the example's decimals.
    ExpectPoint(Lines[LinesBeforeGrids + 10].From, 4.807, 98.508, Decimals + 0.002);
    ExpectPoint(Lines[LinesBeforeGrids + 10].To, 64.264, 106.557, Decimals + 0.002);
}

// --- labels, title, legend ---

namespace {

struct TextCase {
    std::string Text;
    double X, Y;
};

} // namespace

TEST_P(WorkedExample, LabelsTitleAndLegendAtTheirPositions) {
    const std::string degree = "\xB0";
    const std::vector<TextCase> expected = {
        {"X=200mm", 195, 7},
        {"X=180mm", 168, 7},
        {"X=100mm", 95, 7},
        {"Y=180mm", 7, 178},
        {"Y=200mm", 7, 198},
        {"cut here!", 25, 192},
        {"Align cartridge to either grid.", 95, 105},
        {"pivot", 247, 25},
        {"Deck 1 - L\xF6"
         "fgren A",
         60, 30},
        {"Inner groove radius = " + FormatNumber(60.325, LengthMask) + " (IEC)", 95, 45},
        {"Outer groove radius = " + FormatNumber(146.05, LengthMask) + " (DIN/IEC)", 95, 50},
        {"Pivot to spindle distance = 209.000", 95, 55},
        {"Inner null radius = " + FormatNumber(WorkedInnerNull, LengthMask), 95, 60},
        {"Outer null radius = " + FormatNumber(WorkedOuterNull, LengthMask), 95, 65},
        {"Effective length = " + FormatNumber(Record.EffectiveLength, LengthMask), 95, 70},
        {"Overhang = " + FormatNumber(Record.Overhang, LengthMask), 95, 75},
        {"Offset angle = " + FormatNumber(18.5, LengthMask) + degree, 95, 80},
        {"Linear offset = " + FormatNumber(71.8, LengthMask), 95, 85},
    };
    ASSERT_EQ(Texts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].Text);
        EXPECT_EQ(Texts[i].Text, expected[i].Text);
        ExpectPoint(Texts[i].From, expected[i].X, expected[i].Y);
    }
}

// --- titles ---

struct TitleCase {
    std::int16_t Geometry;
    std::string ArmId;
    std::optional<std::string> Title;
};

TEST(ArcTemplateTitle, NamesTheGeometryAfterTheTrimmedId) {
    const std::string fortyChars(40, 'Q');
    const TitleCase cases[] = {
        {1, "Deck 1",
         "Deck 1 - L\xF6"
         "fgren A"},
        {2, "SME 3009   ",
         "SME 3009 - L\xF6"
         "fgren B"},
        {3, "  Rega", "  Rega - Stevenson A"},
        {1, "",
         " - L\xF6"
         "fgren A"},
        {3, "   ", " - Stevenson A"},
        {2, fortyChars,
         fortyChars + " - L\xF6"
                      "fgren B"},
        {0, "Deck 1", std::nullopt},
        {CustomNullsChoice, "Deck 1", "Deck 1 - Custom null points"},
        {5, "Deck 1", std::nullopt},
        {-1, "Deck 1", std::nullopt},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.Geometry);
        SCOPED_TRACE(c.ArmId);
        SetRecord(WorkedSpindleToPivot, WorkedInnerNull, WorkedOuterNull, 1, 1);
        Record.GeometryChoice = c.Geometry;
        AssignArmId(Record, c.ArmId);
        const auto texts = OfKind(PrintTemplate(), Kind::Text);
        std::vector<DeviceRequest> atTitle;
        for (const DeviceRequest& text : texts) {
            if (NearDots(text.From.X, 60, Dpm(1)) && NearDots(text.From.Y, 30, Dpm(1))) {
                atTitle.push_back(text);
            }
        }
        if (c.Title) {
            ASSERT_EQ(atTitle.size(), 1u);
            EXPECT_EQ(atTitle[0].Text, *c.Title);
            EXPECT_EQ(texts.size(), 18u);
        } else {
            EXPECT_TRUE(atTitle.empty());
            EXPECT_EQ(texts.size(), 17u);
        }
    }
}

// --- groove suffixes: exact comparison with the preset values ---

struct SuffixCase {
    double Inner;
    double Outer;
    std::string InnerSuffix;
    std::string OuterSuffix;
};

TEST(ArcTemplateLegend, GrooveSuffixesOnlyForThePresetValuesExactly) {
    const SuffixCase cases[] = {
        {57.5, 146.05, " (DIN)", " (DIN/IEC)"},
        {60.325, 146.05, " (IEC)", " (DIN/IEC)"},
        {63, 145, "", ""},
        {std::nextafter(57.5, 100.0), std::nextafter(146.05, 0.0), "", ""},
        {std::nextafter(60.325, 0.0), std::nextafter(146.05, 200.0), "", ""},
        {57.5, 145, " (DIN)", ""},
    };
    for (const SuffixCase& c : cases) {
        SCOPED_TRACE(c.Inner);
        SetRecord(WorkedSpindleToPivot, WorkedInnerNull, WorkedOuterNull, 1, 1);
        Record.InnerGrooveRadius = c.Inner;
        Record.OuterGrooveRadius = c.Outer;
        const auto texts = OfKind(PrintTemplate(), Kind::Text);
        ASSERT_EQ(texts.size(), 18u);
        EXPECT_EQ(texts[9].Text, "Inner groove radius = " + FormatNumber(c.Inner, LengthMask) + c.InnerSuffix);
        EXPECT_EQ(texts[10].Text, "Outer groove radius = " + FormatNumber(c.Outer, LengthMask) + c.OuterSuffix);
    }
}

// --- printer not chosen ---

TEST(ArcTemplateJob, NoPrinterDrawsNothingButPlacesThePivot) {
    for (const PrinterChoiceResult answer : {PrinterChoiceResult::Cancelled, PrinterChoiceResult::Failed}) {
        SetRecord(150, WorkedInnerNull, WorkedOuterNull, 1, 1);
        Record.InnerNullPageX = 123;
        Record.OuterNullPageY = 456;
        const auto log = PrintTemplate(answer);
        for (const DeviceRequest& r : log) {
            EXPECT_NE(r.What, Kind::StartPage);
            EXPECT_NE(r.What, Kind::Line);
            EXPECT_NE(r.What, Kind::Text);
        }
        EXPECT_EQ(Record.PivotPageX, 193);
        EXPECT_EQ(Record.PivotPageY, 40);
        EXPECT_EQ(Record.InnerNullPageX, 123);
        EXPECT_EQ(Record.OuterNullPageY, 456);
    }
}

// --- null points that do not exist ---

struct MissingNullCase {
    const char* Name;
    double SpindleToPivot, InnerNull, OuterNull;
    std::optional<double> InnerAfterwards, OuterAfterwards; // set after the effective length is computed
    std::size_t Grids;
};

TEST(ArcTemplateNullPoints, APointWithoutIntersectionIsLeftOutAndTheRestPrints) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const MissingNullCase cases[] = {
        {"circles miss each other", 10, 63, 119, std::nullopt, std::nullopt, 0},
        {"zero distance", 0, 63, 119, std::nullopt, std::nullopt, 0},
        {"inner radius not a number", 209, WorkedInnerNull, WorkedOuterNull, nan, std::nullopt, 1},
        {"outer radius infinite", 209, WorkedInnerNull, WorkedOuterNull, std::nullopt, inf, 1},
        {"both meet", 209, WorkedInnerNull, WorkedOuterNull, std::nullopt, std::nullopt, 2},
    };
    for (const MissingNullCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetRecord(c.SpindleToPivot, c.InnerNull, c.OuterNull, 1, 1);
        Record.InnerNullRadius = c.InnerAfterwards.value_or(Record.InnerNullRadius);
        Record.OuterNullRadius = c.OuterAfterwards.value_or(Record.OuterNullRadius);
        const auto log = PrintTemplate();
        const auto lines = OfKind(log, Kind::Line);
        EXPECT_EQ(lines.size(), LinesBeforeGrids + c.Grids * GridLines);
        std::size_t smallBoxes = 0;
        for (const DeviceRequest& box : OfKind(log, Kind::Box)) {
            smallBoxes += std::abs((box.Rect.Right - box.Rect.Left) - 4 * Dpm(1)) <= 1 ? 1 : 0;
        }
        EXPECT_EQ(smallBoxes, 2 * c.Grids);
        // The legend still shows all nine values, whatever they are.
        EXPECT_EQ(OfKind(log, Kind::Text).size(), 18u);
        EXPECT_EQ(OfKind(log, Kind::EndDocument).size(), 1u);
    }
}

// --- the elements on their own ---

struct IntersectCase {
    double R, L, D;
    double X, Y;
    bool Meets;
};

TEST(IntersectCircles, PicksThePointRightOfSpindleToPivot) {
    const double effective = std::sqrt(209.0 * 209.0 + WorkedInnerNull * WorkedOuterNull);
    const IntersectCase cases[] = {
        {WorkedInnerNull, effective, 209, 34.535, 102.533, true},
        {WorkedOuterNull, effective, 209, 58.986, 158.096, true},
        // 3-4-5 triangle: spindle (0, 0), pivot (5, 0), point (1.8, 2.4) below the line on the page.
        {3, 4, 5, 1.8, 2.4, true},
    };
    for (const IntersectCase& c : cases) {
        const std::optional<PagePosition> point =
            c.D == 5 ? IntersectCircles(c.R, c.L, c.D, 0, 0, 5, 0) : IntersectCircles(c.R, c.L, c.D, 43, 40, 252, 40);
        ASSERT_EQ(point.has_value(), c.Meets);
        EXPECT_NEAR(point->X, c.X, Decimals);
        EXPECT_NEAR(point->Y, c.Y, Decimals);
    }
    // The pivot straight below the spindle: right of the downward direction on the page is to the left.
    const std::optional<PagePosition> below = IntersectCircles(3, 4, 5, 0, 0, 0, 5);
    ASSERT_TRUE(below);
    EXPECT_NEAR(below->X, -2.4, 1e-12);
    EXPECT_NEAR(below->Y, 1.8, 1e-12);
    // Circles apart, and a zero distance: reported, not drawn.
    EXPECT_FALSE(IntersectCircles(1, 1, 5, 0, 0, 5, 0));
    EXPECT_FALSE(IntersectCircles(3, 4, 0, 0, 0, 0, 0));
}

TEST(GridAngle, PrincipalValueArctangentOfTheOffsetFromTheSpindle) {
    EXPECT_NEAR(GridAngle(34.535, 102.533, 43, 40), -0.1345, 1e-4);
    EXPECT_NEAR(GridAngle(58.986, 158.096, 43, 40), 0.1345, 1e-4);
    EXPECT_EQ(GridAngle(43, 100, 43, 40), 0);
    // Above the spindle a two-argument arctangent would turn the grid half round; this one does not.
    EXPECT_NEAR(GridAngle(53, 30, 43, 40), -0.7853981633974483, 1e-12);
}

// --- marks at the edge of the printable area, as the Linux tool and the browser page keep them ---

namespace {

struct EdgeCase {
    const char* Name;
    PaperSize Paper;
    double MarginMm;
    double FactorY;
    bool Changes; // whether a mark runs past the bottom while its tick is on the page
};

std::vector<DeviceRequest> PrintOnPaper(const EdgeCase& c, EdgeMarks edgeMarks) {
    SetRecord(WorkedSpindleToPivot, WorkedInnerNull, WorkedOuterNull, 1, c.FactorY);
    RecordingDeviceSettings device;
    device.PortraitPrintableSize = PaperGeometryOf(c.Paper, 600, c.MarginMm, 1).Printable;
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log, device);
    PrintSurface surface(chooser);
    PrintArcTemplate(surface, Record, edgeMarks);
    return log;
}

} // namespace

TEST(ArcTemplateEdgeMarks, OnlyWhatRunsOffThePageComesInAndNothingMoves) {
    const EdgeCase cases[] = {{"Letter", PaperSize::Letter, 4.23, 1, false},
                              {"A4", PaperSize::A4, 4.23, 1, true},
                              {"A4 smaller type", PaperSize::A4, 4.23, 0.99, true},
                              {"A4 without the 200 mm tick", PaperSize::A4, 4.6, 1, false}};
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::vector<DeviceRequest> drawn = PrintOnPaper(c, EdgeMarks::AsDrawn);
        const std::vector<DeviceRequest> kept = PrintOnPaper(c, EdgeMarks::KeptOnPage);
        const int bottom = PaperGeometryOf(c.Paper, 600, c.MarginMm, 2).Printable.Y;
        const double cell = 12 * c.FactorY * 600 / 72.0 * (1854.0 + 434.0) / 2048.0; // Arial's, at 12 points
        ASSERT_EQ(kept.size(), drawn.size());
        bool changed = false;
        for (std::size_t i = 0; i < kept.size(); ++i) {
            const DeviceRequest& k = kept[i];
            const DeviceRequest& d = drawn[i];
            if (k.What == d.What && k.Text == d.Text && k.From.X == d.From.X && k.From.Y == d.From.Y &&
                k.To.X == d.To.X && k.To.Y == d.To.Y) {
                continue;
            }
            changed = true;
            // A cross's lower end or a label's cell comes in from beyond the edge; across the page nothing moves.
            const double before = d.What == Kind::Text ? d.From.Y + cell : d.From.Y;
            const double after = k.What == Kind::Text ? k.From.Y + cell : k.From.Y;
            EXPECT_GT(before, bottom - 2) << d.Mark;
            EXPECT_LE(after, bottom) << d.Mark;
            EXPECT_EQ(k.From.X, d.From.X) << d.Mark;
            EXPECT_EQ(k.To.Y, d.To.Y) << d.Mark;
        }
        EXPECT_EQ(changed, c.Changes);
    }
}
