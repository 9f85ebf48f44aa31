#include "print/page_model.h"
#include "print/recording_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

using Kind = DeviceRequest::Kind;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

std::vector<Kind> KindsOf(const std::vector<DeviceRequest>& log) {
    std::vector<Kind> kinds;
    for (const DeviceRequest& request : log) {
        kinds.push_back(request.What);
    }
    return kinds;
}

std::vector<DeviceRequest> OfKind(const std::vector<DeviceRequest>& log, Kind kind) {
    std::vector<DeviceRequest> found;
    for (const DeviceRequest& request : log) {
        if (request.What == kind) {
            found.push_back(request);
        }
    }
    return found;
}

// Answers with the chooser a test installed last (cancelled when there is none), so that one surface can see
// several choices in a row.
class ForwardingChooser : public PrinterChooser {
public:
    PrinterChoice ChoosePrinter() override { return Target != nullptr ? Target->ChoosePrinter() : PrinterChoice{}; }
    PrinterChooser* Target = nullptr;
};

// A page-model test with a recording printer behind BeginPrintJob.
class PageModelTest : public ::testing::Test {
protected:
    void TearDown() override { Surface.EndPrintJob(); }

    void StartJob(RecordingDeviceSettings settings = {}, PrinterChoiceResult answer = PrinterChoiceResult::Chosen) {
        Chooser = std::make_unique<RecordingPrinterChooser>(Log, settings, answer);
        Forwarding.Target = Chooser.get();
        const Outcome job = Surface.BeginPrintJob();
        JobFailed = !job;
        Attached = job.Ok() && Surface.PrinterAttached();
    }

    std::vector<DeviceRequest> Log;
    std::unique_ptr<RecordingPrinterChooser> Chooser;
    ForwardingChooser Forwarding;
    PrintSurface Surface{Forwarding};
    bool Attached = false;
    bool JobFailed = false;
};

// ---- Coordinates are rounded half-to-even to whole dots ----

struct RoundingCase {
    double Value;
    int Dot;
};

class CoordinateRounding : public PageModelTest, public ::testing::WithParamInterface<RoundingCase> {};

TEST_P(CoordinateRounding, LineEndsRoundToTheNearestDotWithTiesToEven) {
    StartJob();
    Surface.PageMoveTo(GetParam().Value, 0.0);
    Surface.PageLineTo(0.0, GetParam().Value, UseLineColour);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].From.X, GetParam().Dot);
    EXPECT_EQ(lines[0].To.Y, GetParam().Dot);
}

INSTANTIATE_TEST_SUITE_P(Ties, CoordinateRounding,
                         ::testing::Values(RoundingCase{0.5, 0}, RoundingCase{1.5, 2}, RoundingCase{2.5, 2},
                                           RoundingCase{3.5, 4}, RoundingCase{-0.5, 0}, RoundingCase{-2.5, -2},
                                           RoundingCase{-3.5, -4}, RoundingCase{4724.5, 4724},
                                           RoundingCase{4725.5, 4726}));
INSTANTIATE_TEST_SUITE_P(NearTies, CoordinateRounding,
                         ::testing::Values(RoundingCase{std::nextafter(2.5, 0.0), 2},
                                           RoundingCase{std::nextafter(2.5, 3.0), 3},
                                           RoundingCase{std::nextafter(3.5, 0.0), 3},
                                           RoundingCase{std::nextafter(-2.5, 0.0), -2},
                                           RoundingCase{std::nextafter(-2.5, -3.0), -3}, RoundingCase{0.49, 0},
                                           RoundingCase{0.51, 1}, RoundingCase{1048575.5, 1048576}));

TEST_F(PageModelTest, BoxCornersGivenInSinglePrecisionRoundHalfToEven) {
    StartJob();
    Surface.PageBox(10.5f, 11.5f, 100.5f, 101.5f, 0.0f, 0, NoFill, 0);
    const auto boxes = OfKind(Log, Kind::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Rect.Left, 10);
    EXPECT_EQ(boxes[0].Rect.Top, 12);
    EXPECT_EQ(boxes[0].Rect.Right, 100);
    EXPECT_EQ(boxes[0].Rect.Bottom, 102);
}

TEST_F(PageModelTest, BoxCornersGivenInAnyOrderReachTheDeviceAsLeftTopRightBottom) {
    StartJob();
    Surface.PageBox(300.0f, 400.0f, 100.0f, 50.0f, 0.0f, 0, NoFill, 0);
    const auto boxes = OfKind(Log, Kind::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Rect.Left, 100);
    EXPECT_EQ(boxes[0].Rect.Top, 50);
    EXPECT_EQ(boxes[0].Rect.Right, 300);
    EXPECT_EQ(boxes[0].Rect.Bottom, 400);
}

// ---- Coordinates that are NaN or absurdly far off the page never reach a device ----

struct DropCase {
    double X;
    double Y;
    bool Drawn;
};

class FarCoordinates : public PageModelTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(FarCoordinates, LinesBoxesAndArcsBeyondTheLimitAreDropped) {
    StartJob();
    const DropCase c = GetParam();
    Surface.PageMoveTo(0.0, 0.0);
    Surface.PageLineTo(c.X, c.Y, UseLineColour);
    Surface.PageBox(0.0f, 0.0f, static_cast<float>(c.X), static_cast<float>(c.Y), 0.0f, 0, NoFill, 0);
    Surface.PageArc(0.0f, 0.0f, static_cast<float>(c.X), static_cast<float>(c.Y), 0.0f, 1.0f, 0, NoFill, 0, false);
    const std::size_t expected = c.Drawn ? 1u : 0u;
    EXPECT_EQ(OfKind(Log, Kind::Line).size(), expected);
    EXPECT_EQ(OfKind(Log, Kind::Box).size(), expected);
    EXPECT_EQ(OfKind(Log, Kind::Arc).size(), expected);
    // A dropped operation still counts as the page's first drawing operation.
    EXPECT_EQ(OfKind(Log, Kind::StartPage).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Limits, FarCoordinates,
                         ::testing::Values(DropCase{100.0, 100.0, true},
                                           DropCase{PageCoordinateLimit, -PageCoordinateLimit, true},
                                           DropCase{PageCoordinateLimit * 2, 0.0, false},
                                           DropCase{0.0, -PageCoordinateLimit * 2, false}, DropCase{NaN, 0.0, false},
                                           DropCase{0.0, NaN, false}, DropCase{Infinity, 0.0, false},
                                           DropCase{0.0, -Infinity, false}, DropCase{1e300, 0.0, false}));

TEST_F(PageModelTest, ADroppedMoveLeavesNoPositionSoTheNextLineIsDroppedButEndsAtItsPoint) {
    StartJob();
    Surface.PageMoveTo(NaN, 10.0);
    Surface.PageLineTo(100.0, 200.0, UseLineColour);
    Surface.PageLineTo(300.0, 400.0, UseLineColour);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].From.X, 100);
    EXPECT_EQ(lines[0].From.Y, 200);
    EXPECT_EQ(lines[0].To.X, 300);
    EXPECT_EQ(lines[0].To.Y, 400);
}

TEST_F(PageModelTest, ADroppedLineEndLeavesNoPositionEither) {
    StartJob();
    Surface.PageMoveTo(5.0, 5.0);
    Surface.PageLineTo(5.0, Infinity, UseLineColour);
    Surface.PagePrintLine("lost");
    Surface.PageLineTo(50.0, 50.0, UseLineColour);
    EXPECT_TRUE(OfKind(Log, Kind::Line).empty());
    EXPECT_TRUE(OfKind(Log, Kind::Text).empty());
}

TEST_F(PageModelTest, ArcsWithAnglesThatAreNotFiniteAreDropped) {
    StartJob();
    Surface.PageArc(0.0f, 0.0f, 100.0f, 100.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f, 0, NoFill, 0, false);
    Surface.PageArc(0.0f, 0.0f, 100.0f, 100.0f, 0.0f, std::numeric_limits<float>::infinity(), 0, NoFill, 0, true);
    EXPECT_TRUE(OfKind(Log, Kind::Arc).empty());
}

// ---- Colours: components limited to 0..255; -1 and -2 codes ----

struct ColourCase {
    std::int32_t Red;
    std::int32_t Green;
    std::int32_t Blue;
    PageColour Expected;
};

class ColourBuilding : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourBuilding, ComponentsAreLimitedThenCombined) {
    const ColourCase c = GetParam();
    EXPECT_EQ(MakeColour(c.Red, c.Green, c.Blue), c.Expected);
    const PrintColourRecord record{c.Red, c.Green, c.Blue, c.Red, c.Green, c.Blue};
    EXPECT_EQ(ForegroundColourOf(record), c.Expected);
    EXPECT_EQ(BackgroundColourOf(record), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Clamping, ColourBuilding,
                         ::testing::Values(ColourCase{0, 0, 0, 0}, ColourCase{255, 255, 255, 0xFFFFFF},
                                           ColourCase{1, 2, 3, 0x030201}, ColourCase{-1, 0, 0, 0},
                                           ColourCase{256, 0, 0, 0xFF}, ColourCase{0, 300, 0, 0xFF00},
                                           ColourCase{0, 0, 1000, 0xFF0000}, ColourCase{0, -5, 254, 0xFE0000},
                                           ColourCase{std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max(), 128, 0x80FF00}));

TEST(PrintColourDefaults, BlackOnWhite) {
    const PrintColourRecord defaults{0, 0, 0, 255, 255, 255};
    EXPECT_EQ(ForegroundColourOf(defaults), 0);
    EXPECT_EQ(BackgroundColourOf(defaults), 0xFFFFFF);
}

struct ColourCodeCase {
    PageColour Line;
    PageColour Fill;
    DeviceColour ExpectedLine;
    bool ExpectedFilled;
    DeviceColour ExpectedFill;
};

class ColourCodes : public PageModelTest, public ::testing::WithParamInterface<ColourCodeCase> {};

constexpr DeviceColour Foreground = 0x123456;

TEST_P(ColourCodes, LineMinusOneIsTheForegroundFillMinusOneTheLineMinusTwoNone) {
    StartJob();
    Surface.SetForegroundColour(Foreground);
    const ColourCodeCase c = GetParam();
    Surface.PageBox(0.0f, 0.0f, 10.0f, 10.0f, 0.0f, c.Line, c.Fill, 0);
    Surface.PageArc(0.0f, 0.0f, 10.0f, 10.0f, 0.0f, 1.0f, c.Line, c.Fill, 0, true);
    for (Kind kind : {Kind::Box, Kind::Arc}) {
        const auto shapes = OfKind(Log, kind);
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(shapes[0].Colour, c.ExpectedLine);
        EXPECT_EQ(shapes[0].Fill.Filled, c.ExpectedFilled);
        if (c.ExpectedFilled) {
            EXPECT_EQ(shapes[0].Fill.Colour, c.ExpectedFill);
        }
    }
    Surface.PageMoveTo(0.0, 0.0);
    Surface.PageLineTo(5.0, 5.0, c.Line);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Colour, c.ExpectedLine);
}

INSTANTIATE_TEST_SUITE_P(Codes, ColourCodes,
                         ::testing::Values(ColourCodeCase{UseLineColour, NoFill, Foreground, false, 0},
                                           ColourCodeCase{UseLineColour, UseLineColour, Foreground, true, Foreground},
                                           ColourCodeCase{0xFF, UseLineColour, 0xFF, true, 0xFF},
                                           ColourCodeCase{0, 0xFFFFFF, 0, true, 0xFFFFFF},
                                           ColourCodeCase{0xABCDEF, NoFill, 0xABCDEF, false, 0}));

TEST_F(PageModelTest, TheJobStartsWithABlackForeground) {
    StartJob();
    Surface.PageLineTo(10.0, 10.0, UseLineColour);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Colour, 0u);
}

// ---- Fill styles and corners of PageBox ----

struct FillStyleCase {
    int Style;
    bool Hatched;
    int Hatch;
};

class FillStyles : public PageModelTest, public ::testing::WithParamInterface<FillStyleCase> {};

TEST_P(FillStyles, ZeroIsSolidOneToSixAreHatchesZeroToFiveAnythingElseIsSolid) {
    StartJob();
    Surface.PageBox(0.0f, 0.0f, 10.0f, 10.0f, 0.0f, 0, 0x00FF00, GetParam().Style);
    const auto boxes = OfKind(Log, Kind::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].Fill.Filled);
    EXPECT_EQ(boxes[0].Fill.Hatched, GetParam().Hatched);
    if (GetParam().Hatched) {
        EXPECT_EQ(boxes[0].Fill.HatchStyle, GetParam().Hatch);
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, FillStyles,
                         ::testing::Values(FillStyleCase{0, false, 0}, FillStyleCase{1, true, 0},
                                           FillStyleCase{2, true, 1}, FillStyleCase{3, true, 2},
                                           FillStyleCase{4, true, 3}, FillStyleCase{5, true, 4},
                                           FillStyleCase{6, true, 5}, FillStyleCase{7, false, 0},
                                           FillStyleCase{-1, false, 0}, FillStyleCase{1000, false, 0}));

struct CornerCase {
    BoxCorner Corner;
    BoxShape Shape;
    int CornerSize;
};

class BoxCorners : public PageModelTest, public ::testing::WithParamInterface<CornerCase> {};

// The box is 400 dots wide and 200 high: corners are a percentage of the 200.
TEST_P(BoxCorners, CornerPercentOfTheShorterSideOrEllipseWhenAbsent) {
    StartJob();
    Surface.PageBox(100.0f, 50.0f, 500.0f, 250.0f, GetParam().Corner, 0, NoFill, 0);
    const auto boxes = OfKind(Log, Kind::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Shape, GetParam().Shape);
    EXPECT_EQ(boxes[0].CornerSize.X, GetParam().CornerSize);
    EXPECT_EQ(boxes[0].CornerSize.Y, GetParam().CornerSize);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, BoxCorners,
    ::testing::Values(CornerCase{EllipseCorner, BoxShape::Ellipse, 0}, CornerCase{0.0f, BoxShape::Square, 0},
                      CornerCase{1.0f, BoxShape::Rounded, 2}, CornerCase{25.0f, BoxShape::Rounded, 50},
                      CornerCase{100.0f, BoxShape::Rounded, 200}, CornerCase{101.0f, BoxShape::Rounded, 200},
                      CornerCase{1e9f, BoxShape::Rounded, 200}, CornerCase{-5.0f, BoxShape::Square, 0}));

TEST_F(PageModelTest, ShapesUseTheCurrentPenWidth) {
    StartJob();
    Surface.SetPenWidth(2);
    Surface.PageLineTo(10.0, 0.0, UseLineColour);
    Surface.PageBox(0.0f, 0.0f, 10.0f, 10.0f, EllipseCorner, UseLineColour, NoFill, 0);
    Surface.SetPenWidth(0);
    Surface.PageArc(0.0f, 0.0f, 10.0f, 10.0f, 0.0f, 1.0f, UseLineColour, NoFill, 0, false);
    EXPECT_EQ(OfKind(Log, Kind::Line).at(0).PenWidth, 2);
    EXPECT_EQ(OfKind(Log, Kind::Box).at(0).PenWidth, 2);
    EXPECT_EQ(OfKind(Log, Kind::Arc).at(0).PenWidth, 0);
}

// ---- Arcs: radial points computed from the angles, y up for the angle ----

class ArcAngles : public PageModelTest, public ::testing::WithParamInterface<double> {};

TEST_P(ArcAngles, RadialPointsLieOnTheRaysAtTheAnglesCountedTowardsTheTopOfThePage) {
    StartJob();
    const float start = static_cast<float>(GetParam());
    const float end = static_cast<float>(GetParam() + 0.5);
    Surface.PageArc(1000.0f, 2000.0f, 1200.0f, 2100.0f, start, end, UseLineColour, NoFill, 0, true);
    const auto arcs = OfKind(Log, Kind::Arc);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_TRUE(arcs[0].Pie);
    const double centreX = 1100.0;
    const double centreY = 2050.0;
    auto angleOf = [&](DevicePoint p) { return std::atan2(centreY - p.Y, p.X - centreX); };
    auto sameAngle = [](double a, double b) { return std::fabs(std::remainder(a - b, 2 * std::numbers::pi)); };
    EXPECT_LT(sameAngle(angleOf(arcs[0].From), start), 2e-3);
    EXPECT_LT(sameAngle(angleOf(arcs[0].To), end), 2e-3);
}

INSTANTIATE_TEST_SUITE_P(Angles, ArcAngles,
                         ::testing::Values(0.0, std::numbers::pi / 2, std::numbers::pi, 177.0 * std::numbers::pi / 180,
                                           3 * std::numbers::pi / 2, -1.0, 7.0, 2 * std::numbers::pi / 216));

class ArcsNearTheLimit : public PageModelTest, public ::testing::WithParamInterface<double> {};

TEST_P(ArcsNearTheLimit, RadialPointsStayWithinTheLimitAndOnTheirRays) {
    StartJob();
    const auto edge = static_cast<float>(PageCoordinateLimit);
    const float angle = static_cast<float>(GetParam());
    Surface.PageArc(edge - 600.0f, -edge, edge, -edge + 600.0f, angle, angle, UseLineColour, NoFill, 0, false);
    const auto arcs = OfKind(Log, Kind::Arc);
    ASSERT_EQ(arcs.size(), 1u);
    const double centreX = edge - 300.0;
    const double centreY = -edge + 300.0;
    for (DevicePoint p : {arcs[0].From, arcs[0].To}) {
        EXPECT_LE(std::fabs(p.X), PageCoordinateLimit);
        EXPECT_LE(std::fabs(p.Y), PageCoordinateLimit);
        const double rayAngle = std::atan2(centreY - p.Y, p.X - centreX);
        EXPECT_LT(std::fabs(std::remainder(rayAngle - angle, 2 * std::numbers::pi)), 1e-2);
    }
}

INSTANTIATE_TEST_SUITE_P(Angles, ArcsNearTheLimit,
                         ::testing::Values(0.0, std::numbers::pi / 4, std::numbers::pi / 2, std::numbers::pi,
                                           -std::numbers::pi / 2));

// ---- The page opens exactly once, at the first positioning, drawing or text operation ----

enum class FirstOperation { MoveTo, LineTo, Box, Arc, PrintLine };

class PageOpening : public PageModelTest, public ::testing::WithParamInterface<FirstOperation> {};

void Perform(PrintSurface& surface, FirstOperation operation) {
    switch (operation) {
    case FirstOperation::MoveTo:
        surface.PageMoveTo(10.0, 10.0);
        break;
    case FirstOperation::LineTo:
        surface.PageLineTo(10.0, 10.0, UseLineColour);
        break;
    case FirstOperation::Box:
        surface.PageBox(0.0f, 0.0f, 10.0f, 10.0f, 0.0f, UseLineColour, NoFill, 0);
        break;
    case FirstOperation::Arc:
        surface.PageArc(0.0f, 0.0f, 10.0f, 10.0f, 0.0f, 1.0f, UseLineColour, NoFill, 0, false);
        break;
    case FirstOperation::PrintLine:
        surface.PagePrintLine("text");
        break;
    }
}

TEST_P(PageOpening, SettingsOpenNoPageTheFirstOperationOpensItOnce) {
    StartJob();
    ASSERT_TRUE(Attached);
    Surface.SetPageOrientation(2);
    (void)Surface.GetPrinterResolution();
    Surface.SetForegroundColour(0xFF);
    Surface.SetBackgroundColour(0xFFFFFF);
    Surface.SetPenWidth(2);
    EXPECT_TRUE(OfKind(Log, Kind::StartPage).empty());
    Perform(Surface, GetParam());
    Perform(Surface, GetParam());
    Surface.PageLineTo(20.0, 20.0, UseLineColour);
    const auto pages = OfKind(Log, Kind::StartPage);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Orientation, 2);
    EXPECT_EQ(Log.front().What, Kind::StartDocument);
    EXPECT_EQ(Log.front().Text, "Print Job");
    Surface.EndPrintJob();
    const auto kinds = KindsOf(Log);
    const auto endPage = std::find(kinds.begin(), kinds.end(), Kind::EndPage);
    ASSERT_NE(endPage, kinds.end());
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Kind::EndPage), 1);
    ASSERT_NE(endPage + 1, kinds.end());
    EXPECT_EQ(*(endPage + 1), Kind::EndDocument);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Kind::EndDocument), 1);
}

INSTANTIATE_TEST_SUITE_P(Operations, PageOpening,
                         ::testing::Values(FirstOperation::MoveTo, FirstOperation::LineTo, FirstOperation::Box,
                                           FirstOperation::Arc, FirstOperation::PrintLine));

TEST_F(PageModelTest, ThePositionStartsAtTheOriginOfThePrintableArea) {
    StartJob();
    Surface.PageLineTo(30.0, 40.0, UseLineColour);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].From.X, 0);
    EXPECT_EQ(lines[0].From.Y, 0);
}

TEST_F(PageModelTest, OrientationChangedAfterThePageOpenedCostsNoExtraPage) {
    StartJob();
    Surface.PageMoveTo(0.0, 0.0);
    Surface.SetPageOrientation(2);
    Surface.PageLineTo(1.0, 1.0, UseLineColour);
    const auto pages = OfKind(Log, Kind::StartPage);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Orientation, 1);
}

TEST_F(PageModelTest, AJobWithoutDrawingEndsTheDocumentWithoutAPage) {
    StartJob();
    Surface.EndPrintJob();
    EXPECT_EQ(KindsOf(Log), (std::vector<Kind>{Kind::StartDocument, Kind::EndDocument}));
}

// ---- The job frame: cancel, failure, leftovers, clean end ----

TEST_F(PageModelTest, ACancelledChoiceAttachesNothingRecordsNoFailureAndDrawsNothing) {
    StartJob({}, PrinterChoiceResult::Cancelled);
    EXPECT_FALSE(Attached);
    EXPECT_FALSE(JobFailed);
    EXPECT_EQ(Chooser->Calls, 1);
    Surface.SetPageOrientation(2);
    EXPECT_EQ(Surface.GetPrinterResolution().X, 0);
    Surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, 0));
    Surface.PageMoveTo(1.0, 1.0);
    Surface.PageLineTo(2.0, 2.0, UseLineColour);
    Surface.PageBox(0.0f, 0.0f, 1.0f, 1.0f, 0.0f, UseLineColour, NoFill, 0);
    Surface.PagePrintLine("nothing");
    Surface.EndPrintJob();
    EXPECT_TRUE(Log.empty());
}

TEST_F(PageModelTest, AFailedChoiceIsRecordedAndDrawsNothing) {
    StartJob({}, PrinterChoiceResult::Failed);
    EXPECT_FALSE(Attached);
    EXPECT_TRUE(JobFailed);
    Surface.PageLineTo(2.0, 2.0, UseLineColour);
    Surface.EndPrintJob();
    EXPECT_TRUE(Log.empty());
}

TEST_F(PageModelTest, ADocumentThatCannotStartIsAFailureAndLeavesNothingAttached) {
    RecordingDeviceSettings settings;
    settings.FailStartDocument = true;
    StartJob(settings);
    EXPECT_FALSE(Attached);
    EXPECT_TRUE(JobFailed);
    Surface.PageLineTo(2.0, 2.0, UseLineColour);
    Surface.EndPrintJob();
    EXPECT_EQ(KindsOf(Log), (std::vector<Kind>{Kind::StartDocument}));
}

TEST_F(PageModelTest, AnEmptyPrinterNameMeansNoPrinterWithoutFailure) {
    RecordingDeviceSettings settings;
    settings.PrinterName.clear();
    StartJob(settings);
    EXPECT_FALSE(Attached);
    EXPECT_FALSE(JobFailed);
    Surface.PageLineTo(2.0, 2.0, UseLineColour);
    EXPECT_TRUE(Log.empty());
}

TEST_F(PageModelTest, WithoutAChooserThereIsNoPrinter) {
    Forwarding.Target = nullptr;
    EXPECT_TRUE(Surface.BeginPrintJob().Ok());
    EXPECT_FALSE(Surface.PrinterAttached());
}

TEST_F(PageModelTest, AJobAfterACancelledOneWorksNormally) {
    StartJob({}, PrinterChoiceResult::Cancelled);
    Surface.EndPrintJob();
    StartJob();
    EXPECT_TRUE(Attached);
    Surface.PageLineTo(2.0, 2.0, UseLineColour);
    Surface.EndPrintJob();
    EXPECT_EQ(KindsOf(Log),
              (std::vector<Kind>{Kind::StartDocument, Kind::StartPage, Kind::Line, Kind::EndPage, Kind::EndDocument}));
}

TEST_F(PageModelTest, BeginningAJobClosesWhatAnEarlierJobLeftOpen) {
    StartJob();
    Surface.PageLineTo(2.0, 2.0, UseLineColour);
    StartJob();
    EXPECT_EQ(KindsOf(Log), (std::vector<Kind>{Kind::StartDocument, Kind::StartPage, Kind::Line, Kind::EndPage,
                                               Kind::EndDocument, Kind::StartDocument}));
}

TEST_F(PageModelTest, EndingTheJobReleasesFontsAndClearsAllState) {
    StartJob();
    Surface.SetPageOrientation(2);
    Surface.SetForegroundColour(0xFF);
    Surface.SetBackgroundColour(0x00FF00);
    Surface.SetPenWidth(5);
    Surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, 0));
    Surface.SelectPrintFont(CreatePrintFont("Arial", 16.0f, FontItalic));
    Surface.PageMoveTo(100.0, 100.0);
    Surface.EndPrintJob();
    const auto made = OfKind(Log, Kind::MakeFont);
    const auto released = OfKind(Log, Kind::ReleaseFont);
    ASSERT_EQ(made.size(), 2u);
    ASSERT_EQ(released.size(), 2u);
    EXPECT_NE(released[0].Font, released[1].Font);
    for (const DeviceRequest& font : released) {
        EXPECT_TRUE(font.Font == made[0].Font || font.Font == made[1].Font);
    }
    Surface.EndPrintJob();
    EXPECT_EQ(OfKind(Log, Kind::EndDocument).size(), 1u);

    Log.clear();
    StartJob();
    Surface.PageLineTo(10.0, 10.0, UseLineColour);
    Surface.PagePrintLine("fresh");
    const auto page = OfKind(Log, Kind::StartPage);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].Orientation, 1);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].From.X, 0);
    EXPECT_EQ(lines[0].Colour, 0u);
    EXPECT_EQ(lines[0].PenWidth, 0);
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_FALSE(texts[0].Opaque);
}

TEST_F(PageModelTest, ResolutionComesFromThePrinter) {
    RecordingDeviceSettings settings;
    settings.Resolution = DevicePoint{1200, 600};
    StartJob(settings);
    const PrinterResolution resolution = Surface.GetPrinterResolution();
    EXPECT_EQ(resolution.X, 1200);
    EXPECT_EQ(resolution.Y, 600);
}

// ---- Fonts: height from points, 0 points become 8, realised when selected ----

struct FontCase {
    float Points;
    int DotsPerInch;
    int Height;
};

class FontHeights : public PageModelTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(FontHeights, HeightIsMinusRoundedPointsTimesDotsPerInchOver72) {
    RecordingDeviceSettings settings;
    settings.Resolution = DevicePoint{600, GetParam().DotsPerInch};
    StartJob(settings);
    Surface.SelectPrintFont(CreatePrintFont("Arial", GetParam().Points, 0));
    const auto fonts = OfKind(Log, Kind::MakeFont);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].FontRequest.Height, GetParam().Height);
    EXPECT_EQ(fonts[0].FontRequest.Face, "Arial");
}

// The printouts' sizes with CorrectionFactorY 1, 0.5 and 0 (0 points become 8).
INSTANTIATE_TEST_SUITE_P(CorrectionFactors, FontHeights,
                         ::testing::Values(FontCase{12.0f, 600, -100}, FontCase{16.0f, 600, -133},
                                           FontCase{10.0f, 600, -83}, FontCase{18.0f, 600, -150},
                                           FontCase{12.0f * 0.5f, 600, -50}, FontCase{16.0f * 0.5f, 600, -67},
                                           FontCase{10.0f * 0.5f, 600, -42}, FontCase{18.0f * 0.5f, 600, -75},
                                           FontCase{12.0f * 0.0f, 600, -67}, FontCase{10.0f * 0.0f, 300, -33}));
// 144 dpi makes a quarter point a half dot: ties go to the even height.
INSTANTIATE_TEST_SUITE_P(Ties, FontHeights,
                         ::testing::Values(FontCase{0.75f, 144, -2}, FontCase{1.25f, 144, -2}, FontCase{1.75f, 144, -4},
                                           FontCase{-1.25f, 144, 2}));

TEST(CreatePrintFont, ZeroPointsBecomeEightAndStyleIsKept) {
    const PrintFont zero = CreatePrintFont("Arial", 0.0f, FontItalic);
    EXPECT_EQ(zero.Points, 8.0f);
    EXPECT_EQ(zero.Style, FontItalic);
    EXPECT_EQ(zero.Face, "Arial");
    EXPECT_EQ(CreatePrintFont("Arial", 0.5f, 0).Points, 0.5f);
    EXPECT_EQ(CreatePrintFont("Arial", -0.0f, 0).Points, 8.0f);
}

struct StyleCase {
    int Style;
    int Weight;
    bool Italic;
    bool Underline;
    bool StrikeOut;
};

class FontStyles : public PageModelTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(FontStyles, StyleBitsBecomeWeightAndFlags) {
    StartJob();
    Surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, GetParam().Style));
    const auto fonts = OfKind(Log, Kind::MakeFont);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].FontRequest.Weight, GetParam().Weight);
    EXPECT_EQ(fonts[0].FontRequest.Italic, GetParam().Italic);
    EXPECT_EQ(fonts[0].FontRequest.Underline, GetParam().Underline);
    EXPECT_EQ(fonts[0].FontRequest.StrikeOut, GetParam().StrikeOut);
}

INSTANTIATE_TEST_SUITE_P(Bits, FontStyles,
                         ::testing::Values(StyleCase{0, 400, false, false, false},
                                           StyleCase{1, 700, false, false, false},
                                           StyleCase{2, 400, true, false, false}, StyleCase{4, 400, false, true, false},
                                           StyleCase{8, 400, false, false, true},
                                           StyleCase{15, 700, true, true, true}));

TEST_F(PageModelTest, AFontIsRealisedOnceWhenSelectedAndReusedWhenSelectedAgain) {
    StartJob();
    const PrintFont label = CreatePrintFont("Arial", 12.0f, 0);
    const PrintFont title = CreatePrintFont("Arial", 16.0f, FontItalic);
    Surface.SelectPrintFont(label);
    EXPECT_EQ(OfKind(Log, Kind::MakeFont).size(), 1u);
    EXPECT_TRUE(OfKind(Log, Kind::StartPage).empty());
    Surface.SelectPrintFont(title);
    Surface.SelectPrintFont(label);
    Surface.PagePrintLine("label");
    const auto fonts = OfKind(Log, Kind::MakeFont);
    ASSERT_EQ(fonts.size(), 2u);
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Font, fonts[0].Font);
}

TEST_F(PageModelTest, TextBeforeAnyFontUsesArialAtEightPoints) {
    StartJob();
    Surface.PagePrintLine("plain");
    const auto fonts = OfKind(Log, Kind::MakeFont);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].FontRequest.Face, "Arial");
    EXPECT_EQ(fonts[0].FontRequest.Height, -67);
}

TEST_F(PageModelTest, AFontSizeThatIsNotANumberFallsBackToEightPoints) {
    StartJob();
    Surface.SelectPrintFont(CreatePrintFont("Arial", std::numeric_limits<float>::quiet_NaN(), 0));
    Surface.SelectPrintFont(CreatePrintFont("Arial", std::numeric_limits<float>::infinity(), 0));
    const auto fonts = OfKind(Log, Kind::MakeFont);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].FontRequest.Height, -67);
    EXPECT_LT(fonts[1].FontRequest.Height, 0);
    EXPECT_GE(fonts[1].FontRequest.Height, -65535);
}

// ---- Text: the opaque cell, clipping and the move to the next line ----

TEST_F(PageModelTest, TextCellStartsAtThePositionAndIsClippedToTheRightEdgeAndOneLine) {
    StartJob();
    Surface.SetForegroundColour(0x0000FF);
    Surface.SelectPrintFont(CreatePrintFont("Arial", 12.0f, 0));
    Surface.PageMoveTo(2244.0, 1300.0);
    Surface.PagePrintLine("pivot");
    const int lineHeight = RecordedFontMetrics(-100).Height + RecordedFontMetrics(-100).ExternalLeading;
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "pivot");
    EXPECT_EQ(texts[0].From.X, 2244);
    EXPECT_EQ(texts[0].From.Y, 1300);
    EXPECT_EQ(texts[0].Colour, 0x0000FFu);
    EXPECT_EQ(texts[0].Rect.Left, 2244);
    EXPECT_EQ(texts[0].Rect.Top, 1300);
    EXPECT_EQ(texts[0].Rect.Right, RecordingDeviceSettings{}.PortraitPrintableSize.X);
    EXPECT_EQ(texts[0].Rect.Bottom, 1300 + lineHeight);
}

TEST_F(PageModelTest, TheNextLineStartsAtTheLeftEdgeOneLineHeightBelow) {
    StartJob();
    Surface.SelectPrintFont(CreatePrintFont("Arial", 16.0f * 0.5f, 0));
    Surface.PageMoveTo(500.0, 40.0);
    Surface.PagePrintLine("first");
    Surface.PagePrintLine("second");
    const DeviceFontMetrics metrics = RecordedFontMetrics(-67);
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].From.X, 0);
    EXPECT_EQ(texts[1].From.Y, 40 + metrics.Height + metrics.ExternalLeading);
    Surface.PageLineTo(10.0, 10.0, UseLineColour);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].From.X, 0);
    EXPECT_EQ(lines[0].From.Y, 40 + 2 * (metrics.Height + metrics.ExternalLeading));
}

TEST_F(PageModelTest, LandscapeTextIsClippedAtTheLandscapeRightEdge) {
    StartJob();
    Surface.SetPageOrientation(2);
    Surface.PageMoveTo(100.0, 100.0);
    Surface.PagePrintLine("wide");
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Rect.Right, RecordingDeviceSettings{}.PortraitPrintableSize.Y);
}

TEST_F(PageModelTest, TextBeyondTheRightEdgeGetsAnEmptyClip) {
    StartJob();
    Surface.PageMoveTo(9000.0, 100.0);
    Surface.PagePrintLine("gone");
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_LE(texts[0].Rect.Right, texts[0].Rect.Left);
}

TEST_F(PageModelTest, TextIsTransparentUntilABackgroundIsSetThenOpaqueInIt) {
    StartJob();
    Surface.PagePrintLine("see-through");
    Surface.SetBackgroundColour(0xEEDDCC);
    Surface.PagePrintLine("opaque");
    Surface.SetBackgroundColour(MakeColour(300, -4, 17));
    Surface.PagePrintLine("clamped");
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_FALSE(texts[0].Opaque);
    EXPECT_TRUE(texts[1].Opaque);
    EXPECT_EQ(texts[1].Background, 0xEEDDCCu);
    EXPECT_TRUE(texts[2].Opaque);
    EXPECT_EQ(texts[2].Background, 0x1100FFu);
}

TEST_F(PageModelTest, OutOfRangeSettingsKeepOrLimitTheCurrentOnes) {
    StartJob();
    Surface.SetForegroundColour(0x00AA00);
    Surface.SetForegroundColour(UseLineColour);
    Surface.SetBackgroundColour(0x0000AA);
    Surface.SetPageOrientation(3);
    Surface.SetPenWidth(-4);
    Surface.PageLineTo(10.0, 10.0, UseLineColour);
    Surface.PagePrintLine("opaque");
    Surface.SetBackgroundColour(UseLineColour);
    Surface.PagePrintLine("still opaque");
    Surface.SetBackgroundColour(NoFill);
    Surface.PagePrintLine("transparent again");
    const auto page = OfKind(Log, Kind::StartPage);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].Orientation, 1);
    const auto lines = OfKind(Log, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Colour, 0x00AA00u);
    EXPECT_EQ(lines[0].PenWidth, 0);
    const auto texts = OfKind(Log, Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[0].Opaque);
    EXPECT_TRUE(texts[1].Opaque);
    EXPECT_EQ(texts[1].Background, 0x0000AAu);
    EXPECT_FALSE(texts[2].Opaque);
}

// ---- Dots per millimetre: the divisor is 25.4 in single precision ----

struct DotsPerMmCase {
    std::int32_t DotsPerInch;
    double Factor;
    double Expected;
};

class DotsPerMmValues : public ::testing::TestWithParam<DotsPerMmCase> {};

TEST_P(DotsPerMmValues, ResolutionTimesFactorOverSinglePrecision254) {
    EXPECT_DOUBLE_EQ(DotsPerMm(GetParam().DotsPerInch, GetParam().Factor), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Values, DotsPerMmValues,
                         ::testing::Values(DotsPerMmCase{600, 1.0, 600 / 25.399999618530273},
                                           DotsPerMmCase{600, 1.01, 606 / 25.399999618530273},
                                           DotsPerMmCase{300, 0.5, 150 / 25.399999618530273},
                                           DotsPerMmCase{1200, 1.0, 1200 / 25.399999618530273},
                                           DotsPerMmCase{600, 0.0, 0.0}));

TEST(DotsPerMm, TwoHundredMillimetresAt600DpiAreAbout4724Dots) {
    EXPECT_NEAR(200 * DotsPerMm(600, 1.0), 4724.4, 0.05);
    EXPECT_NEAR(200 * DotsPerMm(600, 1.01) / (200 * DotsPerMm(600, 1.0)), 1.01, 1e-12);
}

} // namespace
