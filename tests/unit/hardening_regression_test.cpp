// Faults that fuzzing found, each kept fixed by the smallest case that showed it.
#include "geometry/windows_1252.h"
#include "print/page_model.h"
#include "print/recording_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

// A readable test name from a case's description.
std::string TestName(const char* description) {
    std::string name(description);
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// ---- An arc's radial points stay within the coordinate limit and still point along the arc's angles ----

struct FarArcCase {
    const char* Name;
    float Left, Top, Right, Bottom;
    float StartAngle, EndAngle;
    bool Drawn; // false: the centre lies too close to the limit to mark the rays, and the arc is dropped
};

class FarArcs : public testing::TestWithParam<FarArcCase> {};

double RayAngle(const DeviceRect& box, DevicePoint through) {
    const double cx = (static_cast<double>(box.Left) + box.Right) / 2.0;
    const double cy = (static_cast<double>(box.Top) + box.Bottom) / 2.0;
    return std::atan2(-(through.Y - cy), through.X - cx);
}

// How far rounding the point to whole dots can turn the ray through it (at least a thousandth of a radian).
double RoundingTurn(const DeviceRect& box, DevicePoint through) {
    const double cx = (static_cast<double>(box.Left) + box.Right) / 2.0;
    const double cy = (static_cast<double>(box.Top) + box.Bottom) / 2.0;
    return std::max(0.002, std::asin(std::min(1.0, 0.75 / std::hypot(through.X - cx, through.Y - cy))));
}

double AngleBetween(double a, double b) {
    return std::fabs(std::remainder(a - b, 2 * std::numbers::pi));
}

TEST_P(FarArcs, RadialPointsStayInsideTheLimitOnTheirRaysOrTheArcIsDropped) {
    const FarArcCase& c = GetParam();
    std::vector<DeviceRequest> log;
    RecordingPrinterChooser chooser(log);
    PrintSurface surface(chooser);
    ASSERT_TRUE(surface.BeginPrintJob().Ok() && surface.PrinterAttached());
    surface.PageArc(c.Left, c.Top, c.Right, c.Bottom, c.StartAngle, c.EndAngle, UseLineColour, UseLineColour, 0, true);
    surface.EndPrintJob();

    std::vector<DeviceRequest> arcs;
    for (const DeviceRequest& request : log) {
        if (request.What == DeviceRequest::Kind::Arc) {
            arcs.push_back(request);
        }
    }
    ASSERT_EQ(arcs.size(), c.Drawn ? 1u : 0u) << c.Name;
    if (!c.Drawn) {
        return;
    }
    const DeviceRequest& arc = arcs.front();
    for (const DevicePoint point : {arc.From, arc.To}) {
        EXPECT_LE(std::fabs(static_cast<double>(point.X)), PageCoordinateLimit) << c.Name;
        EXPECT_LE(std::fabs(static_cast<double>(point.Y)), PageCoordinateLimit) << c.Name;
    }
    EXPECT_LT(AngleBetween(RayAngle(arc.Rect, arc.From), c.StartAngle), RoundingTurn(arc.Rect, arc.From)) << c.Name;
    EXPECT_LT(AngleBetween(RayAngle(arc.Rect, arc.To), c.EndAngle), RoundingTurn(arc.Rect, arc.To)) << c.Name;
}

constexpr float Limit = static_cast<float>(PageCoordinateLimit);
constexpr float Pi = std::numbers::pi_v<float>;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Limits, FarArcs, testing::Values(
    // A box as wide as the whole coordinate range: its centre is the origin, its size twice the limit.
    FarArcCase{"whole range", -Limit, -Limit, Limit, Limit, Pi / 4, Pi / 4 + 0.01f, true},
    // A strobe wedge with a correction factor near 200: centre about 0.5 M dots, diameter 0.8 M dots.
    FarArcCase{"huge wedge", 82000.f, 224000.f, 908000.f, 1048000.f, 0.1f, 0.1f + Pi / 216, true},
    // Centres a little way inside the limit still leave room for the rays.
    FarArcCase{"near the limit", Limit - 3000, Limit - 3000, Limit - 2000, Limit - 2000, Pi / 4, -Pi / 4, true},
    FarArcCase{"corner box", Limit - 600, -Limit, Limit, -Limit + 600, Pi / 4, -Pi / 2, true},
    // Centres on the limit leave no room for rays that point outwards.
    FarArcCase{"box on the limit", Limit - 4, Limit - 4, Limit, Limit, 0.0f, -Pi / 2, false},
    FarArcCase{"box on the negative limit", -Limit, -Limit, -Limit + 4, -Limit + 4, Pi, Pi / 2, false},
    FarArcCase{"flat box on the limit", -19024.f, Limit, Limit, Limit, 1048576.f, -1048576.f, false},
    // Ordinary boxes keep working.
    FarArcCase{"small box", 100.f, 100.f, 110.f, 120.f, 1.0f, 2.0f, true},
    FarArcCase{"page box", 0.f, 0.f, 4000.f, 4000.f, -3.0f, 3.0f, true}),
    [](const testing::TestParamInfo<FarArcCase>& row) { return TestName(row.param.Name); });
// clang-format on

// ---- Every byte of program text survives the way out to the platform's text and back ----

struct ByteCase {
    const char* Name;
    unsigned char Byte;
};

class ProgramTextBytes : public testing::TestWithParam<ByteCase> {};

TEST_P(ProgramTextBytes, SurviveUtf8AndUtf16RoundTrips) {
    const std::string text = std::string("a") + static_cast<char>(GetParam().Byte) + "z";
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(text)), text) << GetParam().Name;
    EXPECT_EQ(Utf16ToWindows1252(Windows1252ToUtf16(text)), text) << GetParam().Name;
}

// The five bytes the code page leaves undefined stand for the C1 controls of the same number, both ways; their
// neighbours are ordinary characters.
// clang-format off
INSTANTIATE_TEST_SUITE_P(CodePage, ProgramTextBytes, testing::Values(
    ByteCase{"undefined 0x81", 0x81}, ByteCase{"undefined 0x8D", 0x8D}, ByteCase{"undefined 0x8F", 0x8F},
    ByteCase{"undefined 0x90", 0x90}, ByteCase{"undefined 0x9D", 0x9D},
    ByteCase{"euro 0x80", 0x80}, ByteCase{"z caron 0x9E", 0x9E}, ByteCase{"y diaeresis 0x9F", 0x9F},
    ByteCase{"no-break space 0xA0", 0xA0}, ByteCase{"degree 0xB0", 0xB0}, ByteCase{"o diaeresis 0xF6", 0xF6},
    ByteCase{"y diaeresis 0xFF", 0xFF}, ByteCase{"delete 0x7F", 0x7F}, ByteCase{"nul 0x00", 0x00}),
    [](const testing::TestParamInfo<ByteCase>& row) { return TestName(row.param.Name); });
// clang-format on

} // namespace
