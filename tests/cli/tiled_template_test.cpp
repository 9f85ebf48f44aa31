// The arc template of long arms, on one large sheet or tiled across sheets: each sheet rasterised as a viewer shows
// it, the sheets joined through the registration crosses found on them, and the joined template measured against
// the geometry of one sheet.
#include "print/arc_elements.h"
#include "print/arc_sheets.h"
#include "tests/cli/page_raster.h"
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double DotsPerMm = 600 / 25.4;
constexpr double MarginMm = 4.23;
constexpr double SpindleX = 43;
constexpr double LineY = 40;

double Px(double millimetres) {
    return (millimetres + MarginMm) * DotsPerMm;
}

std::string Shell(const std::string& command, const std::string& folder) {
    const std::string out = folder + "/shell.txt";
    if (std::system((command + " >" + Quoted(out) + " 2>/dev/null").c_str()) != 0) {
        return "";
    }
    return ReadWholeFile(out);
}

// Centres of the dark runs down a column between two rows (pixels).
std::vector<double> RunsDownColumn(const PageRaster& page, double x, double fromY, double toY) {
    std::vector<double> centres;
    double sum = 0;
    double weighted = 0;
    for (int y = static_cast<int>(fromY); y <= static_cast<int>(toY); ++y) {
        const double dark = page.At(static_cast<int>(x), y);
        if (dark > 0.3) {
            sum += dark;
            weighted += dark * (y + 0.5);
        } else if (sum > 0) {
            centres.push_back(weighted / sum);
            sum = weighted = 0;
        }
    }
    return centres;
}

// A join as one sheet shows it: its line and the centres of its registration crosses, found in the raster within
// the band of 30 mm at the sheet's right edge (the earlier sheet) or its left edge (the later one).
struct FoundJoin {
    double LineX = 0;
    std::vector<double> CrossX;
    std::vector<double> CrossY;
};

FoundJoin FindJoin(const PageRaster& page, bool rightEdge) {
    const double band = 30 * DotsPerMm;
    const double from = rightEdge ? page.Width - MarginMm * DotsPerMm - band : MarginMm * DotsPerMm;
    // The join line runs down the sheet: the column with the most ink between the crosses' rows.
    int best = static_cast<int>(from);
    double most = -1;
    for (int x = static_cast<int>(from); x < from + band; ++x) {
        double ink = 0;
        for (int y = static_cast<int>(Px(125)); y < Px(175); ++y) {
            ink += page.At(x, y);
        }
        if (ink > most) {
            most = ink;
            best = x;
        }
    }
    FoundJoin join;
    join.LineX = page.CentreAlongRow(Px(150), best - 10, best + 10);
    // Beside the line only the crosses' level arms cross a column; the word there ("cut", "glue") is on the side the
    // joined sheets hide.
    const double side = (rightEdge ? -3.5 : 3.5) * DotsPerMm;
    for (const double y : RunsDownColumn(page, join.LineX + side, Px(45), Px(200))) {
        join.CrossY.push_back(y);
        join.CrossX.push_back(
            page.CentreAlongRow(y + 3.5 * DotsPerMm, join.LineX - 1.5 * DotsPerMm, join.LineX + 1.5 * DotsPerMm));
    }
    return join;
}

// The later sheet laid over the joined ones so that its crosses cover theirs, cut along the earlier sheet's line.
std::optional<PageRaster> JoinNext(const PageRaster& joined, const PageRaster& next) {
    const FoundJoin left = FindJoin(joined, true);
    const FoundJoin right = FindJoin(next, false);
    EXPECT_EQ(left.CrossY.size(), std::size(RegistrationCrossY));
    EXPECT_EQ(right.CrossY.size(), left.CrossY.size());
    if (left.CrossY.size() != right.CrossY.size() || left.CrossY.empty()) {
        return std::nullopt;
    }
    double dx = 0;
    double dy = 0;
    for (std::size_t i = 0; i < left.CrossY.size(); ++i) {
        dx += left.CrossX[i] - right.CrossX[i];
        dy += left.CrossY[i] - right.CrossY[i];
    }
    const double count = static_cast<double>(left.CrossY.size());
    return PageRaster::Joined(joined, next, static_cast<int>(std::lround(dx / count)),
                              static_cast<int>(std::lround(dy / count)), static_cast<int>(std::lround(left.LineX)));
}

// The mean of a line's two edges along a ray: where its middle lies.
double LineAlongRay(const PageRaster& page, double cx, double cy, double angle, double from, double to) {
    const std::vector<double> edges = EdgesAlongRay(page, cx, cy, angle, from, to);
    return edges.size() == 2 ? (edges[0] + edges[1]) / 2 : std::nan("");
}

struct SheetCase {
    const char* Paper;
    double Distance;
    int Sheets;
};

class LongArmTemplate : public testing::TestWithParam<SheetCase> {};

TEST_P(LongArmTemplate, JoinedThroughItsCrossesItMeasuresAsOneSheet) {
    const SheetCase& c = GetParam();
    const std::string folder = FreshTestFolder(std::string("long-arm-") + c.Paper);
    std::ostringstream distance;
    distance << c.Distance;
    const ToolResult result = RunTool(
        {"arc", "--paper", c.Paper, "--spindle-to-pivot", distance.str(), "--preset", "iec", "-o", "t.pdf", "--strict"},
        folder);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::string pdf = folder + "/t.pdf";
    EXPECT_FALSE(PageRaster::Of(pdf, 10, c.Sheets + 1)) << "no more pages than sheets";

    std::optional<PageRaster> joined = PageRaster::Of(pdf, 600, 1);
    ASSERT_TRUE(joined);
    for (int sheet = 2; sheet <= c.Sheets; ++sheet) {
        SCOPED_TRACE(sheet);
        const std::optional<PageRaster> next = PageRaster::Of(pdf, 600, sheet);
        ASSERT_TRUE(next);
        EXPECT_NE(
            Shell("pdftotext -f " + std::to_string(sheet) + " -l " + std::to_string(sheet) + " " + Quoted(pdf) + " -",
                  folder)
                .find("Sheet " + std::to_string(sheet) + " of " + std::to_string(c.Sheets)),
            std::string::npos);
        // Its own scale check: the bar down to the tick 100 mm across, the bar across to the tick 100 mm up.
        const double cornerX = ScaleCheckCornerX;
        const double cornerY = ScaleCheckCornerY;
        const double across = next->CentreAlongRow(Px(cornerY - 2), Px(cornerX + 98.5), Px(cornerX + 101.5)) -
                              next->CentreAlongRow(Px(cornerY - 2), Px(cornerX - 1.5), Px(cornerX + 1.5));
        const double down = next->CentreAlongColumn(Px(cornerX + 2), Px(cornerY - 1.5), Px(cornerY + 1.5)) -
                            next->CentreAlongColumn(Px(cornerX + 2), Px(cornerY - 101.5), Px(cornerY - 98.5));
        EXPECT_NEAR(across, 100 * DotsPerMm, 1);
        EXPECT_NEAR(down, 100 * DotsPerMm, 1);
        joined = JoinNext(*joined, *next);
        ASSERT_TRUE(joined);
    }
    const PageRaster& page = *joined;

    // The spindle and pivot crosses, 1 mm below the line through both.
    const double spindle = page.CentreAlongRow(Px(LineY + 1), Px(SpindleX - 1.5), Px(SpindleX + 1.5));
    const double pivot =
        page.CentreAlongRow(Px(LineY + 1), Px(SpindleX + c.Distance - 1.5), Px(SpindleX + c.Distance + 1.5));
    EXPECT_NEAR(spindle, Px(SpindleX), 1);
    EXPECT_NEAR(pivot - spindle, c.Distance * DotsPerMm, 1);

    // The frame's 200 mm ticks across and down.
    const double axisX = page.CentreAlongRow(Px(3), Px(0), Px(2.5));
    const double axisY = page.CentreAlongColumn(Px(3), Px(0), Px(2.5));
    EXPECT_NEAR(page.CentreAlongRow(Px(3), Px(200), Px(202)) - axisX, 200 * DotsPerMm, 1);
    EXPECT_NEAR(page.CentreAlongColumn(Px(3), Px(200), Px(202)) - axisY, 200 * DotsPerMm, 1);

    // The single sheet's geometry from the alignment the tool computes.
    const double pivotX = SpindleX + c.Distance;
    double nulls[2][2] = {};
    const std::string values = RunTool({"values", "--spindle-to-pivot", distance.str(), "--preset", "iec"}).Out;
    const auto valueOf = [&](const std::string& name) {
        const std::size_t at = values.find(name + " = ");
        return at == std::string::npos ? std::nan("") : std::atof(values.c_str() + at + name.size() + 3);
    };
    const double length = valueOf("Effective length");
    const double radii[] = {valueOf("Inner null radius"), valueOf("Outer null radius")};
    for (int i = 0; i < 2; ++i) {
        const std::optional<PagePosition> point =
            IntersectCircles(radii[i], length, c.Distance, SpindleX, LineY, pivotX, LineY);
        ASSERT_TRUE(point);
        nulls[i][0] = point->X;
        nulls[i][1] = point->Y;
    }
    // Where the arc runs between the two grids, clear of their lines.
    const double between = (nulls[0][1] + nulls[1][1]) / 2;
    const double angle = std::numbers::pi + std::asin((between - LineY) / length);
    EXPECT_NEAR(LineAlongRay(page, Px(pivotX), Px(LineY), angle, (length - 3) * DotsPerMm, (length + 3) * DotsPerMm),
                length * DotsPerMm, 1);

    // Each null point's 4 mm marker, measured along the diagonals of its grid, which no grid line follows.
    for (const auto& point : nulls) {
        SCOPED_TRACE(point[1]);
        const double turn = std::atan((point[0] - SpindleX) / (point[1] - LineY));
        const double cx = Px(point[0]);
        const double cy = Px(point[1]);
        double shiftX = 0;
        double shiftY = 0;
        for (const double diagonal : {std::numbers::pi / 4, 3 * std::numbers::pi / 4}) {
            const double a = turn + diagonal;
            const double out = LineAlongRay(page, cx, cy, a, 1.4 * DotsPerMm, 2.5 * DotsPerMm);
            const double back = LineAlongRay(page, cx, cy, a + std::numbers::pi, 1.4 * DotsPerMm, 2.5 * DotsPerMm);
            shiftX += (out - back) / 2 * std::cos(a);
            shiftY -= (out - back) / 2 * std::sin(a);
        }
        EXPECT_NEAR(shiftX, 0, 1);
        EXPECT_NEAR(shiftY, 0, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Papers, LongArmTemplate,
                         testing::Values(SheetCase{"a4", 300, 2}, SheetCase{"letter", 300, 2}, SheetCase{"a3", 300, 1},
                                         SheetCase{"tabloid", 300, 1}, SheetCase{"legal", 400, 2}),
                         [](const testing::TestParamInfo<SheetCase>& param) {
                             return std::string(param.param.Paper) + "_" +
                                    std::to_string(static_cast<int>(param.param.Distance));
                         });

} // namespace
