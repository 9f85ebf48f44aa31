// The browser's PDFs (saved by browser.test.mjs) measured on the rendered page and set against the Linux tool's PDF
// for the same inputs.
#include "geometry/angles.h"
#include "tests/cli/page_raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace {

constexpr double DotsPerMm = 600 / 25.4;

std::optional<PageRaster> Page(const std::string& name, int sheet = 1) {
    return PageRaster::Of(std::string(QUILLMERE_WEB_OUT) + "/" + name + ".pdf", 600, sheet);
}

// Dark pixels of one page with nothing dark within one dot of them on the other.
int StrayDots(const PageRaster& page, const PageRaster& other) {
    int stray = 0;
    for (int y = 0; y < page.Height; ++y) {
        for (int x = 0; x < page.Width; ++x) {
            if (page.At(x, y) < 0.5) {
                continue;
            }
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    near = other.At(x + dx, y + dy) >= 0.25;
                }
            }
            stray += near ? 0 : 1;
        }
    }
    return stray;
}

class WebPage : public testing::TestWithParam<const char*> {};

TEST_P(WebPage, LineWorkWithinOneDotOfTheLinuxToolsPage) {
    const auto web = Page(std::string("web-") + GetParam());
    const auto tool = Page(std::string("tool-") + GetParam());
    ASSERT_TRUE(web && tool) << "run browser.test.mjs first";
    ASSERT_EQ(web->Width, tool->Width);
    ASSERT_EQ(web->Height, tool->Height);
    EXPECT_EQ(StrayDots(*web, *tool), 0);
    EXPECT_EQ(StrayDots(*tool, *web), 0);
}

// Each sheet of a template that comes on two, as the Linux tool draws it.
TEST(WebTiledTemplate, BothSheetsWithinOneDotOfTheLinuxToolsSheets) {
    for (const int sheet : {1, 2}) {
        SCOPED_TRACE(sheet);
        const auto web = Page("web-arc-tiled", sheet);
        const auto tool = Page("tool-arc-tiled", sheet);
        ASSERT_TRUE(web && tool) << "run browser.test.mjs first";
        EXPECT_EQ(StrayDots(*web, *tool), 0);
        EXPECT_EQ(StrayDots(*tool, *web), 0);
    }
    EXPECT_FALSE(Page("web-arc-tiled", 3)) << "a third sheet";
}

INSTANTIATE_TEST_SUITE_P(Downloads, WebPage,
                         testing::Values("arc-letter", "arc-a4", "arc-nulls", "strobe-60", "strobe-50", "strobe-custom",
                                         "strobe-speeds", "chart"),
                         [](const auto& param) {
                             std::string name = param.param;
                             if (const auto dash = name.find('-'); dash != std::string::npos) {
                                 name.erase(dash, 1);
                             }
                             return name;
                         });

struct FrameCase {
    const char* Name;
    double MarginMm;
    double ScaleDown; // the Y correction factor
};

void PrintTo(const FrameCase& c, std::ostream* out) {
    *out << c.Name;
}

class WebArcFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(WebArcFrame, TicksAtTheirDistancesFromTheAxesWithinOneDot) {
    const FrameCase& c = GetParam();
    const auto page = Page(std::string("web-") + c.Name);
    ASSERT_TRUE(page);
    const auto px = [&](double mm) { return (mm + c.MarginMm) * DotsPerMm; };
    const double row = px(3 * c.ScaleDown);
    const double column = px(3);
    const double verticalAxis = page->CentreAlongRow(row, px(0), px(2.5));
    const double horizontalAxis = page->CentreAlongColumn(column, px(0), px(2.5 * c.ScaleDown));
    for (const double distance : {100.0, 180.0, 200.0}) {
        SCOPED_TRACE(distance);
        const double across = page->CentreAlongRow(row, px(distance), px(distance + 2));
        const double down =
            page->CentreAlongColumn(column, px(distance * c.ScaleDown), px((distance + 2) * c.ScaleDown));
        EXPECT_NEAR(across - verticalAxis, distance * DotsPerMm, 1);
        EXPECT_NEAR(down - horizontalAxis, distance * c.ScaleDown * DotsPerMm, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Downloads, WebArcFrame,
                         testing::Values(FrameCase{"arc-letter", 4.23, 1.0}, FrameCase{"arc-a4", 3.0, 0.99}),
                         [](const auto& param) { return param.param.MarginMm == 3.0 ? "A4" : "Letter"; });

struct DiskCase {
    const char* Name;
    int OuterBars;
    int InnerBars;
};

void PrintTo(const DiskCase& c, std::ostream* out) {
    *out << c.Name;
}

class WebStrobeDisk : public testing::TestWithParam<DiskCase> {};

TEST_P(WebStrobeDisk, RingRadiiWithinOneDot) {
    const DiskCase& c = GetParam();
    const auto page = Page(std::string("web-") + c.Name);
    ASSERT_TRUE(page);
    const double cx = (104 + 4.23) * DotsPerMm;
    const double cy = (134 + 4.23) * DotsPerMm;
    struct Ring {
        int Bars;
        double Inner, Outer;
    };
    for (const Ring ring : {Ring{c.OuterBars, 75, 87.5}, Ring{c.InnerBars, 67.5, 72.5}}) {
        SCOPED_TRACE(ring.Inner);
        // Through the middle of the ring's first bar.
        const auto edges = EdgesAlongRay(*page, cx, cy, Pi / (2 * ring.Bars), (ring.Inner - 1) * DotsPerMm,
                                         (ring.Outer + 1) * DotsPerMm);
        ASSERT_EQ(edges.size(), 2u);
        EXPECT_NEAR(edges[0], ring.Inner * DotsPerMm, 1);
        EXPECT_NEAR(edges[1], ring.Outer * DotsPerMm, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Downloads, WebStrobeDisk,
                         testing::Values(DiskCase{"strobe-60", 216, 160}, DiskCase{"strobe-50", 180, 133},
                                         DiskCase{"strobe-custom", 200, 148}),
                         [](const auto& param) { return std::to_string(param.param.OuterBars); });

} // namespace
