#include "analysis/alignment_analysis.h"
#include "print/analysis_chart.h"
#include "tests/cli/page_raster.h"
#include "tests/cli/run_tool.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double DotsPerMm = 600 / 25.4;
constexpr double MarginMm = 4.23;

double Px(double millimetres) {
    return (millimetres + MarginMm) * DotsPerMm;
}

std::string PdfText(const std::string& pdf) {
    const std::string text = pdf + ".txt";
    EXPECT_EQ(std::system(("pdftotext " + Quoted(pdf) + " " + Quoted(text)).c_str()), 0);
    return ReadWholeFile(text);
}

TEST(AnalyseCommand, TextTableMarksTheLowestPeakAndRms) {
    const ToolResult result = RunTool({"analyse", "--preset", "iec", "--spindle-to-pivot", "225"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    EXPECT_NE(result.Out.find("                           L\xC3\xB6"
                              "fgren A     L\xC3\xB6"
                              "fgren B   Stevenson A\n"),
              std::string::npos);
    EXPECT_NE(result.Out.find("Largest |TE| (\xC2\xB0)               1.781         1.970         2.174\n"),
              std::string::npos);
    EXPECT_NE(result.Out.find("Largest distortion (%)         0.610 *       0.990         0.745\n"), std::string::npos);
    EXPECT_NE(result.Out.find("RMS distortion (%)             0.402         0.361 *       0.494\n"), std::string::npos);
}

TEST(AnalyseCommand, JsonAndCsvCarryEveryPresetAndTheArm) {
    for (const char* preset : {"din", "iec", "typical"}) {
        const std::vector<std::string> arm = {"--overhang", "17", "--offset-angle", "23"};
        std::vector<std::string> args = {"analyse", "--preset", preset, "--format", "json"};
        args.insert(args.end(), arm.begin(), arm.end());
        const ToolResult json = RunTool(args);
        ASSERT_EQ(json.ExitCode, 0) << json.Err;
        const auto document = nlohmann::json::parse(json.Out);
        ASSERT_EQ(document["analysis"]["arms"].size(), 4u);
        EXPECT_EQ(document["analysis"]["arms"][3]["effective_length_mm"], 226.0);
        EXPECT_EQ(document["analysis"]["inputs"]["arm"]["overhang_mm"], 17.0);
        args[4] = "csv";
        const ToolResult csv = RunTool(args);
        ASSERT_EQ(csv.ExitCode, 0) << csv.Err;
        EXPECT_TRUE(csv.Out.starts_with("radius_mm,lofgren_a_tracking_error_deg,"));
        EXPECT_EQ(std::count(csv.Out.begin(), csv.Out.end(), '\n'),
                  1 + document["analysis"]["arms"][0]["curve"]["radius_mm"].size());
    }
}

TEST(AnalyseCommand, BadInputIsAUsageErrorAndAnArmOutOfReachAWarning) {
    const std::vector<std::vector<std::string>> bad = {
        {"--effective-length", "240"},
        {"--offset-angle", "20"},
        {"--effective-length", "240", "--overhang", "15", "--offset-angle", "20"},
        {"--inner-radius", "150"},
        {"--rpm", "0"},
        {"--format", "xml"},
        {"--geometry", "lofgren-c"},
        {"--nulls", "66;120.9", "--geometry", "lofgren-b"},
    };
    for (std::vector<std::string> args : bad) {
        args.insert(args.begin(), "analyse");
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.ExitCode, 2) << args[1];
        EXPECT_EQ(result.Out, "");
        EXPECT_NE(result.Err.find("(try 'quillmere analyse --help')\n"), std::string::npos) << result.Err;
    }
    const ToolResult far = RunTool({"analyse", "--overhang", "70", "--offset-angle", "20", "--rpm", "45,1"});
    EXPECT_EQ(far.ExitCode, 0);
    EXPECT_EQ(far.Err,
              "quillmere: warning: Your arm reaches only radii from 70.000 to 488.000 mm, not all of the grooves: its "
              "figures cover what it reaches\n"
              "quillmere: warning: Your arm has no real null point: its tracking error is nowhere zero\n"
              "quillmere: --rpm \"45,1\" reads as 45.1 rpm (a decimal comma)\n"
              "quillmere: your arm is taken to be mounted 209 mm from the spindle: give --spindle-to-pivot if "
              "it is not\n");
}

// Arms the analysis cannot judge as they were typed: the text, the JSON report and the chart each say so, and none
// shows a figure it does not have.
struct ArmCase {
    std::vector<std::string> Options;
    int ExitCode;
    std::string Says;
    std::string Never;
};

// clang-format off
const ArmCase ArmCases[] = {
    {{"--spindle-to-pivot", "222", "--preset", "iec", "--overhang", "239", "--offset-angle", "24"}, 0,
     "Your arm reaches only radii from 239.000 to 683.000 mm, none of the grooves", "0.000 %"},
    {{"--effective-length", "500", "--offset-angle", "20"}, 0,
     "your arm is taken to be mounted 209 mm from the spindle", "percentage points less"},
    {{"--spindle-to-pivot", "222", "--preset", "iec", "--effective-length", "150", "--offset-angle", "20"}, 2,
     "your arm cannot play the grooves: its tracking error reaches 90\xC2\xB0 from 72.000 to 75.037 mm", "%"},
    {{"--overhang", "-222", "--offset-angle", "20"}, 2, "--overhang must be more than -209 mm", "effective length must"},
    {{"--spindle-to-pivot", "40", "--overhang", "60", "--offset-angle", "10"}, 0,
     "No overhang is suggested: from a spindle to pivot distance of 40.000 mm no arm reaches all the grooves", "-nan"},
};
// clang-format on

TEST(AnalyseCommand, ArmsThatCannotBeJudgedAsTypedAreSaidSo) {
    const std::string folder = FreshTestFolder("analyse-arms");
    for (const ArmCase& c : ArmCases) {
        std::vector<std::string> args{"analyse", "--format", "json"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        const ToolResult json = RunTool(args, folder);
        args.erase(args.begin() + 1, args.begin() + 3);
        args.insert(args.end(), {"-o", "chart.pdf"});
        std::filesystem::remove(folder + "/chart.pdf");
        const ToolResult text = RunTool(args, folder);
        EXPECT_EQ(text.ExitCode, c.ExitCode) << c.Says << ": " << text.Err;
        const std::string chart = c.ExitCode == 0 ? PdfText(folder + "/chart.pdf") : "";
        for (const std::string& form : {text.Out + text.Err, json.Out, chart}) {
            EXPECT_EQ(form.find(c.Never), std::string::npos) << form;
        }
        EXPECT_NE((text.Out + text.Err).find(c.Says), std::string::npos) << text.Out + text.Err;
        EXPECT_NE(json.Out.find(c.Says), std::string::npos) << json.Out;
    }
}

TEST(AnalyseCommand, ChartOnStandardOutputSendsTheReportToStandardError) {
    const ToolResult result = RunTool({"analyse", "--format", "csv", "-o", "-"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_TRUE(result.Out.starts_with("%PDF-"));
    EXPECT_TRUE(result.Err.starts_with("radius_mm,"));
}

TEST(AnalyseCommand, ChartTicksLandWhereTheAxisScaleSays) {
    const std::string folder = FreshTestFolder("analyse-chart");
    const ToolResult result = RunTool({"analyse", "--preset", "iec", "--spindle-to-pivot", "222", "--effective-length",
                                       "240", "--offset-angle", "24", "-o", "chart.pdf"},
                                      folder);
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::string pdf = folder + "/chart.pdf";
    const std::string text = PdfText(pdf);
    for (const char* expected : {"L\xC3\xB6"
                                 "fgren A",
                                 "Your arm", "Groove radius (mm)", "Distortion (%)", "50", "160"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
    const std::optional<PageRaster> page = PageRaster::Of(pdf);
    ASSERT_TRUE(page);
    AnalysisInputs inputs;
    inputs.SpindleToPivot = 222;
    inputs.InnerGrooveRadius = 60.325;
    inputs.OuterGrooveRadius = 146.05;
    // Where to look on the page; what to expect comes from the frame measured on it.
    const ChartPanel panel = AnalysisChartLayoutOf(AnalyseAlignment(inputs).Value()).Distortion;
    const double between = Px(panel.PageY(panel.Y.From + panel.Y.Step / 2));
    const double left = page->CentreAlongRow(between, Px(panel.Left - 1), Px(panel.Left + 1));
    const double right = page->CentreAlongRow(between, Px(panel.Right - 1), Px(panel.Right + 1));
    EXPECT_NEAR(left, Px(panel.Left), 1);
    EXPECT_NEAR(right - left, (panel.Right - panel.Left) * DotsPerMm, 1);
    const double tickRow = Px(panel.Bottom - 0.7);
    const double expected = left + (100 - panel.X.From) / (panel.X.To - panel.X.From) * (right - left);
    EXPECT_NEAR(page->CentreAlongRow(tickRow, expected - 1.5 * DotsPerMm, expected + 1.5 * DotsPerMm), expected, 1);
}

} // namespace
