#include "geometry/angles.h"
#include "tests/cli/page_raster.h"
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double DotsPerMm = 600 / 25.4;
constexpr double DefaultMarginMm = 4.23;

int RunShell(const std::vector<std::string>& words) {
    std::string command;
    for (const std::string& word : words) {
        command += Quoted(word) + " ";
    }
    return std::system((command + ">/dev/null 2>&1").c_str());
}

// Page millimetres (from the printable-area origin) to raster pixels.
double Px(double millimetres, double marginMm = DefaultMarginMm) {
    return (millimetres + marginMm) * DotsPerMm;
}

std::string PdfText(const std::string& pdf) {
    const std::string text = pdf + ".txt";
    if (RunShell({"pdftotext", pdf, text}) != 0) {
        return "";
    }
    return ReadWholeFile(text);
}

} // namespace

// --- the arc template measured on the rendered page ---

struct PaperCase {
    const char* Paper;
};

class ArcTemplateFrame : public testing::TestWithParam<PaperCase> {};

TEST_P(ArcTemplateFrame, TicksAtTheirDistancesFromTheAxesWithinOneDot) {
    const std::string folder = FreshTestFolder(std::string("arc-frame-") + GetParam().Paper);
    const ToolResult result = RunTool({"arc", "--paper", GetParam().Paper}, folder);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::optional<PageRaster> page = PageRaster::Of(folder + "/arc-template.pdf");
    ASSERT_TRUE(page);
    ASSERT_GT(page->Width, page->Height) << "landscape";

    // Along a row 3 mm down: the vertical axis at 1 mm and the ticks at 101, 181 and 201 mm.
    const double row = Px(3);
    const double verticalAxis = page->CentreAlongRow(row, Px(0), Px(2.5));
    // Down a column 3 mm in: the horizontal axis at 1 mm and the ticks at 101, 181 and 201 mm.
    const double column = Px(3);
    const double horizontalAxis = page->CentreAlongColumn(column, Px(0), Px(2.5));
    EXPECT_NEAR(verticalAxis, Px(1), 1);
    EXPECT_NEAR(horizontalAxis, Px(1), 1);
    for (const double distance : {100.0, 180.0, 200.0}) {
        SCOPED_TRACE(distance);
        const double across = page->CentreAlongRow(row, Px(distance), Px(distance + 2));
        const double down = page->CentreAlongColumn(column, Px(distance), Px(distance + 2));
        EXPECT_NEAR(across - verticalAxis, distance * DotsPerMm, 1);
        EXPECT_NEAR(down - horizontalAxis, distance * DotsPerMm, 1);
    }
}

// The (200, 200) cross and the Y=200mm label at the bottom of the frame, whole on either paper: the cross where it
// measures, the label's ink clear of the printable area's bottom edge (a cut label runs into it).
TEST_P(ArcTemplateFrame, TheCrossAndLabelAt200mmStayOnThePage) {
    const std::string folder = FreshTestFolder(std::string("arc-bottom-") + GetParam().Paper);
    const ToolResult result = RunTool({"arc", "--paper", GetParam().Paper, "--strict"}, folder);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::optional<PageRaster> page = PageRaster::Of(folder + "/arc-template.pdf");
    ASSERT_TRUE(page);
    const double axis = page->CentreAlongRow(Px(3), Px(0), Px(2.5));
    const double level = page->CentreAlongColumn(Px(202.5), Px(199.5), Px(202));
    const double upright = page->CentreAlongRow(Px(199.5), Px(199.5), Px(202.5));
    EXPECT_NEAR(level - page->CentreAlongColumn(Px(3), Px(0), Px(2.5)), 200 * DotsPerMm, 1);
    EXPECT_NEAR(upright - axis, 200 * DotsPerMm, 1);
    const int printableBottom = static_cast<int>(page->Height - 2 * std::round(DefaultMarginMm / 25.4 * 600));
    int lowestInk = 0;
    for (int y = static_cast<int>(Px(190)); y < page->Height; ++y) {
        for (int x = static_cast<int>(Px(7)); x < Px(28); ++x) {
            if (page->At(x, y) > 0.5) {
                lowestInk = y;
            }
        }
    }
    EXPECT_GT(lowestInk, Px(198)) << "the label is there";
    EXPECT_LT(lowestInk, std::round(DefaultMarginMm / 25.4 * 600) + printableBottom - 3);
}

INSTANTIATE_TEST_SUITE_P(Paper, ArcTemplateFrame, testing::Values(PaperCase{"letter"}, PaperCase{"a4"}),
                         [](const testing::TestParamInfo<PaperCase>& param) { return param.param.Paper; });

TEST(ArcTemplateFile, SpindleAndPivotCrossesAsFarApartAsTheDistance) {
    // The pivot must stay inside the printable area: 43 + distance below about 270 mm.
    for (const double distance : {209.0, 200.0}) {
        SCOPED_TRACE(distance);
        const std::string folder = FreshTestFolder("arc-crosses");
        const std::string pdf = folder + "/t.pdf";
        std::ostringstream text;
        text << distance;
        const ToolResult result = RunTool({"arc", "--spindle-to-pivot", text.str(), "-o", pdf});
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        const std::optional<PageRaster> page = PageRaster::Of(pdf);
        ASSERT_TRUE(page);
        // 1 mm below the line through both: only the crosses' vertical strokes are near their centres.
        const double row = Px(41);
        const double spindle = page->CentreAlongRow(row, Px(43 - 1.5), Px(43 + 1.5));
        const double pivot = page->CentreAlongRow(row, Px(43 + distance - 1.5), Px(43 + distance + 1.5));
        EXPECT_NEAR(spindle, Px(43), 1);
        EXPECT_NEAR(pivot - spindle, distance * DotsPerMm, 1);
    }
}

struct LegendCase {
    const char* Name;
    std::vector<std::string> Options;
    std::string InnerSuffix;
    std::string OuterSuffix;
    std::string Title;
};

TEST(ArcTemplateFile, LegendLinesWithTheirSuffixesAndTheTitle) {
    const LegendCase cases[] = {
        {"din",
         {"--preset", "din", "--id", "Deck 1"},
         " (DIN)",
         " (DIN/IEC)",
         "Deck 1 - L\xC3\xB6"
         "fgren A"},
        {"iec",
         {"--preset", "iec", "--geometry", "lofgren-b"},
         " (IEC)",
         " (DIN/IEC)",
         "- L\xC3\xB6"
         "fgren B"},
        {"typical", {"--preset", "typical", "--geometry", "stevenson-a"}, "", "", "- Stevenson A"},
        {"near din",
         {"--inner-radius", "57.50001"},
         "",
         " (DIN/IEC)",
         "- L\xC3\xB6"
         "fgren A"},
    };
    for (const LegendCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string folder = FreshTestFolder("arc-legend");
        std::vector<std::string> args = {"arc", "-o", folder + "/legend.pdf"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        const ToolResult result = RunTool(args);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        const std::vector<std::string> confirmation = Lines(result.Out);
        ASSERT_EQ(confirmation.size(), 10u);
        const std::string text = PdfText(folder + "/legend.pdf");
        const std::vector<std::string> lines = Lines(text);
        auto hasLine = [&](const std::string& wanted) {
            for (const std::string& line : lines) {
                if (line == wanted) {
                    return true;
                }
            }
            return false;
        };
        // The legend is the confirmation's last nine lines, the groove radii with the standard they match.
        EXPECT_TRUE(hasLine(confirmation[1] + c.InnerSuffix)) << confirmation[1] << "\n" << text;
        EXPECT_TRUE(hasLine(confirmation[2] + c.OuterSuffix)) << confirmation[2];
        for (std::size_t i = 3; i < 10; ++i) {
            EXPECT_TRUE(hasLine(confirmation[i])) << confirmation[i];
        }
        EXPECT_NE(confirmation[8].find("\xC2\xB0"), std::string::npos);
        // pdftotext drops the blank a title without ID starts with.
        EXPECT_NE(text.find(c.Title), std::string::npos) << c.Title;
        for (const char* label : {"X=200mm", "X=180mm", "X=100mm", "Y=180mm", "Y=200mm", "cut here!",
                                  "Align cartridge to either grid.", "pivot"}) {
            EXPECT_NE(text.find(label), std::string::npos) << label;
        }
    }
}

// --- the strobe disks measured on the rendered page ---

struct StrobeCase {
    const char* Name;
    std::vector<std::string> Args;
    const char* DefaultFile;
    int OuterBars;
    int InnerBars;
    std::vector<std::string> Captions;
    // The timing instructions' middle lines; the 33 1/3 rpm ones unless given.
    std::vector<std::string> Timing = {"At 33 1/3 RPM it takes", "180 sec for 100 revolutions."};
};

class StrobeDiskFile : public testing::TestWithParam<StrobeCase> {};

TEST_P(StrobeDiskFile, RingsAtTheirRadiiWithTheirCountOfBars) {
    const StrobeCase& c = GetParam();
    const std::string folder = FreshTestFolder(std::string("strobe-") + c.Name);
    std::vector<std::string> args{"strobe"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const ToolResult result = RunTool(args, folder);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::string pdf = folder + "/" + c.DefaultFile;
    const std::optional<PageRaster> page = PageRaster::Of(pdf);
    ASSERT_TRUE(page);
    ASSERT_GT(page->Height, page->Width) << "portrait";
    const double cx = Px(104);
    const double cy = Px(134);

    // Through the middle of bar 0 of each ring (3 o'clock, turning up): the ring's two edges.
    struct Ring {
        int Bars;
        double Inner, Outer;
    };
    for (const Ring ring : {Ring{c.OuterBars, 75, 87.5}, Ring{c.InnerBars, 67.5, 72.5}}) {
        SCOPED_TRACE(ring.Inner);
        const std::vector<double> edges = EdgesAlongRay(*page, cx, cy, Pi / (2 * ring.Bars),
                                                        (ring.Inner - 1) * DotsPerMm, (ring.Outer + 1) * DotsPerMm);
        ASSERT_EQ(edges.size(), 2u);
        EXPECT_NEAR(edges[0], ring.Inner * DotsPerMm, 1);
        EXPECT_NEAR(edges[1], ring.Outer * DotsPerMm, 1);
        EXPECT_EQ(page->DarkRunsAround(cx, cy, (ring.Inner + ring.Outer) / 2 * DotsPerMm), ring.Bars);
    }

    const std::string text = PdfText(pdf);
    for (const std::string& caption : c.Captions) {
        EXPECT_NE(text.find(caption), std::string::npos) << caption << "\n" << text;
    }
    // pdftotext joins a line ending in a hyphen to the next, so the first line is looked for without it.
    std::vector<std::string> instructions = {"Time this mark"};
    instructions.insert(instructions.end(), c.Timing.begin(), c.Timing.end());
    instructions.insert(instructions.end(), {"Use (1-(actual/target))*100", "for percentage error."});
    for (const std::string& line : instructions) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    // The line under the disk names the inner of its two outlines as the 180 mm one, and so it measures.
    EXPECT_NE(text.find("The inner of the two circles round the disk is 180 mm across."), std::string::npos);
    const std::vector<double> outlines = EdgesAlongRay(*page, cx, cy, Pi, 88.5 * DotsPerMm, 94 * DotsPerMm);
    ASSERT_EQ(outlines.size(), 4u);
    const double innerRadius = (outlines[0] + outlines[1]) / 2;
    EXPECT_NEAR(2 * innerRadius, 180 * DotsPerMm, 2);
    const bool drifts = std::any_of(c.Captions.begin(), c.Captions.end(), [](const std::string& caption) {
        return caption.find("must drift") != std::string::npos;
    });
    EXPECT_EQ(text.find("must drift") != std::string::npos, drifts);
    EXPECT_EQ(result.Err.find(" drifts ") != std::string::npos, drifts && c.Args[0] == "--speeds") << result.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Mains, StrobeDiskFile,
    testing::Values(
        StrobeCase{"60",
                   {"--mains", "60"},
                   "strobe-60hz.pdf",
                   216,
                   160,
                   {"33 1/3 RPM - 60 HZ - 216 BARS", "45 RPM - 60 HZ - 160 BARS"}},
        StrobeCase{"50",
                   {"--mains", "50"},
                   "strobe-50hz.pdf",
                   180,
                   133,
                   {"33 1/3 RPM - 50 HZ - 180 BARS", "45 RPM - 50 HZ - 133 BARS", "(must drift CCW 5 bars per 20sec)"}},
        // The dialog's defaults are the 60 Hz disk; counts of 180 and 133 print the 50 Hz page whatever the captions.
        StrobeCase{"CustomDefaults",
                   {"--outer-bars", "216"},
                   "strobe-custom.pdf",
                   216,
                   160,
                   {"33 1/3 RPM - 60 HZ - 216 BARS", "45 RPM - 60 HZ - 160 BARS"}},
        StrobeCase{"Custom50",
                   {"--outer-bars", "180", "--inner-bars", "133", "--caption1", "unused"},
                   "strobe-custom.pdf",
                   180,
                   133,
                   {"33 1/3 RPM - 50 HZ - 180 BARS", "(must drift CCW 5 bars per 20sec)"}},
        StrobeCase{"Custom",
                   {"--outer-bars", "120", "--inner-bars", "89", "--caption1", "33 RPM at 66.7 Hz", "--caption2",
                    "45 RPM at 66.7 Hz"},
                   "strobe-custom.pdf",
                   120,
                   89,
                   {"33 RPM at 66.7 Hz", "45 RPM at 66.7 Hz"}},
        // Captions from the counts; rings and notes from the speeds, the 45 rpm note as the 50 Hz disk has it.
        StrobeCase{"CountCaptions",
                   {"--outer-bars", "200", "--inner-bars", "148"},
                   "strobe-custom.pdf",
                   200,
                   148,
                   {"200 BARS", "148 BARS"}},
        StrobeCase{"Speeds",
                   {"--speeds", "78+45", "--mains", "50"},
                   "strobe-custom.pdf",
                   77,
                   133,
                   {"78 RPM - 50 HZ - 77 BARS", "45 RPM - 50 HZ - 133 BARS", "(78 RPM must drift CW 2 bars per 20sec)",
                    "(45 RPM must drift CCW 5 bars per 20sec)"},
                   {"100 revolutions take", "76.923 sec at 78 RPM,", "133.333 sec at 45 RPM."}}),
    [](const testing::TestParamInfo<StrobeCase>& param) { return std::string("Hz") + param.param.Name; });

// The 15-dot timing mark ends in a round cap half its pen beyond its end point, as the Windows printer draws it
// (its Wine print test measures the same): measured from the centre cross's level stroke, 1 mm beside the mark.
TEST(StrobeDiskMark, EndsHalfItsPenBeyondItsEndPoint) {
    const std::string folder = FreshTestFolder("strobe-mark");
    ASSERT_EQ(RunTool({"strobe"}, folder).ExitCode, 0);
    const std::optional<PageRaster> page = PageRaster::Of(folder + "/strobe-60hz.pdf");
    ASSERT_TRUE(page);
    const double centre = page->CentreAlongColumn(Px(105), Px(133), Px(135));
    const std::vector<double> top = EdgesAlongRay(*page, Px(104), Px(134), Pi / 2, 60 * DotsPerMm, 66 * DotsPerMm);
    ASSERT_EQ(top.size(), 1u);
    const double dots = 600 / static_cast<double>(25.4f);
    const double end = centre - (std::nearbyint(134 * dots) - std::nearbyint(70 * dots));
    const double overshoot = end - (Px(134) - top[0]);
    std::printf("timing mark: %.2f dots beyond its end point\n", overshoot);
    EXPECT_NEAR(overshoot, 7.5, 0.5);
}

TEST(StrobeCustomFile, TooManyBarsAreRefusedAndNothingIsWritten) {
    const std::string folder = FreshTestFolder("strobe-refused");
    for (const char* option : {"--outer-bars", "--inner-bars"}) {
        const ToolResult result = RunTool({"strobe", option, "20000"}, folder);
        EXPECT_EQ(result.ExitCode, 2);
        EXPECT_NE(result.Err.find("must be 10000 bars or less"), std::string::npos) << result.Err;
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
    const ToolResult mixed = RunTool({"strobe", "--mains", "50", "--outer-bars", "100"}, folder);
    EXPECT_EQ(mixed.ExitCode, 2);
}

// The colour of one page point, rendered at 100 dpi in colour.
struct Rgb {
    int R, G, B;
};

Rgb ColourAt(const std::string& pdf, double xMm, double yMm) {
    const std::string stem = pdf + "-colour";
    if (RunShell({"pdftoppm", "-r", "100", "-singlefile", pdf, stem}) != 0) {
        return {-1, -1, -1};
    }
    std::ifstream in(stem + ".ppm", std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    const int x = static_cast<int>((xMm + DefaultMarginMm) * 100 / 25.4);
    const int y = static_cast<int>((yMm + DefaultMarginMm) * 100 / 25.4);
    if (magic != "P6" || x >= width || y >= height) {
        return {-1, -1, -1};
    }
    in.seekg(static_cast<std::streamoff>((static_cast<long long>(y) * width + x) * 3), std::ios::cur);
    unsigned char pixel[3] = {};
    in.read(reinterpret_cast<char*>(pixel), 3);
    return {pixel[0], pixel[1], pixel[2]};
}

TEST(PageFiles, ColoursTakeTheWindowsCommandLineText) {
    struct ColourCase {
        std::string Text;
        Rgb Bar;
        Rgb Inside;
    };
    // Missing fields read as 0, as on the Windows program's command line.
    const ColourCase cases[] = {
        {"", {0, 0, 0}, {255, 255, 255}},
        {"255,0,0,255,255,255", {255, 0, 0}, {255, 255, 255}},
        {" 0, 0, 255 , 255,255,0", {0, 0, 255}, {255, 255, 0}},
        {"0,128,0", {0, 128, 0}, {0, 0, 0}},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const std::string folder = FreshTestFolder("colours");
        const ToolResult result = RunTool({"strobe", "--colours", c.Text, "-o", folder + "/c.pdf"});
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        // The middle of bar 0 of the outer ring, just above 3 o'clock, and the disk's clear middle.
        const double angle = Pi / (2 * 216);
        const Rgb bar = ColourAt(folder + "/c.pdf", 104 + 81 * std::cos(angle), 134 - 81 * std::sin(angle));
        const Rgb inside = ColourAt(folder + "/c.pdf", 104 - 30, 134 + 10);
        EXPECT_NEAR(bar.R, c.Bar.R, 8);
        EXPECT_NEAR(bar.G, c.Bar.G, 8);
        EXPECT_NEAR(bar.B, c.Bar.B, 8);
        EXPECT_NEAR(inside.R, c.Inside.R, 8);
        EXPECT_NEAR(inside.G, c.Inside.G, 8);
        EXPECT_NEAR(inside.B, c.Inside.B, 8);
    }
}

// --- file formats and names ---

struct FormatCase {
    std::vector<std::string> Options;
    std::string File;
    std::string Magic;
};

TEST(PageFiles, FormatFromTheOptionOrTheExtension) {
    const FormatCase cases[] = {
        {{"arc"}, "arc-template.pdf", "%PDF"},
        {{"arc", "--format", "svg"}, "arc-template.svg", "<?xml"},
        {{"arc", "--format", "png", "--dpi", "100"}, "arc-template.png", "\x89PNG"},
        {{"arc", "-o", "page.PNG", "--dpi", "100"}, "page.PNG", "\x89PNG"},
        {{"arc", "-o", "page.svg"}, "page.svg", "<?xml"},
        {{"arc", "-o", "page.dat"}, "page.dat", "%PDF"},
        {{"arc", "-o", "page.dat", "--format", "svg"}, "page.dat", "<?xml"},
        {{"strobe"}, "strobe-60hz.pdf", "%PDF"},
        {{"strobe", "--mains", "50", "--format", "png", "--dpi", "100"}, "strobe-50hz.png", "\x89PNG"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::string folder = FreshTestFolder("formats");
        const ToolResult result = RunTool(c.Options, folder);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        const std::string content = ReadWholeFile(folder + "/" + c.File);
        EXPECT_EQ(content.substr(0, c.Magic.size()), c.Magic);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
            ++files;
        }
        EXPECT_EQ(files, 1u) << "no temporary file left behind";
    }
}

TEST(PageFiles, ArcPrintsTheConfirmationLinesAsValuesDoes) {
    const std::string folder = FreshTestFolder("arc-stdout");
    const std::vector<std::string> fields = {"--preset", "typical", "--geometry", "lofgren-b", "--id", "X"};
    std::vector<std::string> arc = {"arc"};
    arc.insert(arc.end(), fields.begin(), fields.end());
    std::vector<std::string> values = {"values"};
    values.insert(values.end(), fields.begin(), fields.end());
    const ToolResult written = RunTool(arc, folder);
    ASSERT_EQ(written.ExitCode, 0) << written.Err;
    EXPECT_EQ(written.Out, RunTool(values).Out);
}

TEST(PageFiles, AnExistingFileIsReplacedByTheNewPage) {
    const std::string folder = FreshTestFolder("replace");
    const std::string path = folder + "/strobe-60hz.pdf";
    std::ofstream(path) << "old contents";
    const ToolResult result = RunTool({"strobe"}, folder);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(ReadWholeFile(path).substr(0, 4), "%PDF");
}

// --- errors ---

TEST(PageFiles, AnUnwritablePathIsNamedInOneLineAndLeavesNothing) {
    const std::string folder = FreshTestFolder("unwritable");
    const std::string path = folder + "/no/such/folder/t.pdf";
    for (const char* command : {"arc", "strobe"}) {
        SCOPED_TRACE(command);
        const ToolResult result = RunTool({command, "-o", path});
        EXPECT_EQ(result.ExitCode, 1);
        EXPECT_NE(result.Err.find(path), std::string::npos) << result.Err;
        EXPECT_EQ(Lines(result.Err).size(), 1u) << result.Err;
        EXPECT_FALSE(std::filesystem::exists(folder + "/no"));
    }
}

TEST(PageFiles, BadPageOptionsAreUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"arc", "--format", "bmp"},
        {"arc", "--paper", "a5"},
        {"arc", "--dpi", "0"},
        {"arc", "--dpi", "600dpi"},
        {"arc", "--dpi", "100000"},
        {"arc", "--margin", "-1"},
        {"arc", "--margin", "x"},
        {"strobe", "--mains", "55"},
        {"strobe", "--spindle-to-pivot", "200"},
        {"arc", "--dpi", "2400", "--format", "png"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[1] + " " + args[2]);
        const std::string folder = FreshTestFolder("usage");
        const ToolResult result = RunTool(args, folder);
        EXPECT_EQ(result.ExitCode, 2);
        EXPECT_EQ(Lines(result.Err).size(), 1u) << result.Err;
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
}
