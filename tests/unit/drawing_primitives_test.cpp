#include "print/drawing_primitives.h"
#include "print/page_model.h"
#include "print/recording_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Kind = DeviceRequest::Kind;

struct Stroke {
    int FromX;
    int FromY;
    int ToX;
    int ToY;
};

int Dot(double value) {
    // The page model's half-to-even rounding, written independently.
    return static_cast<int>(std::nearbyint(value));
}

struct Scales {
    double X;
    double Y;
};

class PrimitivesTest : public ::testing::TestWithParam<Scales> {
protected:
    void SetUp() override {
        ASSERT_TRUE(Surface.BeginPrintJob().Ok() && Surface.PrinterAttached());
        Surface.SetForegroundColour(0x224466);
        Surface.SetPenWidth(3);
    }

    void TearDown() override { Surface.EndPrintJob(); }

    std::vector<DeviceRequest> Drawn() const {
        std::vector<DeviceRequest> drawn;
        for (const DeviceRequest& request : Log) {
            if (request.What == Kind::Line || request.What == Kind::Box || request.What == Kind::Text) {
                drawn.push_back(request);
            }
        }
        return drawn;
    }

    void ExpectStrokes(const std::vector<Stroke>& expected) const {
        const auto drawn = Drawn();
        ASSERT_EQ(drawn.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(drawn[i].What, Kind::Line);
            EXPECT_EQ(drawn[i].From.X, expected[i].FromX);
            EXPECT_EQ(drawn[i].From.Y, expected[i].FromY);
            EXPECT_EQ(drawn[i].To.X, expected[i].ToX);
            EXPECT_EQ(drawn[i].To.Y, expected[i].ToY);
            EXPECT_EQ(drawn[i].Colour, 0x224466u);
            EXPECT_EQ(drawn[i].PenWidth, 3);
        }
    }

    std::vector<DeviceRequest> Log;
    RecordingPrinterChooser Chooser{Log};
    PrintSurface Surface{Chooser};
};

// Equal scales, a printer with different resolutions across and down, and correction factors of 1.01 and 0.5.
INSTANTIATE_TEST_SUITE_P(ScalePairs, PrimitivesTest,
                         ::testing::Values(Scales{DotsPerMm(600, 1.0), DotsPerMm(600, 1.0)},
                                           Scales{DotsPerMm(1200, 1.0), DotsPerMm(600, 1.0)},
                                           Scales{DotsPerMm(600, 1.01), DotsPerMm(600, 0.5)}, Scales{10.0, 20.0}));

// ---- DrawCross: the vertical stroke upwards, then the horizontal one right to left ----

TEST_P(PrimitivesTest, CrossIsAVerticalStrokeUpThenAHorizontalStrokeLeftward) {
    const double sx = GetParam().X;
    const double sy = GetParam().Y;
    const double cx = 104.0;
    const double cy = 134.0;
    DrawCross(Surface, cx, cy, 3.0, sx, sy);
    ExpectStrokes({
        {Dot(cx * sx), Dot(cy * sy + 1.5 * sy), Dot(cx * sx), Dot(cy * sy - 1.5 * sy)},
        {Dot(cx * sx + 1.5 * sx), Dot(cy * sy), Dot(cx * sx - 1.5 * sx), Dot(cy * sy)},
    });
    const auto drawn = Drawn();
    // A 3 mm cross is 3 * sx dots wide and 3 * sy dots high, within the rounding of its two ends.
    EXPECT_NEAR(drawn[1].From.X - drawn[1].To.X, 3.0 * sx, 1.0);
    EXPECT_NEAR(drawn[0].From.Y - drawn[0].To.Y, 3.0 * sy, 1.0);
}

TEST_P(PrimitivesTest, AfterACrossThePositionIsTheLeftEndOfItsHorizontalStroke) {
    const double sx = GetParam().X;
    const double sy = GetParam().Y;
    DrawCross(Surface, 50.0, 60.0, 4.0, sx, sy);
    Surface.PagePrintLine("here");
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 3u);
    ASSERT_EQ(drawn[2].What, Kind::Text);
    EXPECT_EQ(drawn[2].From.X, drawn[1].To.X);
    EXPECT_EQ(drawn[2].From.Y, drawn[1].To.Y);
}

// ---- DrawHashSquare: left, right (downwards), upper, lower (left to right), each past both corners ----

TEST_P(PrimitivesTest, HashSquareStrokesInOrderAndDirection) {
    const double sx = GetParam().X;
    const double sy = GetParam().Y;
    const double cx = 40.0;
    const double cy = 70.0;
    const double h = 5.0;
    const double o = 3.0;
    DrawHashSquare(Surface, cx, cy, 2 * h, o, sx, sy);
    ExpectStrokes({
        {Dot(sx * (cx - h)), Dot(sy * (cy - h - o)), Dot(sx * (cx - h)), Dot(sy * (cy + h + o))},
        {Dot(sx * (cx + h)), Dot(sy * (cy - h - o)), Dot(sx * (cx + h)), Dot(sy * (cy + h + o))},
        {Dot(sx * (cx - h - o)), Dot(sy * (cy - h)), Dot(sx * (cx + h + o)), Dot(sy * (cy - h))},
        {Dot(sx * (cx - h - o)), Dot(sy * (cy + h)), Dot(sx * (cx + h + o)), Dot(sy * (cy + h))},
    });
}

TEST_P(PrimitivesTest, HashSquareWithoutOvershootIsAClosedSquareWhoseCornersMeet) {
    DrawHashSquare(Surface, 30.0, 30.0, 7.0, 0.0, GetParam().X, GetParam().Y);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 4u);
    const DeviceRequest& left = drawn[0];
    const DeviceRequest& right = drawn[1];
    const DeviceRequest& upper = drawn[2];
    const DeviceRequest& lower = drawn[3];
    EXPECT_EQ(upper.From.X, left.From.X);
    EXPECT_EQ(upper.From.Y, left.From.Y);
    EXPECT_EQ(upper.To.X, right.From.X);
    EXPECT_EQ(upper.To.Y, right.From.Y);
    EXPECT_EQ(lower.From.X, left.To.X);
    EXPECT_EQ(lower.From.Y, left.To.Y);
    EXPECT_EQ(lower.To.X, right.To.X);
    EXPECT_EQ(lower.To.Y, right.To.Y);
}

TEST_P(PrimitivesTest, AfterAHashSquareThePositionIsTheRightEndOfTheLowerSide) {
    DrawHashSquare(Surface, 30.0, 30.0, 7.0, 2.0, GetParam().X, GetParam().Y);
    Surface.PagePrintLine("here");
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 5u);
    EXPECT_EQ(drawn[4].From.X, drawn[3].To.X);
    EXPECT_EQ(drawn[4].From.Y, drawn[3].To.Y);
}

// ---- DrawCircle: one unfilled ellipse box in the foreground colour ----

TEST_P(PrimitivesTest, CircleIsAnUnfilledEllipseOnTheScaledBox) {
    const double sx = GetParam().X;
    const double sy = GetParam().Y;
    const double cx = 140.0;
    const double cy = 104.0;
    const double d = 300.0;
    DrawCircle(Surface, cx, cy, d, sx, sy);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_EQ(drawn[0].What, Kind::Box);
    EXPECT_EQ(drawn[0].Shape, BoxShape::Ellipse);
    EXPECT_FALSE(drawn[0].Fill.Filled);
    EXPECT_EQ(drawn[0].Colour, 0x224466u);
    EXPECT_EQ(drawn[0].PenWidth, 3);
    // The box corners pass through single precision on their way to the page.
    EXPECT_EQ(drawn[0].Rect.Left, Dot(static_cast<float>(cx * sx - d * sx / 2)));
    EXPECT_EQ(drawn[0].Rect.Top, Dot(static_cast<float>(cy * sy - d * sy / 2)));
    EXPECT_EQ(drawn[0].Rect.Right, Dot(static_cast<float>(cx * sx + d * sx / 2)));
    EXPECT_EQ(drawn[0].Rect.Bottom, Dot(static_cast<float>(cy * sy + d * sy / 2)));
}

TEST_P(PrimitivesTest, CircleLeavesThePositionUnchanged) {
    Surface.PageMoveTo(123.0, 456.0);
    DrawCircle(Surface, 20.0, 20.0, 5.0, GetParam().X, GetParam().Y);
    Surface.PagePrintLine("here");
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].From.X, 123);
    EXPECT_EQ(drawn[1].From.Y, 456);
}

// ---- The spindle-hole mark: circle, 3 mm cross, hash square with 3 mm overshoot ----

TEST_P(PrimitivesTest, SpindleHoleMarkIsCircleThenCrossThenHashSquareTangentToTheCircle) {
    const double sx = GetParam().X;
    const double sy = GetParam().Y;
    const double cx = 58.0;
    const double cy = 104.0;
    DrawSpindleHoleMark(Surface, cx, cy, sx, sy);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 7u);
    EXPECT_EQ(drawn[0].What, Kind::Box);
    for (std::size_t i = 1; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].What, Kind::Line);
    }
    const DeviceRect circle = drawn[0].Rect;
    // Hash sides run along the circle's bounding box: the square touches the circle.
    EXPECT_NEAR(drawn[3].From.X, circle.Left, 1);
    EXPECT_NEAR(drawn[4].From.X, circle.Right, 1);
    EXPECT_NEAR(drawn[5].From.Y, circle.Top, 1);
    EXPECT_NEAR(drawn[6].From.Y, circle.Bottom, 1);
    // ... and protrude 3 mm past each corner.
    EXPECT_NEAR(circle.Top - drawn[3].From.Y, 3.0 * sy, 1.0);
    EXPECT_NEAR(drawn[5].To.X - circle.Right, 3.0 * sx, 1.0);
    // The cross strokes end 1.5 mm from the centre, inside the circle.
    EXPECT_EQ(drawn[1].From.Y, Dot(cy * sy + 1.5 * sy));
    EXPECT_EQ(drawn[2].To.X, Dot(cx * sx - 1.5 * sx));
    EXPECT_GT(drawn[2].To.X, circle.Left);
    // The hole is 0.282 inch held in single precision.
    EXPECT_NEAR(circle.Right - circle.Left, static_cast<double>(7.1628f) * sx, 1.0);
    EXPECT_NEAR(circle.Bottom - circle.Top, static_cast<double>(7.1628f) * sy, 1.0);
}

TEST_P(PrimitivesTest, DrawingACircleOverEarlierMarksDoesNotHideThem) {
    DrawCross(Surface, 20.0, 20.0, 3.0, GetParam().X, GetParam().Y);
    DrawCircle(Surface, 20.0, 20.0, 10.0, GetParam().X, GetParam().Y);
    const auto drawn = Drawn();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_FALSE(drawn[2].Fill.Filled);
}

} // namespace
